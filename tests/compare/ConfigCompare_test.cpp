// The comparison of two configurations: every field under the window's caption, secrets never shown.
#include "compare/ConfigCompare.h"
#include "controller/TController.h"
#include "model/ConfigFile.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace zorel8z;
using compare::PageDiff;
using model::PanelConfig;
using rules::Page;

namespace {

struct Case {
    std::string name;
    std::function<void(PanelConfig&)> change;
    Page page;
    QString caption;
    bool secret;
};

// A configuration in which every field can be changed on its own (the SET inputs have groups, so
// the indicator can be ticked alone).
PanelConfig base() {
    PanelConfig c;
    c.Set1 = {2, false};
    c.Set2 = {3, false};
    return c;
}

// One case per field of the record, with the caption the window shows for it.
std::vector<Case> everyField() {
    std::vector<Case> v;
    const auto add = [&v](std::string name, std::function<void(PanelConfig&)> f, Page p, QString caption,
                          bool secret = false) {
        v.push_back({std::move(name), std::move(f), p, caption, secret});
    };
    add(
        "numPPK", [](PanelConfig& c) { c.numPPK = 4242; }, Page::Network, QStringLiteral("№ ППК в ПЦС:"));
    add(
        "pwd", [](PanelConfig& c) { c.pwd = QStringLiteral("735194"); }, Page::Network,
        QStringLiteral("Пароль віддаленого конфігурування:"), true);
    add(
        "serverIP", [](PanelConfig& c) { c.serverIP = QStringLiteral("010.020.030.040"); }, Page::Network,
        QStringLiteral("Основний IP:"));
    add(
        "serverPort", [](PanelConfig& c) { c.serverPort = 5999; }, Page::Network,
        QStringLiteral("Основний порт:"));
    add(
        "redIP", [](PanelConfig& c) { c.redIP = QStringLiteral("010.020.030.041"); }, Page::Network,
        QStringLiteral("Резервний IP:"));
    add(
        "redPort", [](PanelConfig& c) { c.redPort = 5998; }, Page::Network,
        QStringLiteral("Резервний порт:"));
    add(
        "apn", [](PanelConfig& c) { c.apn = QStringLiteral("internet"); }, Page::Network,
        QStringLiteral("APN (SIM1):"));
    add(
        "apn2", [](PanelConfig& c) { c.apn2 = QStringLiteral("zorel.m2m"); }, Page::Network,
        QStringLiteral("APN (SIM2):"));
    for (int k = 0; k < model::kUserCount; ++k) {
        add(
            "user group " + std::to_string(k + 1),
            [k](PanelConfig& c) { c.users[size_t(k)].group = QStringLiteral("5"); }, Page::Users,
            QStringLiteral("№ п/п %1: Група(1-8)").arg(k + 1));
        add(
            "user password " + std::to_string(k + 1),
            [k](PanelConfig& c) { c.users[size_t(k)].password = QStringLiteral("7391"); }, Page::Users,
            QStringLiteral("№ п/п %1: Пароль").arg(k + 1), true);
    }
    for (int n = 0; n < model::kZoneCount; ++n) {
        add(
            "zone group " + std::to_string(n + 1), [n](PanelConfig& c) { c.lines[size_t(n)].group = 3; },
            Page::Zones, QStringLiteral("Шлейф %1: Група").arg(n + 1));
        add(
            "zone type " + std::to_string(n + 1), [n](PanelConfig& c) { c.lines[size_t(n)].type = 1; },
            Page::Zones, QStringLiteral("Шлейф %1: Тип шлейфу").arg(n + 1));
        add(
            "zone modifier " + std::to_string(n + 1),
            [n](PanelConfig& c) { c.lines[size_t(n)].modifier = 4; }, Page::Zones,
            QStringLiteral("Шлейф %1: Модифікатор").arg(n + 1));
    }
    add(
        "ppkType", [](PanelConfig& c) { c.ppkType = 0; }, Page::Params,
        QStringLiteral("Тип застосування ППК : "));
    add(
        "PwdLev1", [](PanelConfig& c) { c.PwdLev1 = QStringLiteral("97531"); }, Page::Params,
        QStringLiteral("Адміністратор :"), true);
    add(
        "PwdLev2", [](PanelConfig& c) { c.PwdLev2 = QStringLiteral("86420"); }, Page::Params,
        QStringLiteral("Інженер :"), true);
    add(
        "LowLevelV", [](PanelConfig& c) { c.LowLevelV = QStringLiteral("11500"); }, Page::Params,
        QStringLiteral("Нижній рівень заряду <= "));
    add(
        "HiLevelV", [](PanelConfig& c) { c.HiLevelV = QStringLiteral("14100"); }, Page::Params,
        QStringLiteral("Верхній рівень заряду >= "));
    add(
        "UKworkTime", [](PanelConfig& c) { c.UKworkTime = 7; }, Page::Params,
        QStringLiteral("Час роботи виходу UK1 і реле K1: "));
    add(
        "UKon", [](PanelConfig& c) { c.UKon = 9; }, Page::Params,
        QStringLiteral("Час вмикання виходу UK1 : "));
    add(
        "UKoff", [](PanelConfig& c) { c.UKoff = 11; }, Page::Params,
        QStringLiteral("Час вимикання виходу UK1 : "));
    add(
        "UKinvert", [](PanelConfig& c) { c.UKinvert = 1; }, Page::Params,
        QStringLiteral("Інверсія роботи виходу UK1 : "));
    add(
        "Set1", [](PanelConfig& c) { c.Set1.group = 6; }, Page::Params, QStringLiteral("Вхід SET1 : "));
    add(
        "Set2", [](PanelConfig& c) { c.Set2.group = 7; }, Page::Params, QStringLiteral("Вхід SET2 : "));
    add(
        "timeDelay", [](PanelConfig& c) { c.timeDelay = 17; }, Page::Params,
        QStringLiteral("Час затримки на вхід/вихід груп 1-4 : "));
    add(
        "timeDelay2", [](PanelConfig& c) { c.timeDelay2 = 19; }, Page::Params,
        QStringLiteral("Час затримки на вхід/вихід груп 5-8 : "));
    for (int k = 0; k < model::kUserCount; ++k)
        add(
            "key code " + std::to_string(k + 1),
            [k](PanelConfig& c) { c.UVICode[size_t(k)] = QStringLiteral("A1B2C3D4E5F60718"); }, Page::Keys,
            QStringLiteral("№ користувача %1: Ідентифікатори iButton/RFID/Код клавіатури").arg(k + 1), true);
    return v;
}

QString pageCaption(Page p) {
    static const QStringList captions = {QStringLiteral("Налаштування зв'язку"),
                                         QStringLiteral("Користувачі"), QStringLiteral("Шлейфи"),
                                         QStringLiteral("Параметри ППК"), QStringLiteral("Налаштування QKL")};
    return captions[int(p)];
}

} // namespace

