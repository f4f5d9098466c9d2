// Every way the zorel8z tool ends other than with 0, each with its exit code and the reason it gives
// on stderr: usage errors (2), refusals and failures (1), a panel or station that did not answer (3).
#include "support/CliProcess.h"
#include "support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

using zorel8z::test::SimProcess;

const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");

QString writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path;
}

QStringList L(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* a : list)
        out << QString::fromUtf8(a);
    return out;
}

// A simulated panel with these options; `port()` is its device.
std::unique_ptr<SimProcess> panel(const QStringList& args) {
    return std::make_unique<SimProcess>(QStringLiteral(ZOREL_PANEL_SIM_PATH), args);
}

// A simulated station holding the demo as panel 57 (password 123456), and the access options of a
// remote command for `block` through it.
struct Station {
    explicit Station(const QStringList& extra = {})
        : sim(QStringLiteral(ZOREL_STATION_SIM_PATH), L({"--quiet", "--no-data", "0", "--panel"}) +
                                                          QStringList{QStringLiteral("57:123456:") + kDemo} +
                                                          extra) {}
    QStringList access(const char* block, const char* password = "123456") const {
        return QStringList{QStringLiteral("--server"),
                           QString(sim.served).remove(QStringLiteral("http://"))} +
               L({"--panel", "57", "--password", password, "--poll-ms", "20", "--watchdog-ms", "1000",
                  "--block", block});
    }
    SimProcess sim;
};

} // namespace

