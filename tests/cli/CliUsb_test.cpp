// zorel8z read and write against the simulated panel, each a process of its own.
#include "model/ConfigJson.h"
#include "support/CliProcess.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = zorel8z::test::CliResult;

Result cli(const QStringList& args) { return zorel8z::test::runCli(args); }

// A simulated panel; `path` is its device.
struct Panel {
    explicit Panel(const QStringList& args)
        : sim(QStringLiteral(ZOREL_PANEL_SIM_PATH), args), path(sim.served) {}
    zorel8z::test::SimProcess sim;
    QString path;
};

const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");

} // namespace

TEST(CliUsb, ReadThenWriteBack) {
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("saved.json"));
    Panel panel({QStringLiteral("--config"), kDemo, QStringLiteral("--serial"), QStringLiteral("258"),
                 QStringLiteral("--firmware"), QStringLiteral("0"), QStringLiteral("--save"), saved});
    ASSERT_FALSE(panel.path.isEmpty());

    const QString got = dir.filePath(QStringLiteral("got.json"));
    Result r = cli({QStringLiteral("read"), QStringLiteral("--port"), panel.path, QStringLiteral("-o"), got});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Серійний номер ППК: 000258\nПрошивка ППК: 1\n"));
    const Result shown = cli({QStringLiteral("show"), got});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("№ ППК на ПЦС: 1201")));

    r = cli({QStringLiteral("write"), QStringLiteral("--port"), panel.path, got});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Конфігурація записана успішно\n"));
    // The panel now holds exactly what was written.
    zorel8z::model::PanelConfig written, held;
    QString error;
    QFile a(got), b(saved);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    ASSERT_TRUE(zorel8z::model::configFromJson(a.readAll(), written, error));
    ASSERT_TRUE(zorel8z::model::configFromJson(b.readAll(), held, error));
    EXPECT_TRUE(held.sameSettings(written));
}

TEST(CliUsb, SilentPanelIsExitThree) {
    Panel silent({QStringLiteral("--silent")});
    Result r = cli({QStringLiteral("read"), QStringLiteral("--port"), silent.path, QStringLiteral("--delay-ms"),
                    QStringLiteral("300")});
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Не має доступу до ППК через порт: %1.").arg(silent.path)));

    Panel noAck({QStringLiteral("--no-ack")});
    r = cli({QStringLiteral("write"), QStringLiteral("--port"), noAck.path, QStringLiteral("--watchdog-ms"),
             QStringLiteral("500"), kDemo});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, QStringLiteral("ППК не відповідає! Повторіть спробу!\n"));
}

TEST(CliUsb, RefusedWriteSendsNothing) {
    QTemporaryDir dir;
    Panel panel({});
    const Result r = cli({QStringLiteral("write"), QStringLiteral("--port"), panel.path,
                          QStringLiteral(ZOREL_SOURCE_DIR "/fuzz/seeds/fuzz_config_json/demo.json")});
    EXPECT_EQ(r.code, 0);
    QTemporaryDir d2;
    const QString fresh = d2.filePath(QStringLiteral("fresh.json"));
    QFile f(fresh);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{}");
    f.close();
    const Result refused = cli({QStringLiteral("write"), QStringLiteral("--port"), panel.path, fresh});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.err, QStringLiteral("Введіть номер ППК на ПЦС, відмінний від нуля!\n"));
}

// Qt's serial port lives in a module of its own. The installed tool finds it in the window's folder; a
// tool that finds it nowhere says so when it opens a port.
TEST(CliUsb, TheSerialModuleIsFoundInTheWindowsFolderOrMissedAloud) {
    QTemporaryDir prefix;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const QString tool = QDir(bin).filePath(QStringLiteral("zorel8z"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZOREL_CLI_PATH), tool));
    Panel panel({});
    const QStringList read{QStringLiteral("read"), QStringLiteral("--port"), panel.path,
                           QStringLiteral("--no-archive")};

    Result r = zorel8z::test::runCli(read, tool);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Перевірте підключення по USB! Код помилки : Не вдалося завантажити "
                                                "модуль послідовних портів програми (модуль не знайдено (")))
        << r.err.toStdString();

    const QString appDir = QDir::cleanPath(QDir(bin).filePath(QStringLiteral(ZOREL_MODULE_RELDIR)));
    ASSERT_TRUE(QDir().mkpath(appDir));
    const QString module = QStringLiteral(ZOREL_LINE_MODULE_PATH);
    ASSERT_TRUE(QFile::copy(module, QDir(appDir).filePath(QFileInfo(module).fileName())));
    r = zorel8z::test::runCli(read, tool);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Серійний номер ППК: "))) << r.out.toStdString();
}
