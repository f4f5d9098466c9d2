// zorel8z diff, sheet, journal and check, and what read and write leave in the archive and the
// journal; each a process of its own against the simulated panel and station, with a data folder of
// the test's own.
#include "journal/Journal.h"
#include "model/ConfigJson.h"
#include "support/CliProcess.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

using zorel8z::model::PanelConfig;

namespace {

using Result = zorel8z::test::CliResult;

Result cli(const QStringList& args) {
    return zorel8z::test::runCli(args);
}

const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");

// A data folder of the test's own, for the tool's processes.
struct DataHome {
    DataHome() { qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path())); }
    QString data(const QString& rest = QString()) const {
        return dir.filePath(QStringLiteral("zorel8z-configurator/") + rest);
    }
    std::vector<zorel8z::journal::Record> journal() const {
        return zorel8z::journal::Journal(data(QStringLiteral("journal.jsonl"))).records();
    }
    QStringList archived(const QString& panel) const {
        QStringList out;
        for (const QString& f :
             QDir(data(QStringLiteral("archive/") + panel)).entryList(QDir::Files, QDir::Name))
            out << data(QStringLiteral("archive/") + panel + QLatin1Char('/') + f);
        return out;
    }
    QTemporaryDir dir;
};

struct Panel {
    explicit Panel(const QStringList& args) {
        sim.start(QStringLiteral(ZOREL_PANEL_SIM_PATH), args);
        EXPECT_TRUE(sim.waitForReadyRead(10000));
        path = QString::fromUtf8(sim.readLine()).trimmed();
    }
    ~Panel() {
        sim.terminate();
        sim.waitForFinished(10000);
    }
    QProcess sim;
    QString path;
};

struct Station {
    explicit Station(const QStringList& extra = {}) {
        sim.start(QStringLiteral(ZOREL_STATION_SIM_PATH),
                  QStringList{QStringLiteral("--quiet"), QStringLiteral("--panel"),
                              QStringLiteral("57:123456:") + kDemo} +
                      extra);
        EXPECT_TRUE(sim.waitForReadyRead(10000));
        server = QString::fromUtf8(sim.readLine()).trimmed().remove(QStringLiteral("http://"));
    }
    ~Station() {
        sim.terminate();
        sim.waitForFinished(10000);
    }
    QProcess sim;
    QString server;
};

PanelConfig fromFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    PanelConfig cfg;
    QString error;
    EXPECT_TRUE(zorel8z::model::configFromJson(f.readAll(), cfg, error)) << error.toStdString();
    return cfg;
}

void writeJson(const QString& path, const PanelConfig& cfg) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(zorel8z::model::configToJson(cfg));
}

QString pdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(60000));
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

TEST(CliExtras, DiffTwoFiles) {
    QTemporaryDir dir;
    const PanelConfig demo = fromFile(kDemo);
    PanelConfig other = demo;
    other.serverPort = 6001;
    other.lines[2].modifier = 2;
    other.users[0].password = QStringLiteral("4826");
    const QString otherPath = dir.filePath(QStringLiteral("other.json"));
    writeJson(otherPath, other);
    const QString c8z = dir.filePath(QStringLiteral("demo.c8z"));
    ASSERT_EQ(cli({QStringLiteral("convert"), kDemo, c8z}).code, 0);

    Result r = cli({QStringLiteral("diff"), c8z, kDemo});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QString());
    r = cli({QStringLiteral("diff"), kDemo, otherPath});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, QStringLiteral("Налаштування зв'язку\n"
                                    "  Основний порт:  %1 → 6001\n"
                                    "Користувачі\n"
                                    "  № п/п 1: Пароль  змінено\n"
                                    "Шлейфи\n"
                                    "  Шлейф 3: Модифікатор  Без змін → Тихий\n")
                         .arg(demo.serverPort));
    EXPECT_FALSE(r.out.contains(QStringLiteral("4826")));
    r = cli({QStringLiteral("diff"), QStringLiteral("--json"), c8z, otherPath});
    EXPECT_EQ(r.code, 1);
    const QJsonArray pages = QJsonDocument::fromJson(r.out.toUtf8()).array();
    ASSERT_EQ(pages.size(), 3);
    EXPECT_EQ(pages[2][QStringLiteral("rows")][0][QStringLiteral("there")].toString(),
              QStringLiteral("Тихий"));
    EXPECT_EQ(cli({QStringLiteral("diff"), QStringLiteral("--json"), kDemo, kDemo}).out,
              QStringLiteral("[]\n"));

    r = cli({QStringLiteral("diff"), kDemo, dir.filePath(QStringLiteral("missing.json"))});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Не вдалося відкрити файл")));
    EXPECT_EQ(cli({QStringLiteral("diff"), kDemo}).code, 2);
}

