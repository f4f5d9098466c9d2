// The zorel8z tool on hostile ground, each run a process of its own whose peak memory GNU time
// reports: special files and huge files as input and as export target, a full disk under every
// command that saves, conversions that would lose something, and the station password kept off the
// command line.
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "model/FrameCodec.h"
#include "support/FullDisk.h"
#include "support/MeasuredRun.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

using namespace zorel8z;
using test::MeasuredResult;

namespace {

QString U(const char* s) {
    return QString::fromUtf8(s);
}
const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");
const QString kNotRegular = U("Це не звичайний файл (канал, пристрій чи тека)");

MeasuredResult cli(const QStringList& args, const QString& stdinPath = QStringLiteral("/dev/null"),
                   const QStringList& env = {}) {
    return test::runMeasured(QStringLiteral(ZOREL_CLI_PATH), args, stdinPath, env);
}

std::string describe(const QStringList& args, const MeasuredResult& r) {
    return (args.join(QLatin1Char(' ')) +
            QStringLiteral(" -> exit %1, peak %2 KiB, stderr: ").arg(r.code).arg(r.peakKiB) + r.err)
        .toStdString();
}

void expectWithinMemory(const QStringList& args, const MeasuredResult& r) {
    if (test::kMemoryMeasurable) {
        EXPECT_GT(r.peakKiB, 0) << "no peak measured: GNU time (scripts/setup installs it) is missing";
        EXPECT_LT(r.peakKiB, test::kPeakMemoryBudgetKiB) << describe(args, r);
    }
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

model::PanelConfig demo() {
    model::PanelConfig cfg;
    QString error;
    EXPECT_TRUE(model::configFromJson(readFile(kDemo), cfg, error)) << error.toStdString();
    return cfg;
}

// A .c8z file whose frame has one member's value replaced by `value` (raw, as a panel might send it),
// with the block kept at its width.
QByteArray c8zWith(const char* member, const QString& value) {
    static const controller::TController ctl;
    QString frame = model::buildWriteFrame(ctl, demo());
    const QString key = QStringLiteral("\"%1\":\"").arg(QLatin1String(member));
    const qsizetype from = frame.indexOf(key) + key.size();
    const qsizetype to = frame.indexOf(QLatin1Char('"'), from);
    const qsizetype grown = value.size() - (to - from);
    frame.replace(from, to - from, value);
    // Take the growth out of the blanks that pad the block (or give them back).
    const qsizetype blanks = frame.indexOf(QStringLiteral("} "), from) + 1;
    if (grown > 0)
        frame.remove(blanks, grown);
    else
        frame.insert(blanks, QString(-grown, QLatin1Char(' ')));
    return frame.toLatin1().toBase64();
}

bool makeFifo(const QString& path) {
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

} // namespace

// Nothing the tool is given to read makes it wait, or read more than a megabyte.
TEST(CliHostile, SpecialAndHugeInputsAreRefusedUnread) {
    QTemporaryDir dir;
    const QString zeroJson = dir.filePath(QStringLiteral("zero.json"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroJson));
    const QString zeroC8z = dir.filePath(QStringLiteral("zero.c8z"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroC8z));
    const QString fifoC8z = dir.filePath(QStringLiteral("pipe.c8z"));
    const QString fifoJson = dir.filePath(QStringLiteral("pipe.json"));
    ASSERT_TRUE(makeFifo(fifoC8z) && makeFifo(fifoJson));
    // Fifty megabytes of nesting (sparse on disk past its first bytes would not parse; written out).
    const QString hugeJson = dir.filePath(QStringLiteral("huge.json"));
    writeFile(hugeJson, "{\"users\":" + QByteArray(50 * 1024 * 1024, '['));
    const QString hugeC8z = dir.filePath(QStringLiteral("huge.c8z"));
    writeFile(hugeC8z, QByteArray(2 * 1024 * 1024, 'A'));

    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {{QStringLiteral("show"), zeroJson}, kNotRegular},
        {{QStringLiteral("show"), zeroC8z}, kNotRegular},
        {{QStringLiteral("show"), fifoC8z}, kNotRegular},
        {{QStringLiteral("show"), fifoJson}, kNotRegular},
        {{QStringLiteral("show"), dir.path() + QStringLiteral("/")}, kNotRegular},
        {{QStringLiteral("summary"), hugeJson}, U("Файл більший за 1 МБ (52428809 байт)")},
        {{QStringLiteral("convert"), hugeC8z, dir.filePath(QStringLiteral("out.json"))},
         U("Файл більший за 1 МБ (2097152 байт)")},
        {{QStringLiteral("export"), fifoJson, QStringLiteral("-o"), dir.filePath(QStringLiteral("x.conf"))},
         kNotRegular},
        {{QStringLiteral("write"), QStringLiteral("--port"), QStringLiteral("/dev/null"), zeroJson},
         kNotRegular},
    };
    for (const auto& c : cases) {
        const MeasuredResult r = cli(c.args);
        ASSERT_TRUE(r.finished) << describe(c.args, r);
        EXPECT_EQ(r.code, 1) << describe(c.args, r);
        EXPECT_EQ(r.err, U("Не вдалося відкрити файл\r\n") + c.error + QLatin1Char('\n'))
            << describe(c.args, r);
        expectWithinMemory(c.args, r);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.json"))));
}

// Inside the limit, the worst a file can hold costs the parse, not the memory.
TEST(CliHostile, NestingUpToTheLimitStaysWithinMemory) {
    QTemporaryDir dir;
    const qsizetype room = 1024 * 1024 - 16;
    const char* tooDeep = "Невірний JSON: вкладеність глибша за 32 рівні\n";
    const struct {
        const char* name;
        QByteArray content;
        const char* error;
    } cases[] = {
        {"arrays.json", "{\"users\":" + QByteArray(room, '['), tooDeep},
        {"objects.json", "{\"users\":" + QByteArray("{\"a\":").repeated(room / 5), tooDeep},
        {"arrays-closed.json", "{\"users\":" + QByteArray(room / 2, '[') + QByteArray(room / 2, ']') + "}",
         tooDeep},
        {"strings.json", "{\"users\":[" + QByteArray("\"\",").repeated(room / 3) + "\"\"]}",
         "Невірне значення \"users\": очікується масив з 24 елементів\n"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        writeFile(path, c.content);
        const QStringList args = {QStringLiteral("show"), path};
        const MeasuredResult r = cli(args);
        ASSERT_TRUE(r.finished) << describe(args, r);
        EXPECT_EQ(r.code, 1) << describe(args, r);
        EXPECT_EQ(r.err, QString::fromUtf8(c.error)) << describe(args, r);
        expectWithinMemory(args, r);
    }
}

TEST(CliHostile, ExportToAFifoOrADeviceNeitherWaitsNorGrows) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("station.conf"));
    ASSERT_TRUE(makeFifo(fifo));
    for (const QString& target : {fifo, QStringLiteral("/dev/zero"), QStringLiteral("/dev/null")}) {
        const QStringList args = {QStringLiteral("export"), kDemo, QStringLiteral("-o"), target};
        const MeasuredResult r = cli(args);
        ASSERT_TRUE(r.finished) << describe(args, r);
        EXPECT_EQ(r.code, 1) << describe(args, r);
        EXPECT_EQ(r.err, U("Не вдалося відкрити файл\r\n") + kNotRegular + QLatin1Char('\n'))
            << describe(args, r);
        expectWithinMemory(args, r);
    }
}

TEST(CliHostile, NewFilesAreTheOwnersOnly) {
    QTemporaryDir dir;
    const mode_t mask = ::umask(022);
    for (const char* name : {"conf.c8z", "conf.json"}) {
        const QString out = dir.filePath(QString::fromLatin1(name));
        const MeasuredResult r = cli({QStringLiteral("convert"), kDemo, out});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(out).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode_t(0600)) << name;
    }
    ::umask(mask);
}

