// zorel8z remote-read and remote-write against the simulated station, each a process of its own.
#include "model/ConfigJson.h"
#include "support/CliProcess.h"
#include "support/Printers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using zorel8z::model::PanelConfig;

namespace {

using Result = zorel8z::test::CliResult;

Result cli(const QStringList& args) { return zorel8z::test::runCli(args); }

const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");

// A simulated station holding the demo configuration as panel 57 with the password 123456; its URL
// is the first line it prints.
struct Station {
    explicit Station(const QStringList& extra = {})
        : sim(QStringLiteral(ZOREL_STATION_SIM_PATH),
              QStringList{QStringLiteral("--quiet"), QStringLiteral("--panel"),
                          QStringLiteral("57:123456:") + kDemo, QStringLiteral("--save"), dir.path()} +
                  extra),
          server(QString(sim.served).remove(QStringLiteral("http://"))) {}
    QStringList access(const char* block, const char* password = "123456") const {
        return {QStringLiteral("--server"),   server,
                QStringLiteral("--panel"),    QStringLiteral("57"),
                QStringLiteral("--password"), QString::fromLatin1(password),
                QStringLiteral("--block"),    QString::fromLatin1(block),
                QStringLiteral("--poll-ms"),  QStringLiteral("50")};
    }
    QTemporaryDir dir;
    zorel8z::test::SimProcess sim;
    QString server; // 127.0.0.1:PORT
};

PanelConfig fromJson(const QByteArray& json) {
    PanelConfig cfg;
    QString error;
    EXPECT_TRUE(zorel8z::model::configFromJson(json, cfg, error)) << error.toStdString();
    return cfg;
}

PanelConfig fromFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return fromJson(f.readAll());
}

bool toFile(const QString& path, const PanelConfig& cfg) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(zorel8z::model::configToJson(cfg)) > 0;
}

} // namespace

TEST(CliRemote, ReadNetworkBlockToStdout) {
    Station station;
    const Result r = cli(QStringList{QStringLiteral("remote-read")} + station.access("1"));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    const PanelConfig demo = fromFile(kDemo);
    const PanelConfig got = fromJson(r.out.toUtf8());
    EXPECT_EQ(got.apn, demo.apn);
    EXPECT_EQ(got.apn2, demo.apn2);
    EXPECT_EQ(got.serverIP, demo.serverIP);
    EXPECT_EQ(got.serverPort, demo.serverPort);
    // The number the panel was addressed by; the rest stays at the factory values.
    EXPECT_EQ(got.numPPK, 57);
    EXPECT_EQ(got.pwd, PanelConfig().pwd);
    EXPECT_EQ(got.lines, PanelConfig().lines);
}

TEST(CliRemote, ReadZonesOverAFile) {
    Station station;
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in.json"));
    const QString out = dir.filePath(QStringLiteral("out.json"));
    PanelConfig base;
    base.apn = QStringLiteral("kept");
    ASSERT_TRUE(toFile(in, base));
    const Result r = cli(QStringList{QStringLiteral("remote-read")} + station.access("3") +
                         QStringList{QStringLiteral("--in"), in, QStringLiteral("-o"), out});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    PanelConfig expected = base;
    expected.lines = fromFile(kDemo).lines;
    EXPECT_TRUE(fromFile(out).sameSettings(expected));
}