TEST(CliExtras, SheetOfAFile) {
    DataHome home;
    QTemporaryDir dir;
    PanelConfig cfg = fromFile(kDemo);
    cfg.PwdLev1 = QStringLiteral("97531");
    cfg.pwd = QStringLiteral("735194");
    const QString in = dir.filePath(QStringLiteral("in.json"));
    writeJson(in, cfg);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    const QString secret = dir.filePath(QStringLiteral("secret.pdf"));
    ASSERT_EQ(cli({QStringLiteral("sheet"), in, QStringLiteral("-o"), plain}).code, 0);
    ASSERT_EQ(cli({QStringLiteral("sheet"), in, QStringLiteral("-o"), secret,
                   QStringLiteral("--with-secrets"), QStringLiteral("--changed-only")})
                  .code,
              0);
    const QString a = pdfText(plain);
    const QString b = pdfText(secret);
    EXPECT_TRUE(a.contains(QStringLiteral("№ ППК в ПЦС %1").arg(cfg.numPPK)));
    EXPECT_FALSE(a.contains(QStringLiteral("97531")));
    EXPECT_FALSE(a.contains(QStringLiteral("735194")));
    EXPECT_TRUE(b.contains(QStringLiteral("Адміністратор 97531")));
    EXPECT_TRUE(b.contains(QStringLiteral("Лише значення, змінені від заводських")));

    const Result bad =
        cli({QStringLiteral("sheet"), in, QStringLiteral("-o"), QStringLiteral("/nonexistent-dir/x.pdf")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Не вдалося зберегти файл")));
    const auto lines = home.journal();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].operation, QStringLiteral("export"));
    EXPECT_EQ(lines[0].file, plain);
    EXPECT_EQ(lines[2].outcome, QStringLiteral("failed"));
}

TEST(CliExtras, ReadsAreArchivedAndJournaled) {
    DataHome home;
    QTemporaryDir dir;
    Panel panel({QStringLiteral("--config"), kDemo, QStringLiteral("--serial"), QStringLiteral("258")});
    const QString got = dir.filePath(QStringLiteral("got.json"));
    Result r = cli({QStringLiteral("read"), QStringLiteral("--port"), panel.path, QStringLiteral("-o"), got});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList entries = home.archived(QStringLiteral("serial-000258"));
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(QFileInfo(entries[0]).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    // The entry is the read.
    const Result same = cli({QStringLiteral("diff"), entries[0], got});
    EXPECT_EQ(same.code, 0) << same.out.toStdString();

    r = cli({QStringLiteral("read"), QStringLiteral("--port"), panel.path, QStringLiteral("--no-archive")});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(home.archived(QStringLiteral("serial-000258")).size(), 1);

    Panel silent({QStringLiteral("--silent")});
    r = cli({QStringLiteral("read"), QStringLiteral("--port"), silent.path, QStringLiteral("--delay-ms"),
             QStringLiteral("300")});
    EXPECT_EQ(r.code, 3);

    const auto lines = home.journal();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].operation, QStringLiteral("read"));
    EXPECT_EQ(lines[0].link, QStringLiteral("USB ") + panel.path);
    EXPECT_EQ(lines[0].serial, QStringLiteral("000258"));
    EXPECT_EQ(lines[0].block, QStringLiteral("1-5"));
    EXPECT_EQ(lines[0].outcome, QStringLiteral("ok"));
    EXPECT_EQ(lines[0].archive, entries[0]);
    EXPECT_TRUE(lines[1].archive.isEmpty());
    EXPECT_EQ(lines[2].outcome, QStringLiteral("failed"));
    EXPECT_TRUE(lines[2].message.startsWith(QStringLiteral("Не має доступу до ППК через порт: ")));
    EXPECT_TRUE(lines[2].serial.isEmpty());

    const Result printed = cli({QStringLiteral("journal")});
    EXPECT_EQ(printed.code, 0);
    EXPECT_EQ(printed.out.count(QLatin1Char('\n')), 3);
    EXPECT_TRUE(printed.out.contains(
        QStringLiteral(" | зчитування | USB %1 | серійний номер 000258 | блок 1-5 | успішно")
            .arg(panel.path)));
    EXPECT_EQ(cli({QStringLiteral("journal"), QStringLiteral("--since"), QStringLiteral("2999-01-01")}).out,
              QString());
    EXPECT_EQ(cli({QStringLiteral("journal"), QStringLiteral("--since"), QStringLiteral("2000-01-01"),
                   QStringLiteral("--json")})
                  .out.count(QStringLiteral("\"operation\":\"read\"")),
              3);
    EXPECT_EQ(cli({QStringLiteral("journal"), QStringLiteral("--since"), QStringLiteral("вчора")}).code, 2);
}