// What the tool writes reads back as the same configuration, or it says why it writes nothing.
TEST(CliHostile, ConversionsThatWouldLoseSomethingAreRefused) {
    QTemporaryDir dir;
    QByteArray shortCode = readFile(kDemo);
    shortCode.replace("\"0000000000000000\"", "\"ABC\"");
    const struct {
        const char* name;
        QByteArray content;
        const char* in;
        const char* out;
        QString error;
    } cases[] = {
        {"escaped quote in APN", c8zWith("a", QStringLiteral("inter\\\"net")), "in.c8z", "out.json",
         U("Недопустимий символ в APN!")},
        {"escaped quote in APN, unchecked", c8zWith("a", QStringLiteral("inter\\\"net")), "in.c8z", "out.c8z",
         U("Недопустимий символ в APN!")},
        {"letter in the administrator password", c8zWith("1", QStringLiteral("1234a")), "in.c8z", "out.json",
         U("Не вдалося зберегти файл\r\nНевірне значення \"PwdLev1\": дозволені лише цифри")},
        {"short key codes, unchecked", shortCode, "in.json", "out.c8z", U("Невірний формат коду!")},
    };
    for (const auto& c : cases) {
        const QString in = dir.filePath(QString::fromLatin1(c.in));
        writeFile(in, c.content);
        const QString out = dir.filePath(QString::fromLatin1(c.out));
        QStringList args = {QStringLiteral("convert"), in, out};
        if (out.endsWith(QLatin1String(".c8z")))
            args.insert(1, QStringLiteral("--no-check"));
        const MeasuredResult r = cli(args);
        EXPECT_EQ(r.code, 1) << c.name << describe(args, r);
        EXPECT_EQ(r.err, c.error + QLatin1Char('\n')) << c.name;
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
}

// Every command that saves, on a full disk: the save fails with the system's words and the file that
// was there stays as it was.
TEST(CliHostile, AFullDiskFailsEverySaveAndKeepsTheOldFile) {
    test::FullDisk disk;
    QString why;
    if (!disk.mount(why))
        GTEST_SKIP() << "no small file system to fill on this machine: " << why.toStdString();

    // A panel and a station to read from, holding the demo configuration.
    QTemporaryDir work;
    QProcess panel;
    panel.start(QStringLiteral(ZOREL_PANEL_SIM_PATH), {QStringLiteral("--config"), kDemo});
    ASSERT_TRUE(panel.waitForReadyRead(10000));
    const QString port = QString::fromUtf8(panel.readLine()).trimmed();
    QProcess station;
    station.start(QStringLiteral(ZOREL_STATION_SIM_PATH),
                  {QStringLiteral("--quiet"), QStringLiteral("--panel"), QStringLiteral("57:123456:") + kDemo,
                   QStringLiteral("--save"), work.path()});
    ASSERT_TRUE(station.waitForReadyRead(10000));
    const QString server = QString::fromUtf8(station.readLine()).trimmed().remove(QStringLiteral("http://"));

    const QStringList remote = {
        QStringLiteral("remote-read"), QStringLiteral("--server"), server,
        QStringLiteral("--panel"),     QStringLiteral("57"),       QStringLiteral("--password"),
        QStringLiteral("123456"),      QStringLiteral("--block"),  QStringLiteral("3"),
        QStringLiteral("--poll-ms"),   QStringLiteral("50"),       QStringLiteral("-o")};
    const struct {
        const char* name;
        QStringList args; // the target file follows
    } commands[] = {
        {"convert", {QStringLiteral("convert"), kDemo}},
        {"read -o", {QStringLiteral("read"), QStringLiteral("--port"), port, QStringLiteral("-o")}},
        {"remote-read -o", remote},
    };
    // The old files, written while there was room.
    for (const char* suffix : {"c8z", "json"}) {
        const QString target = disk.filePath(QStringLiteral("old.") + QLatin1String(suffix));
        const MeasuredResult r = cli({QStringLiteral("convert"), kDemo, target});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }
    ASSERT_TRUE(disk.fill());
    for (const auto& command : commands) {
        for (const char* suffix : {"c8z", "json"}) {
            const QString target = disk.filePath(QStringLiteral("old.") + QLatin1String(suffix));
            const QByteArray old = readFile(target);
            ASSERT_FALSE(old.isEmpty());
            const QStringList args = command.args + QStringList{target};
            const MeasuredResult r = cli(args);
            ASSERT_TRUE(r.finished) << describe(args, r);
            EXPECT_EQ(r.code, 1) << command.name << " " << describe(args, r);
            EXPECT_TRUE(r.err.endsWith(U("Не вдалося зберегти файл\r\n") + qt_error_string(ENOSPC) +
                                       QLatin1Char('\n')))
                << command.name << " " << describe(args, r);
            EXPECT_EQ(readFile(target), old) << command.name << " " << suffix;
        }
    }
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("filler"), QStringLiteral("old.c8z"), QStringLiteral("old.json")}));
    panel.terminate();
    station.terminate();
    panel.waitForFinished(10000);
    station.waitForFinished(10000);
}

