// The configuration sheet, rendered as a PDF and read back with pdftotext.
#include "sheet/ConfigSheet.h"
#include "support/Printers.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;
using model::PanelConfig;

namespace {

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "sheet_test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication instance(argc, argv);
    return instance;
}

// A configuration whose secrets are strings that nothing else on the sheet holds.
PanelConfig sample() {
    PanelConfig c;
    c.numPPK = 1201;
    c.serverIP = QStringLiteral("194.044.012.007");
    c.serverPort = 5001;
    c.redIP = QStringLiteral("194.044.012.008");
    c.redPort = 5002;
    c.apn = QStringLiteral("internet");
    c.apn2 = QStringLiteral("zorel.m2m");
    c.pwd = QStringLiteral("735194");
    c.users[0].password = QStringLiteral("4826");
    c.users[1] = {QStringLiteral("2"), QStringLiteral("6913")};
    c.UVICode[1] = QStringLiteral("A1B2C3D4E5F60718");
    c.PwdLev1 = QStringLiteral("97531");
    c.PwdLev2 = QStringLiteral("86420");
    c.lines[0] = {1, 2, 0};
    c.lines[4] = {2, 1, 6};
    c.Set1 = {2, true};
    c.timeDelay = 20;
    c.serialNumber = QStringLiteral("0004321");
    c.firmwareVersion = QStringLiteral("7");
    return c;
}

// The PDF's text, blanks folded (pdftotext lays tables out in columns).
QString pdfText(const PanelConfig& cfg, const sheet::SheetOptions& o) {
    app();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    EXPECT_TRUE(sheet::writeSheetPdf(cfg, o, pdf, &error)) << error.toStdString();
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
    EXPECT_EQ(p.exitCode(), 0);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

const QStringList kSecrets = {QStringLiteral("735194"), QStringLiteral("4826"),
                              QStringLiteral("6913"),   QStringLiteral("A1B2C3D4E5F60718"),
                              QStringLiteral("97531"),  QStringLiteral("86420")};

} // namespace

TEST(ConfigSheet, HoldsThePanelInWordsAndNoSecrets) {
    const QString text = pdfText(sample(), {});
    for (const QString& expected : {
             QStringLiteral("Паспорт конфігурації ППК"),
             QStringLiteral("№ ППК в ПЦС 1201"),
             QStringLiteral("Серійний номер ППК 0004321"),
             QStringLiteral("Прошивка ППК 7"),
             QStringLiteral("Основний IP 194.044.012.007"),
             QStringLiteral("Основний порт 5001"),
             QStringLiteral("Резервний IP 194.044.012.008"),
             QStringLiteral("Резервний порт 5002"),
             QStringLiteral("APN (SIM1) internet"),
             QStringLiteral("APN (SIM2) zorel.m2m"),
             QStringLiteral("Шлейф Група Тип шлейфу Модифікатор"),
             QStringLiteral("1 1 Точка входу/Шлях виходу Без змін"),
             QStringLiteral("5 2 Цілодобовий Пожежний"),
             QStringLiteral("№ п/п Група(1-8) Активний Ключ"),
             QStringLiteral("1 1 так ні"),
             QStringLiteral("2 2 так так"),
             QStringLiteral("3 1 ні ні"),
             QStringLiteral("Тип застосування ППК Робота на ПЦС"),
             QStringLiteral("Індикатор взяття PV1 Група 2, Індикатор"),
             QStringLiteral("Час затримки на вхід/вихід груп 1-4 20 с"),
             QStringLiteral("Нижній рівень заряду <= 11600 мВ"),
         })
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    for (const QString& secret : kSecrets)
        EXPECT_FALSE(text.contains(secret)) << secret.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Адміністратор")));
    EXPECT_FALSE(text.contains(QStringLiteral("Пароль віддаленого")));
}

TEST(ConfigSheet, SecretsOnlyWhenAsked) {
    sheet::SheetOptions o;
    o.withSecrets = true;
    const QString text = pdfText(sample(), o);
    for (const QString& secret : kSecrets)
        EXPECT_TRUE(text.contains(secret)) << secret.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Адміністратор 97531")));
    EXPECT_TRUE(text.contains(QStringLiteral("Пароль віддаленого конфігурування 735194")));
    EXPECT_TRUE(text.contains(QStringLiteral("2 2 так так 6913 A1B2C3D4E5F60718")));
}

TEST(ConfigSheet, ChangedOnlyListsWhatDiffersFromTheFactory) {
    sheet::SheetOptions o;
    o.changedOnly = true;
    const QString text = pdfText(sample(), o);
    for (const QString& expected :
         {QStringLiteral("Лише значення, змінені від заводських"), QStringLiteral("Основний порт 5001"),
          QStringLiteral("1 1 Точка входу/Шлях виходу"), QStringLiteral("5 2 Цілодобовий Пожежний"),
          QStringLiteral("2 2 так так"), QStringLiteral("Час затримки на вхід/вихід груп 1-4 20 с"),
          QStringLiteral("Серійний номер ППК 0004321")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    // Factory values stay off the sheet: zone 2 untouched, user 3 inactive, the battery thresholds.
    for (const QString& absent :
         {QStringLiteral("2 1 Нормальний Без змін"), QStringLiteral("3 1 ні ні"),
          QStringLiteral("Нижній рівень заряду"), QStringLiteral("Тип застосування ППК"),
          QStringLiteral("Час затримки на вхід/вихід груп 5-8")})
        EXPECT_FALSE(text.contains(absent)) << absent.toStdString();
    // A factory configuration says so on each page.
    const QString factory = pdfText(PanelConfig(), o);
    EXPECT_EQ(factory.count(QStringLiteral("Без змін від заводських.")), 4);
}

TEST(ConfigSheet, AnUnwritablePathFailsWithTheSystemsText) {
    app();
    QString error;
    EXPECT_FALSE(sheet::writeSheetPdf(sample(), {}, QStringLiteral("/nonexistent-dir/sheet.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ConfigSheet, WithSecretsTheFileIsTheOwnersOnly) {
    app();
    QTemporaryDir dir;
    sheet::SheetOptions o;
    o.withSecrets = true;
    const QString pdf = dir.filePath(QStringLiteral("s.pdf"));
    ASSERT_TRUE(sheet::writeSheetPdf(sample(), o, pdf));
    EXPECT_EQ(QFileInfo(pdf).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}