TEST(CliExtras, WriteWithVerification) {
    DataHome home;
    QTemporaryDir dir;
    Panel panel({QStringLiteral("--config"), kDemo, QStringLiteral("--serial"), QStringLiteral("77")});
    const QString got = dir.filePath(QStringLiteral("got.json"));
    ASSERT_EQ(
        cli({QStringLiteral("read"), QStringLiteral("--port"), panel.path, QStringLiteral("-o"), got}).code,
        0);
    // Two zones changed since the read.
    PanelConfig edited = fromFile(got);
    edited.lines[5].type = 1;
    edited.lines[6].modifier = 4;
    const QString toWrite = dir.filePath(QStringLiteral("edited.json"));
    writeJson(toWrite, edited);

    Result r = cli(
        {QStringLiteral("write"), QStringLiteral("--verify"), QStringLiteral("--port"), panel.path, toWrite});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Конфігурація записана успішно\nЗаписане перевірено.\n"));

    Panel faulty({QStringLiteral("--config"), kDemo, QStringLiteral("--alter-writes")});
    r = cli({QStringLiteral("write"), QStringLiteral("--verify"), QStringLiteral("--port"), faulty.path,
             toWrite});
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.err, QStringLiteral("Записане відрізняється від зчитаного з ППК (записано → у ППК):\r\n"
                                    "Параметри ППК\r\n"
                                    "  Час затримки на вхід/вихід груп 1-4 :  %1 с → %2 с\n")
                         .arg(edited.timeDelay)
                         .arg(edited.timeDelay + 1));
    // Without --verify the same panel passes for written.
    r = cli({QStringLiteral("write"), QStringLiteral("--port"), faulty.path, toWrite});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, QStringLiteral("Конфігурація записана успішно\n"));

    const auto lines = home.journal();
    ASSERT_EQ(lines.size(), 4u);
    const auto& verified = lines[1];
    EXPECT_EQ(verified.operation, QStringLiteral("write"));
    EXPECT_EQ(verified.outcome, QStringLiteral("ok"));
    EXPECT_EQ(verified.serial, QStringLiteral("00077"));
    EXPECT_EQ(verified.changed, (QStringList{QStringLiteral("Шлейфи: Шлейф 6: Тип шлейфу"),
                                             QStringLiteral("Шлейфи: Шлейф 7: Модифікатор")}));
    EXPECT_EQ(lines[2].outcome, QStringLiteral("not-verified"));
    // No read over that port before: nothing to tell the changes from.
    EXPECT_TRUE(lines[2].changed.isEmpty());
    EXPECT_EQ(lines[3].outcome, QStringLiteral("ok"));
}