TEST(ConfigCompare, EveryFieldAppearsUnderItsCaption) {
    const std::vector<Case> cases = everyField();
    // The table names every field the comparison knows, once.
    QSet<QString> known;
    for (const compare::Field& f : compare::fields(base()))
        known.insert(f.caption);
    QSet<QString> covered;
    for (const Case& c : cases)
        covered.insert(c.caption);
    EXPECT_EQ(covered, known);
    EXPECT_EQ(cases.size(), compare::fields(base()).size());

    for (const Case& c : cases) {
        PanelConfig there = base();
        c.change(there);
        const std::vector<PageDiff> diffs = compare::compareConfigs(base(), there);
        ASSERT_EQ(diffs.size(), 1u) << c.name;
        EXPECT_EQ(diffs[0].page, c.page) << c.name;
        EXPECT_EQ(diffs[0].caption, pageCaption(c.page)) << c.name;
        ASSERT_EQ(diffs[0].rows.size(), 1u) << c.name;
        const compare::Row& row = diffs[0].rows[0];
        EXPECT_EQ(row.caption, c.caption) << c.name;
        EXPECT_EQ(row.secret, c.secret) << c.name;
        if (c.secret) {
            EXPECT_EQ(row.here, QStringLiteral("змінено")) << c.name;
            EXPECT_EQ(row.there, QStringLiteral("змінено")) << c.name;
        } else {
            EXPECT_NE(row.here, row.there) << c.name;
        }
        // The other way round names the same field.
        const std::vector<PageDiff> back = compare::compareConfigs(there, base());
        ASSERT_EQ(back.size(), 1u) << c.name;
        EXPECT_EQ(back[0].rows.size(), 1u) << c.name;
    }
}

