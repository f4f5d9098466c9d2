// The zorel8z tool as a user runs it: real files, real process, exit codes and exact messages.
#include "support/CliProcess.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Result = zorel8z::test::CliResult;

Result run(const QStringList& args) { return zorel8z::test::runCli(args); }

QString demo() { return QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json"); }

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

TEST(Cli, ConvertThenShowListsTheConfiguration) {
    QTemporaryDir dir;
    const QString c8z = dir.filePath(QStringLiteral("demo.c8z"));
    Result r = run({QStringLiteral("convert"), demo(), c8z});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    r = run({QStringLiteral("show"), c8z});
    ASSERT_EQ(r.code, 0);
    for (const char* expected : {"Налаштування зв'язку", "№ ППК на ПЦС: 1201", "Основний IP: 194.044.012.007",
                                 "Резервний порт: 5002", "Користувачі", "Шлейфи",
                                 "Шлейф 4. Група: 1; Тип шлейфу: Цілодобовий; Модифікатор: Пожежний",
                                 "Параметри ППК", "Індикатор взяття PV2 : Група 2", "01A2B3C4D5E6F701"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(expected))) << expected;

    // .c8z -> .json -> .c8z gives the same file.
    const QString json = dir.filePath(QStringLiteral("back.json"));
    const QString again = dir.filePath(QStringLiteral("again.c8z"));
    ASSERT_EQ(run({QStringLiteral("convert"), c8z, json}).code, 0);
    ASSERT_EQ(run({QStringLiteral("convert"), json, again}).code, 0);
    QFile a(c8z), b(again);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

TEST(Cli, SummaryAndExport) {
    QTemporaryDir dir;
    Result r = run({QStringLiteral("summary"), demo()});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out.trimmed(),
              QStringLiteral("{\"device\":\"ppk\",\"groups\":[1,2],\"gp\":[{\"gp_1\":[{\"p\":\"1\",\"t\":\"0\"},"
                             "{\"p\":\"2\",\"t\":\"0\"},{\"p\":\"3\",\"t\":\"0\"},{\"p\":\"4\",\"t\":\"2\"}]},"
                             "{\"gp_2\":[{\"p\":\"5\",\"t\":\"0\"},{\"p\":\"6\",\"t\":\"0\"},{\"p\":\"7\",\"t\":\"6\"},"
                             "{\"p\":\"8\",\"t\":\"0\"}]}]}"));
    const QString conf = dir.filePath(QStringLiteral("object.conf"));
    ASSERT_EQ(run({QStringLiteral("export"), demo(), QStringLiteral("-o"), conf}).code, 0);
    QFile f(conf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("[PPK]\r\nClass_Name=PPK_ZRL128\r\n"));
    EXPECT_TRUE(bytes.contains("OID_List_pGroups_2=5;6;7;8\r\n"));

    r = run({QStringLiteral("export"), demo(), QStringLiteral("-o"), dir.filePath(QStringLiteral("no/dir/x.conf"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Unable to write to %1").arg(dir.filePath(QStringLiteral("no/dir/x.conf"))));
}

TEST(Cli, RefusalsAndUsage) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.c8z"));
    writeFile(bad, "bm90IGEgY29uZmlndXJhdGlvbg==");
    const QString badJson = dir.filePath(QStringLiteral("bad.json"));
    writeFile(badJson, "{\"timeDelay\": 99}");

    const struct {
        QStringList args;
        int code;
        const char* stderrStart;
    } cases[] = {
        {{QStringLiteral("show"), bad}, 1, "Помилковий файл конфігурації!"},
        {{QStringLiteral("show"), dir.filePath(QStringLiteral("none.c8z"))}, 1, "Не вдалося відкрити файл"},
        {{QStringLiteral("show"), badJson}, 1, "Невірне значення \"timeDelay\""},
        {{QStringLiteral("convert"), badJson, dir.filePath(QStringLiteral("out.c8z"))}, 1, "Невірне значення"},
        {{}, 2, "Використання:"},
        {{QStringLiteral("frobnicate")}, 2, "Невідома команда: frobnicate"},
        {{QStringLiteral("show")}, 2, "Використання:"},
        {{QStringLiteral("show"), QStringLiteral("--colour"), bad}, 2, "Використання:"},
        {{QStringLiteral("convert"), demo(), dir.filePath(QStringLiteral("out.txt"))}, 2, "Невідоме розширення"},
        {{QStringLiteral("export"), demo()}, 2, "Використання:"},
    };
    for (const auto& c : cases) {
        const Result r = run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.startsWith(QString::fromUtf8(c.stderrStart))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out.c8z"))));
}

TEST(Cli, ConvertToC8zRunsTheSaveChecks) {
    QTemporaryDir dir;
    QFile demoFile(demo());
    ASSERT_TRUE(demoFile.open(QIODevice::ReadOnly));
    QByteArray dup = demoFile.readAll();
    // Users 3 and 7 share a password in group 2.
    dup.replace("{\"group\": 2, \"password\": \"3691\"}", "{\"group\": 2, \"password\": \"4444\"}");
    dup.replace("{\"group\": 1, \"password\": \"0000\"}, {\"group\": 1, \"password\": \"0000\"},\n    "
                "{\"group\": 1, \"password\": \"0000\"}",
                "{\"group\": 1, \"password\": \"0000\"}, {\"group\": 1, \"password\": \"0000\"},\n    "
                "{\"group\": 2, \"password\": \"4444\"}");
    const QString dupJson = dir.filePath(QStringLiteral("dup.json"));
    writeFile(dupJson, dup);
    const QString fresh = dir.filePath(QStringLiteral("fresh.json"));
    writeFile(fresh, "{}");

    const struct {
        QString in;
        const char* message;
    } cases[] = {
        {dupJson, "Паролі повинні бути унікальні для кожного з користувачів групи!"},
        {fresh, "Введіть номер ППК на ПЦС, відмінний від нуля!"},
    };
    for (const auto& c : cases) {
        const QString out = dir.filePath(QStringLiteral("out.c8z"));
        const Result r = run({QStringLiteral("convert"), c.in, out});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, QString::fromUtf8(c.message) + QLatin1Char('\n'));
        EXPECT_FALSE(QFile::exists(out));
        // Tooling may skip the checks; JSON output never runs them.
        EXPECT_EQ(run({QStringLiteral("convert"), QStringLiteral("--no-check"), c.in, out}).code, 0);
        EXPECT_TRUE(QFile::exists(out));
        QFile::remove(out);
        EXPECT_EQ(run({QStringLiteral("convert"), c.in, dir.filePath(QStringLiteral("out.json"))}).code, 0);
    }
}