TEST(CliExtras, RemoteReadsAreArchivedAndWritesNameTheirChanges) {
    DataHome home;
    QTemporaryDir dir;
    Station station;
    const auto access = [&](const char* block) {
        return QStringList{QStringLiteral("--server"),   station.server,
                           QStringLiteral("--panel"),    QStringLiteral("57"),
                           QStringLiteral("--password"), QStringLiteral("123456"),
                           QStringLiteral("--block"),    QString::fromLatin1(block),
                           QStringLiteral("--poll-ms"),  QStringLiteral("50")};
    };
    const QString got = dir.filePath(QStringLiteral("got.json"));
    Result r = cli(QStringList{QStringLiteral("remote-read")} + access("3") +
                   QStringList{QStringLiteral("--in"), kDemo, QStringLiteral("-o"), got});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(home.archived(QStringLiteral("station-57")).size(), 1);

    PanelConfig edited = fromFile(got);
    edited.lines[0].group = 2;
    edited.serverPort += 1; // another page: not part of a zones write
    const QString toWrite = dir.filePath(QStringLiteral("edited.json"));
    writeJson(toWrite, edited);
    r = cli(QStringList{QStringLiteral("remote-write")} + access("3") + QStringList{toWrite});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    const auto lines = home.journal();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].operation, QStringLiteral("read"));
    EXPECT_EQ(lines[0].link, QStringLiteral("ПЦС %1:%2, № ППК 57")
                                 .arg(station.server.section(QLatin1Char(':'), 0, 0),
                                      station.server.section(QLatin1Char(':'), 1, 1)));
    EXPECT_EQ(lines[0].block, QStringLiteral("3"));
    EXPECT_EQ(lines[1].operation, QStringLiteral("write"));
    EXPECT_EQ(lines[1].outcome, QStringLiteral("ok"));
    EXPECT_EQ(lines[1].changed, QStringList{QStringLiteral("Шлейфи: Шлейф 1: Група")});
}