TEST(ConfigCompare, ValuesInTheWindowsWords) {
    PanelConfig there = base();
    there.lines[1] = {4, 3, 5};
    there.ppkType = 0;
    there.Set1.indicator = true;
    there.UKon = 12;
    there.apn.clear();
    PanelConfig here = base();
    here.apn = QStringLiteral("internet");
    const auto diffs = compare::compareConfigs(here, there);
    const QString text = compare::diffText(diffs);
    EXPECT_EQ(text, QStringLiteral("Налаштування зв'язку\n"
                                   "  APN (SIM1):  internet → (порожньо)\n"
                                   "Шлейфи\n"
                                   "  Шлейф 2: Група  1 → 4\n"
                                   "  Шлейф 2: Тип шлейфу  Нормальний → Шлях входу/виходу\n"
                                   "  Шлейф 2: Модифікатор  Без змін → Без включення UK1\n"
                                   "Параметри ППК\n"
                                   "  Тип застосування ППК :  Робота на ПЦС → Автономний\n"
                                   "  Час вмикання виходу UK1 :  5 с → 12 с\n"
                                   "  Вхід SET1 :  Група 2 → Група 2, Індикатор\n"));
    // A digit no item stands for is shown as it is.
    there = here;
    there.lines[0].type = 7;
    EXPECT_EQ(compare::compareConfigs(here, there)[0].rows[0].there,
              QStringLiteral("(значення 7 поза списком)"));
}

TEST(ConfigCompare, EqualConfigurationsGiveAnEmptyList) {
    test::RandomConfig random(7);
    for (int k = 0; k < 20; ++k) {
        const PanelConfig c = random.next();
        EXPECT_TRUE(compare::compareConfigs(c, c).empty());
        EXPECT_EQ(compare::diffText({}), QString());
    }
    // A configuration and its own file.
    QTemporaryDir dir;
    const controller::TController ctl;
    test::RecordingUi ui;
    PanelConfig c = random.next();
    const QString path = dir.filePath(QStringLiteral("a.c8z"));
    ASSERT_TRUE(model::saveConfigFile(ctl, path, c, ui));
    PanelConfig opened;
    ASSERT_TRUE(model::openConfigFile(ctl, path, opened, ui));
    EXPECT_TRUE(compare::compareConfigs(c, opened).empty());
    // The identity values are no setting.
    opened.serialNumber = QStringLiteral("0001234");
    opened.firmwareVersion = QStringLiteral("7");
    EXPECT_TRUE(compare::compareConfigs(c, opened).empty());
}

TEST(ConfigCompare, HiddenPasswordsCompareByWhatAWriteSends) {
    PanelConfig panel = base();
    panel.users[3].password = QStringLiteral("4826");
    // After a remote read of the users: every cell shows "****", the passwords are kept aside.
    PanelConfig window = base();
    window.passwordsHidden = true;
    for (int k = 0; k < model::kUserCount; ++k) {
        window.hiddenPasswords[size_t(k)] = panel.users[size_t(k)].password;
        window.users[size_t(k)].password = model::kHiddenPassword;
    }
    EXPECT_TRUE(compare::compareConfigs(window, panel).empty());
    // A cell given a fresh password is what goes out.
    window.users[0].password = QStringLiteral("1234");
    EXPECT_TRUE(compare::compareConfigs(window, panel).empty());
    window.hiddenPasswords[3] = QStringLiteral("4827");
    const auto diffs = compare::compareConfigs(window, panel);
    ASSERT_EQ(diffs.size(), 1u);
    EXPECT_EQ(diffs[0].rows[0].caption, QStringLiteral("№ п/п 4: Пароль"));
}