// The station password from the environment or from standard input, never needed on the command line.
TEST(CliHostile, StationPasswordFromTheEnvironmentOrStandardInput) {
    ::unsetenv("ZOREL8Z_PASSWORD");
    QTemporaryDir dir;
    QProcess station;
    station.start(QStringLiteral(ZOREL_STATION_SIM_PATH),
                  {QStringLiteral("--quiet"), QStringLiteral("--panel"), QStringLiteral("57:123456:") + kDemo,
                   QStringLiteral("--save"), dir.path()});
    ASSERT_TRUE(station.waitForReadyRead(10000));
    const QString server = QString::fromUtf8(station.readLine()).trimmed().remove(QStringLiteral("http://"));
    const QStringList base = {
        QStringLiteral("remote-read"), QStringLiteral("--server"),  server,
        QStringLiteral("--panel"),     QStringLiteral("57"),        QStringLiteral("--block"),
        QStringLiteral("1"),           QStringLiteral("--poll-ms"), QStringLiteral("50")};
    const QString right = dir.filePath(QStringLiteral("right"));
    writeFile(right, "123456\n");
    const QString rightCrLf = dir.filePath(QStringLiteral("rightcrlf"));
    writeFile(rightCrLf, "123456\r\nrest\n");
    const QString wrong = dir.filePath(QStringLiteral("wrong"));
    writeFile(wrong, "654321\n");
    const QString dash = QStringLiteral("-");
    const QString opt = QStringLiteral("--password");
    const struct {
        const char* name;
        QStringList extra;
        QString stdinPath;
        QStringList env;
        int code;
        QString errStart;
    } cases[] = {
        {"environment",
         {},
         QStringLiteral("/dev/null"),
         {QStringLiteral("ZOREL8Z_PASSWORD=123456")},
         0,
         QString()},
        {"standard input", {opt, dash}, right, {}, 0, QString()},
        {"standard input, CR LF", {opt, dash}, rightCrLf, {}, 0, QString()},
        {"the option wins",
         {opt, QStringLiteral("123456")},
         QStringLiteral("/dev/null"),
         {QStringLiteral("ZOREL8Z_PASSWORD=654321")},
         0,
         QString()},
        {"wrong one on standard input", {opt, dash}, wrong, {}, 1, U("Не має доступу до ППК!")},
        {"none at all",
         {},
         QStringLiteral("/dev/null"),
         {},
         2,
         U("Не вказано --password (або змінну ZOREL8Z_PASSWORD)\n")},
        {"an endless stream",
         {opt, dash},
         QStringLiteral("/dev/zero"),
         {},
         2,
         U("--password: не більше 6 символів\n")},
    };
    for (const auto& c : cases) {
        const QStringList args = base + c.extra;
        const MeasuredResult r = cli(args, c.stdinPath, c.env);
        ASSERT_TRUE(r.finished) << c.name << describe(args, r);
        EXPECT_EQ(r.code, c.code) << c.name << " " << describe(args, r);
        if (c.code == 0) {
            EXPECT_TRUE(r.out.contains(QStringLiteral("\"apn\""))) << c.name;
        } else {
            EXPECT_TRUE(r.err.startsWith(c.errStart)) << c.name << " " << describe(args, r);
        }
        expectWithinMemory(args, r);
    }
    station.terminate();
    station.waitForFinished(10000);
}
