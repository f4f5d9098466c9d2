#include "model/ConfigFile.h"
#include "model/FrameCodec.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::model;
using controller::TController;

namespace {
const TController ctl;
QString L(const char* s) { return QString::fromLatin1(s); }
const QString kBadFile = QStringLiteral("Помилковий файл конфігурації!");

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

// Content of a file whose frame has one block replaced.
QByteArray contentWith(const PanelConfig& cfg, int from, const QString& replacement) {
    QString frame = buildWriteFrame(ctl, cfg);
    frame.replace(from, replacement.size(), replacement);
    return frame.toLatin1().toBase64();
}

PanelConfig sample() { return test::RandomConfig(7).next(); }
} // namespace

TEST(ConfigFile, SaveThenOpenRestoresEverythingButIdentity) {
    QTemporaryDir dir;
    test::RandomConfig gen(42);
    for (int k = 0; k < 20; ++k) {
        PanelConfig original = gen.next();
        original.serialNumber = L("00012345");
        original.firmwareVersion = L("7");
        const QString path = dir.filePath(QStringLiteral("conf%1.c8z").arg(k));
        test::RecordingUi ui;
        ASSERT_TRUE(saveConfigFile(ctl, path, original, ui));

        const QByteArray bytes = readAll(path);
        EXPECT_FALSE(bytes.endsWith('\n'));
        EXPECT_EQ(QByteArray::fromBase64(bytes).size(), 1001);

        PanelConfig opened;
        ASSERT_TRUE(openConfigFile(ctl, path, opened, ui));
        EXPECT_TRUE(opened.sameSettings(original));
        EXPECT_TRUE(opened.serialNumber.isEmpty());
        EXPECT_TRUE(ui.texts().isEmpty());
    }
}

TEST(ConfigFile, OnlyTheFirstLineIsRead) {
    const PanelConfig original = sample();
    const QByteArray line = configFileContent(ctl, original);
    for (const QByteArray& content : {line + "\r\nrubbish", line + "\n" + line, line + "\n"}) {
        PanelConfig opened;
        test::RecordingUi ui;
        ASSERT_TRUE(loadConfigFileContent(ctl, content, opened, ui));
        EXPECT_TRUE(opened.sameSettings(original));
    }
}

TEST(ConfigFile, AnyTwoLeadingCharactersAreDropped) {
    const PanelConfig original = sample();
    const QString frame = buildWriteFrame(ctl, original);
    PanelConfig opened;
    test::RecordingUi ui;
    EXPECT_TRUE(loadConfigFileContent(ctl, (L("XY") + frame.mid(2)).toLatin1().toBase64(), opened, ui));
    EXPECT_TRUE(opened.sameSettings(original));
}

TEST(ConfigFile, BrokenContentChangesNothing) {
    const PanelConfig good = sample();
    const QByteArray valid = configFileContent(ctl, good);
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"empty", QByteArray()},
        {"not base64", "@@@@"},
        {"missing padding", valid.left(valid.size() - 1).endsWith('=') ? valid.left(valid.size() - 1) : valid + "A"},
        {"blank inside", valid.left(10) + " " + valid.mid(10)},
        {"prefix missing, blocks misplaced", buildWriteFrame(ctl, good).mid(2).toLatin1().toBase64()},
        // Blocks 1 and 2 are fine, the zones are not: nothing may be applied.
        {"broken zones", contentWith(good, 302, L("{\"l\":\"1\"}"))},
        {"broken key codes", contentWith(good, 502, L("{\"b\"!"))},
        {"non-integer port", contentWith(good, 2, ctl.block1Object(L("1"), {}, {}, L("x"), {}, {}))},
        {"err_conf in a block", contentWith(good, 152, L("{\"err_conf\":1}"))},
        {"broken redundant block", contentWith(good, 963, L("{\"i\"!"))},
    };
    for (const auto& c : cases) {
        PanelConfig cfg; // the record on display
        cfg.numPPK = 77;
        const PanelConfig before = cfg;
        test::RecordingUi ui;
        EXPECT_FALSE(loadConfigFileContent(ctl, c.content, cfg, ui)) << c.name;
        EXPECT_EQ(cfg, before) << c.name;
        ASSERT_FALSE(ui.texts().isEmpty()) << c.name;
        EXPECT_EQ(ui.texts().last(), kBadFile) << c.name;
    }
}