TEST(CliExits, EveryFailureSaysWhy) {
    QTemporaryDir dir;
    const QString badC8z = writeFile(dir, "bad.c8z", "bm90IGEgY29uZmlndXJhdGlvbg==");
    const QString fresh = writeFile(dir, "fresh.json", "{}");
    const QString empty = writeFile(dir, "empty.txt", "");
    const QString wconf2 = writeFile(dir, "wconf2.txt", "{\"err_wconf\":2}");
    const QString noPort = dir.filePath(QStringLiteral("no-such-tty"));

    const auto silent = panel(L({"--silent"}));
    const auto noAck = panel(L({"--no-ack"}));
    const auto frameForAck = panel(L({"--frame-for-ack"}));
    const auto broken = panel(L({"--broken-block", "1"}));
    const Station station;
    const Station errConf(L({"--block-text", "{\"err_conf\":2}"}));
    const Station errWconf(
        QStringList{QStringLiteral("--raw-reply"), QStringLiteral("/set_config3=") + wconf2});
    const Station otherBlock(L({"--block-text", "{\"l\":\"100100100100100100100100\"}"}));
    const Station huge(
        L({"--block-text", "{\"n\":1e308,\"a\":\"x\",\"i\":\"001.002.003.004\",\"p\":\"1\",\"q\":\"y\"}"}));
    const Station refusing(L({"--refuse-query"}));
    const Station busy(QStringList{QStringLiteral("--raw-reply"), QStringLiteral("/read_config=") + empty});

    const QStringList remoteAccess =
        L({"--server", "127.0.0.1:15001", "--panel", "57", "--password", "123456"});
    const struct {
        const char* name;
        QStringList args;
        int code;
        const char* reason; // what stderr starts with
    } cases[] = {
        // Usage.
        {"no command", {}, 2, "Використання:"},
        {"unknown command", L({"frobnicate"}), 2, "Невідома команда: frobnicate"},
        {"missing file", L({"show"}), 2, "Використання:"},
        {"unknown option", QStringList{QStringLiteral("show"), QStringLiteral("--colour"), kDemo}, 2,
         "Використання:"},
        {"unknown extension",
         QStringList{QStringLiteral("convert"), kDemo, dir.filePath(QStringLiteral("x.txt"))}, 2,
         "Невідоме розширення файлу"},
        {"read without a port", L({"read"}), 2, "Використання:"},
        {"delay not a number",
         QStringList{QStringLiteral("read"), QStringLiteral("--port"), silent->served,
                     QStringLiteral("--delay-ms"), QStringLiteral("soon")},
         2, "--delay-ms: потрібно ціле число мілісекунд"},
        {"watchdog of zero",
         QStringList{QStringLiteral("write"), QStringLiteral("--port"), noAck->served,
                     QStringLiteral("--watchdog-ms"), QStringLiteral("0"), kDemo},
         2, "--watchdog-ms: потрібно ціле число мілісекунд"},
        {"empty watchdog",
         QStringList{QStringLiteral("read"), QStringLiteral("--port"), silent->served,
                     QStringLiteral("--watchdog-ms"), QString()},
         2, "--watchdog-ms: потрібно ціле число мілісекунд"},
        {"poll not a number", L({"remote-read"}) + station.access("3") + L({"--poll-ms", "1.5"}), 2,
         "--poll-ms: потрібно ціле число мілісекунд"},
        {"remote watchdog not a number",
         L({"remote-read"}) + station.access("3") + L({"--watchdog-ms", "20s"}), 2,
         "--watchdog-ms: потрібно ціле число мілісекунд"},
        {"remote without a block", L({"remote-read"}) + remoteAccess, 2, "Не вказано --block"},
        {"block 5", L({"remote-read"}) + remoteAccess + L({"--block", "5"}), 2,
         "--block: потрібно 1, 2, 3 або 4"},
        {"server without a port",
         L({"remote-read", "--server", "127.0.0.1", "--panel", "57", "--password", "1", "--block", "1"}), 2,
         "--server: потрібно IP:PORT"},
        {"panel not a number",
         L({"remote-read", "--server", "127.0.0.1:1", "--panel", "x", "--password", "1", "--block", "1"}), 2,
         "--panel: потрібно число"},
        {"password too long",
         L({"remote-read", "--server", "127.0.0.1:1", "--panel", "1", "--password", "1234567", "--block",
            "1"}),
         2, "--password: не більше 6 символів"},
        // Refused or failed.
        {"not a configuration file", L({"show"}) + QStringList{badC8z}, 1, "Помилковий файл конфігурації!"},
        {"file not there", L({"show"}) + QStringList{dir.filePath(QStringLiteral("none.c8z"))}, 1,
         "Не вдалося відкрити файл"},
        {"save checks", L({"convert"}) + QStringList{fresh, dir.filePath(QStringLiteral("out.c8z"))}, 1,
         "Введіть номер ППК на ПЦС, відмінний від нуля!"},
        {"export not written",
         L({"export"}) + QStringList{kDemo, QStringLiteral("-o"), dir.filePath(QStringLiteral("no/x.conf"))},
         1, "Unable to write to"},
        {"read from a port that does not open",
         QStringList{QStringLiteral("read"), QStringLiteral("--port"), noPort}, 1,
         "Перевірте підключення по USB! Код помилки : "},
        {"write to a port that does not open",
         QStringList{QStringLiteral("write"), QStringLiteral("--port"), noPort, kDemo}, 1,
         "Перевірте підключення по USB! Код помилки : "},
        {"write checks", QStringList{QStringLiteral("write"), QStringLiteral("--port"), noAck->served, fresh},
         1, "Введіть номер ППК на ПЦС, відмінний від нуля!"},
        {"write answered with a frame",
         QStringList{QStringLiteral("write"), QStringLiteral("--port"), frameForAck->served, kDemo}, 1,
         "Замість підтвердження запису ППК надіслав конфігурацію. Перевірте, що записано!"},
        {"broken frame", QStringList{QStringLiteral("read"), QStringLiteral("--port"), broken->served}, 1,
         "Помилковий формат конфігурації!"},
        {"station's own failure on read", L({"remote-read"}) + errConf.access("2"), 1,
         "Помилка ПЦС! Код помилки : 2"},
        {"station's own failure on write", L({"remote-write"}) + errWconf.access("3") + QStringList{kDemo}, 1,
         "Помилка ПЦС! Код помилки : 2"},
        {"another block", L({"remote-read"}) + otherBlock.access("1"), 1, "Помилкове число: \"\""},
        {"a huge number", L({"remote-read"}) + huge.access("1"), 1, "Помилкове число: \"1e308\""},
        {"station address of zeros",
         L({"remote-read", "--server", "000.000.000.000:15001", "--panel", "57", "--password", "123456",
            "--block", "1"}),
         1, "Не коректний IP серверу ПЦС"},
        {"wrong password", L({"remote-read"}) + station.access("3", "654321"), 1, "Не має доступу до ППК!"},
        // No answer.
        {"silent panel",
         QStringList{QStringLiteral("read"), QStringLiteral("--port"), silent->served,
                     QStringLiteral("--delay-ms"), QStringLiteral("300")},
         3, "Не має доступу до ППК через порт: "},
        {"write never acknowledged",
         QStringList{QStringLiteral("write"), QStringLiteral("--port"), noAck->served,
                     QStringLiteral("--watchdog-ms"), QStringLiteral("500"), kDemo},
         3, "ППК не відповідає! Повторіть спробу!"},
        {"query refused", L({"remote-read"}) + refusing.access("2"), 3,
         "ППК не відповідає! Повторіть спробу!"},
        {"station busy", L({"remote-read"}) + busy.access("2"), 3,
         "Сервер зайнятий! Повторіть спробу пізніше!"},
    };
    for (const auto& c : cases) {
        const zorel8z::test::CliResult r = zorel8z::test::runCli(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QString::fromUtf8(c.reason))) << c.name << ": " << r.err.toStdString();
    }
}