TEST(CliRemote, WriteParametersBlock) {
    Station station;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("params.json"));
    PanelConfig cfg = fromFile(kDemo);
    cfg.timeDelay = 33;
    cfg.UKon = 9;
    cfg.PwdLev2 = QStringLiteral("67890");
    cfg.apn = QStringLiteral("not sent");
    ASSERT_TRUE(toFile(file, cfg));

    const Result r =
        cli(QStringList{QStringLiteral("remote-write")} + station.access("4") + QStringList{file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Конфігурація записана успішно\n"));
    const PanelConfig held = fromFile(station.dir.filePath(QStringLiteral("panel-57.json")));
    EXPECT_EQ(held.timeDelay, 33);
    EXPECT_EQ(held.UKon, 9);
    EXPECT_EQ(held.PwdLev2, QStringLiteral("67890"));
    EXPECT_EQ(held.apn, fromFile(kDemo).apn);
}

TEST(CliRemote, Failures) {
    Station station;
    const struct {
        const char* name;
        QStringList args;
        int code;
        const char* err;
    } cases[] = {
        {"wrong password", QStringList{QStringLiteral("remote-read")} + station.access("3", "654321"), 1,
         "Не має доступу до ППК! Перевірте активацію режима \"Програмування\", пароль і зняття всіх груп з "
         "охорони!\n"},
        {"wrong password on write",
         QStringList{QStringLiteral("remote-write")} + station.access("3", "654321") + QStringList{kDemo}, 1,
         "Не має доступу до ППК! Перевірте активацію режима \"Програмування\", пароль і зняття всіх груп з "
         "охорони!\n"},
        {"empty password", QStringList{QStringLiteral("remote-read")} + station.access("3", ""), 1,
         "Введіть пароль віддаленого конфігурування!\n"},
        {"port out of range",
         {QStringLiteral("remote-read"), QStringLiteral("--server"), QStringLiteral("127.0.0.1:70000"),
          QStringLiteral("--panel"), QStringLiteral("57"), QStringLiteral("--password"),
          QStringLiteral("123456"), QStringLiteral("--block"), QStringLiteral("3")},
         1,
         "Порт серверу ПЦС повинен бути від 1 до 65535!\n"},
        {"panel 0",
         {QStringLiteral("remote-read"), QStringLiteral("--server"), station.server,
          QStringLiteral("--panel"), QStringLiteral("0"), QStringLiteral("--password"),
          QStringLiteral("123456"), QStringLiteral("--block"), QStringLiteral("3")},
         1,
         "Введіть номер ППК, відмінний від 0!\n"},
    };
    for (const auto& c : cases) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.err, QString::fromUtf8(c.err)) << c.name;
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
    }
}

TEST(CliRemote, UsageErrors) {
    const QStringList access = {QStringLiteral("--server"),   QStringLiteral("127.0.0.1:15001"),
                                QStringLiteral("--panel"),    QStringLiteral("57"),
                                QStringLiteral("--password"), QStringLiteral("123456")};
    const QStringList cases[] = {
        QStringList{QStringLiteral("remote-read")} + access,
        QStringList{QStringLiteral("remote-read")} + access +
            QStringList{QStringLiteral("--block"), QStringLiteral("5")},
        QStringList{QStringLiteral("remote-write")} + access +
            QStringList{QStringLiteral("--block"), QStringLiteral("1")},
        {QStringLiteral("remote-read"), QStringLiteral("--server"), QStringLiteral("127.0.0.1"),
         QStringLiteral("--panel"), QStringLiteral("57"), QStringLiteral("--password"),
         QStringLiteral("123456"), QStringLiteral("--block"), QStringLiteral("1")},
    };
    for (const auto& args : cases) {
        const Result r = cli(args);
        EXPECT_EQ(r.code, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Використання:")));
    }
}

TEST(CliRemote, NoAnswerIsExitThree) {
    const struct {
        const char* name;
        QStringList faults;
        const char* err;
    } cases[] = {
        {"query refused", {QStringLiteral("--refuse-query")}, "ППК не відповідає! Повторіть спробу!\n"},
        {"no data", {QStringLiteral("--no-data-forever")}, "ППК не відповідає! Повторіть спробу!\n"},
    };
    for (const auto& c : cases) {
        Station station(c.faults);
        const Result r = cli(QStringList{QStringLiteral("remote-read")} + station.access("2") +
                             QStringList{QStringLiteral("--watchdog-ms"), QStringLiteral("500")});
        EXPECT_EQ(r.code, 3) << c.name;
        EXPECT_EQ(r.err, QString::fromUtf8(c.err)) << c.name;
    }
}