TEST(ConfigCompare, SecretsNeverLeaveAsText) {
    PanelConfig there = base();
    there.pwd = QStringLiteral("735194");
    there.users[0].password = QStringLiteral("4826");
    there.PwdLev1 = QStringLiteral("97531");
    there.PwdLev2 = QStringLiteral("86420");
    there.UVICode[5] = QStringLiteral("A1B2C3D4E5F60718");
    const auto diffs = compare::compareConfigs(base(), there);
    const QString text = compare::diffText(diffs);
    const QString json = QString::fromUtf8(compare::diffJson(diffs));
    const QString names = compare::changedFieldNames(diffs).join(QLatin1Char('\n'));
    for (const QString& secret : {QStringLiteral("735194"), QStringLiteral("4826"), QStringLiteral("1234"),
                                  QStringLiteral("97531"), QStringLiteral("12345"), QStringLiteral("86420"),
                                  QStringLiteral("54321"), QStringLiteral("A1B2C3D4E5F60718")}) {
        EXPECT_FALSE(text.contains(secret)) << secret.toStdString();
        EXPECT_FALSE(json.contains(secret)) << secret.toStdString();
        EXPECT_FALSE(names.contains(secret)) << secret.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("  Адміністратор :  змінено\n")));
}

TEST(ConfigCompare, JsonListsPagesAndRows) {
    PanelConfig there = base();
    there.serverPort = 5001;
    there.users[1].password = QStringLiteral("2222");
    const QJsonDocument doc =
        QJsonDocument::fromJson(compare::diffJson(compare::compareConfigs(base(), there)));
    ASSERT_TRUE(doc.isArray());
    const QJsonArray pages = doc.array();
    ASSERT_EQ(pages.size(), 2);
    EXPECT_EQ(pages[0][QStringLiteral("page")].toString(), QStringLiteral("Налаштування зв'язку"));
    const QJsonObject row = pages[0][QStringLiteral("rows")][0].toObject();
    EXPECT_EQ(row[QStringLiteral("caption")].toString(), QStringLiteral("Основний порт:"));
    EXPECT_EQ(row[QStringLiteral("here")].toString(), QStringLiteral("0"));
    EXPECT_EQ(row[QStringLiteral("there")].toString(), QStringLiteral("5001"));
    EXPECT_FALSE(row[QStringLiteral("secret")].toBool());
    const QJsonObject secret = pages[1][QStringLiteral("rows")][0].toObject();
    EXPECT_EQ(secret[QStringLiteral("caption")].toString(), QStringLiteral("№ п/п 2: Пароль"));
    EXPECT_EQ(secret[QStringLiteral("here")].toString(), QStringLiteral("змінено"));
    EXPECT_TRUE(secret[QStringLiteral("secret")].toBool());
    EXPECT_EQ(QJsonDocument::fromJson(compare::diffJson({})).array().size(), 0);
}

TEST(ConfigCompare, RemoteModeNamesThePanelNumberAsTheWindowDoes) {
    PanelConfig there = base();
    there.numPPK = 12;
    EXPECT_EQ(compare::compareConfigs(base(), there, rules::Mode::Remote)[0].rows[0].caption,
              QStringLiteral("Новий № ППК в ПЦС:"));
}

TEST(ConfigCompare, OnlyThePagesAsked) {
    PanelConfig there = base();
    there.numPPK = 12;
    there.lines[0].type = 1;
    there.timeDelay = 12;
    const auto only = compare::onlyPages(compare::compareConfigs(base(), there), {Page::Zones});
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only[0].page, Page::Zones);
    EXPECT_EQ(compare::changedFieldNames(only), QStringList{QStringLiteral("Шлейфи: Шлейф 1: Тип шлейфу")});
}