TEST(ConfigFile, ParameterFormatMessagesComeFirstAndTheOpenGoesOn) {
    PanelConfig good = sample();
    good.UKon = 9;
    QString frame = buildWriteFrame(ctl, good);
    const int t = int(frame.indexOf(L("\"t\":\"")));
    frame.replace(t + 5, 7, L("12345\""));  // "t" of five characters; the block stays 1 shorter
    frame.insert(502 - 1, QLatin1Char(' ')); // keep the following blocks in place
    PanelConfig cfg;
    test::RecordingUi ui;
    ASSERT_TRUE(loadConfigFileContent(ctl, frame.toLatin1().toBase64(), cfg, ui));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Помилковий формат конфігурації!")});
    EXPECT_EQ(cfg.UKon, PanelConfig().UKon);
    EXPECT_EQ(cfg.numPPK, good.numPPK);
    EXPECT_EQ(cfg.UVICode, good.UVICode);
}

TEST(ConfigFile, HiddenPasswordsAreSavedAndOpenedHidden) {
    PanelConfig cfg = sample();
    cfg.passwordsHidden = true;
    for (int k = 0; k < kUserCount; ++k) {
        cfg.hiddenPasswords[size_t(k)] = QString::number(1000 + k);
        cfg.users[size_t(k)].password = k == 3 ? L("5678") : (k == 4 ? L("0000") : kHiddenPassword);
    }
    const QByteArray content = configFileContent(ctl, cfg);

    PanelConfig plain;
    test::RecordingUi ui;
    ASSERT_TRUE(loadConfigFileContent(ctl, content, plain, ui));
    EXPECT_EQ(plain.users[0].password, L("1000"));
    EXPECT_EQ(plain.users[3].password, L("5678"));
    EXPECT_EQ(plain.users[4].password, L("1004"));

    PanelConfig hidden;
    hidden.passwordsHidden = true;
    ASSERT_TRUE(loadConfigFileContent(ctl, content, hidden, ui));
    EXPECT_TRUE(hidden.passwordsHidden);
    EXPECT_EQ(hidden.users[3].password, kHiddenPassword);
    EXPECT_EQ(hidden.hiddenPasswords[3], L("5678"));
}

TEST(ConfigFile, FileSystemErrorsAreReported) {
    QTemporaryDir dir;
    test::RecordingUi ui;
    PanelConfig cfg;
    EXPECT_FALSE(openConfigFile(ctl, dir.filePath(QStringLiteral("missing.c8z")), cfg, ui));
    ASSERT_EQ(ui.texts().size(), 1);
    EXPECT_TRUE(ui.texts()[0].startsWith(QStringLiteral("Не вдалося відкрити файл\r\n")));
    EXPECT_GT(ui.texts()[0].size(), QStringLiteral("Не вдалося відкрити файл\r\n").size());

    EXPECT_FALSE(saveConfigFile(ctl, dir.filePath(QStringLiteral("no/such/dir/x.c8z")), sample(), ui));
    ASSERT_EQ(ui.texts().size(), 2);
    EXPECT_TRUE(ui.texts()[1].startsWith(QStringLiteral("Не вдалося зберегти файл\r\n")));
}

TEST(ConfigFile, SavingReplacesAnEarlierFileWithoutLeftovers) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("conf.c8z"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x'));
    old.close();
    test::RecordingUi ui;
    ASSERT_TRUE(saveConfigFile(ctl, path, sample(), ui));
    EXPECT_EQ(readAll(path), configFileContent(ctl, sample()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("conf.c8z")});
}