TEST(CliExtras, CheckAPortAndAStation) {
    Panel panel({QStringLiteral("--serial"), QStringLiteral("5")});
    Result r = cli({QStringLiteral("check"), QStringLiteral("--port"), panel.path});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("✓ Порт %1 є в системі.\n"
                             "✓ Порт %1 відкрито.\n"
                             "✓ ППК відповів на запит зчитування: отримано 999 байт, це кадр конфігурації "
                             "(серійний номер ППК 0005, прошивка 1).\n"
                             "✓ З'єднання з ППК по USB працює.\n")
                  .arg(panel.path));

    Panel silent({QStringLiteral("--silent")});
    r = cli({QStringLiteral("check"), QStringLiteral("--port"), silent.path, QStringLiteral("--delay-ms"),
             QStringLiteral("300")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.endsWith(
        QStringLiteral("✗ ППК не відповів на запит зчитування протягом 0.3 с (отримано 0 байт). "
                       "Перевірте, будь-ласка, з\"єднання з компьютером і переконайтесь що всі "
                       "групи ППК зняті з охорони !\n")))
        << r.out.toStdString();

    Station station;
    r = cli({QStringLiteral("check"), QStringLiteral("--server"), station.server, QStringLiteral("--panel"),
             QStringLiteral("57"), QStringLiteral("--password"), QStringLiteral("111111"),
             QStringLiteral("--poll-ms"), QStringLiteral("50")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.endsWith(
        QStringLiteral("✗ ППК № 57 через ПЦС: Не має доступу до ППК! Перевірте активацію режима "
                       "\"Програмування\", пароль і зняття всіх груп з охорони!\n")))
        << r.out.toStdString();

    EXPECT_EQ(cli({QStringLiteral("check")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("check"), QStringLiteral("--port"), panel.path, QStringLiteral("--server"),
                   station.server})
                  .code,
              2);
}

// A user outside the device's group is told which group to join and how.
TEST(CliExtras, CheckSaysHowToGetThePermission) {
    Panel panel({});
    QProcess p;
    if (::geteuid() == 0) {
        // Root may open anything: give the device to the serial-port group, as the system does with
        // adapters, and run the check as a user outside it.
        const group* dialout = ::getgrnam("dialout");
        ASSERT_NE(dialout, nullptr);
        ASSERT_EQ(::chown(QFile::encodeName(panel.path).constData(), uid_t(-1), dialout->gr_gid), 0);
        p.start(QStringLiteral("setpriv"),
                {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                 QStringLiteral("--clear-groups"), QStringLiteral(ZOREL_CLI_PATH), QStringLiteral("check"),
                 QStringLiteral("--port"), panel.path});
    } else {
        // The device is the tester's own: take the access away.
        ASSERT_TRUE(QFile::setPermissions(panel.path, QFileDevice::Permissions()));
        p.start(QStringLiteral(ZOREL_CLI_PATH),
                {QStringLiteral("check"), QStringLiteral("--port"), panel.path});
    }
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString group = QFileInfo(panel.path).group();
    EXPECT_EQ(p.exitCode(), 1) << out.toStdString()
                               << QString::fromUtf8(p.readAllStandardError()).toStdString();
    const QString advice =
        group == QLatin1String("root")
            ? QStringLiteral("Попросіть адміністратора комп'ютера дати вам доступ до нього.\n")
            : QStringLiteral("Пристрій належить групі \"%1\": додайте себе до неї командою\n"
                             "    sudo usermod -aG %1 $USER\n"
                             "а потім вийдіть із системи і увійдіть знову.\n")
                  .arg(group);
    EXPECT_EQ(out, QStringLiteral("✓ Порт %1 є в системі.\n"
                                  "✗ Немає дозволу на доступ до порту %1. ")
                           .arg(panel.path) +
                       advice);
    if (::geteuid() == 0) {
        EXPECT_EQ(group, QStringLiteral("dialout"));
    }
}

namespace {

// The libraries the dynamic loader brought into one run of the tool, by file name.
QStringList loadedLibraries(const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ZOREL_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList libraries;
    for (const QString& line : QString::fromLocal8Bit(p.readAllStandardError()).split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(QStringLiteral("file="));
        if (at >= 0)
            libraries << line.mid(at + 5).section(QLatin1Char(' '), 0, 0).section(QLatin1Char('/'), -1);
    }
    return libraries;
}

bool anyStartsWith(const QStringList& names, const QString& prefix) {
    return std::any_of(names.begin(), names.end(), [&](const QString& n) { return n.startsWith(prefix); });
}

} // namespace

// The tool starts as lean as it can: QtGui only for the sheet, libcurl only for a station.
TEST(CliExtras, ACommandLoadsOnlyWhatItUses) {
    DataHome home;
    QTemporaryDir dir;
    const QStringList show = loadedLibraries({QStringLiteral("show"), kDemo});
    ASSERT_TRUE(anyStartsWith(show, QStringLiteral("libQt6Core")))
        << show.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(anyStartsWith(show, QStringLiteral("libQt6Gui")));
    EXPECT_FALSE(anyStartsWith(show, QStringLiteral("libcurl")));

    const QStringList sheet = loadedLibraries(
        {QStringLiteral("sheet"), kDemo, QStringLiteral("-o"), dir.filePath(QStringLiteral("s.pdf"))});
    EXPECT_TRUE(anyStartsWith(sheet, QStringLiteral("libQt6Gui")));
    EXPECT_FALSE(anyStartsWith(sheet, QStringLiteral("libcurl")));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("s.pdf"))).size() > 0);
}

// A tool copied away from its sheet module still does everything else, and its sheet command says
// what is missing.
TEST(CliExtras, SheetWithoutItsModuleSaysSo) {
    DataHome home;
    QTemporaryDir dir;
    const QString tool = dir.filePath(QStringLiteral("zorel8z"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZOREL_CLI_PATH), tool));
    QFile(tool).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess p;
    p.start(tool,
            {QStringLiteral("sheet"), kDemo, QStringLiteral("-o"), dir.filePath(QStringLiteral("s.pdf"))});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains(QStringLiteral("Не вдалося завантажити модуль паспорта")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("s.pdf"))));
    p.start(tool, {QStringLiteral("show"), kDemo});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
}
