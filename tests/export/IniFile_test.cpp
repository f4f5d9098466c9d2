#include "common/Errors.h"
#include "export/IniFile.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

using namespace zorel8z;
using namespace zorel8z::exporting;

namespace {

std::string readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(IniFile, NewFileGrowsKeyByKeyInOrderOfFirstWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("new.conf"));
    IniFile ini(path);

    // Each step's file content is read right after the write: every write reaches the file at once.
    const struct {
        const char* section;
        const char* key;
        const char* value;
        std::string file;
    } steps[] = {
        {"A", "k1", "1", "[A]\r\nk1=1\r\n"},
        {"B", "x", "2", "[A]\r\nk1=1\r\n[B]\r\nx=2\r\n"},
        {"A", "k2", "3", "[A]\r\nk1=1\r\nk2=3\r\n[B]\r\nx=2\r\n"},
        {"A", "k1", "9", "[A]\r\nk1=9\r\nk2=3\r\n[B]\r\nx=2\r\n"},
        {"C", "y", "", "[A]\r\nk1=9\r\nk2=3\r\n[B]\r\nx=2\r\n[C]\r\ny=\r\n"},
        {"B", "z", "4", "[A]\r\nk1=9\r\nk2=3\r\n[B]\r\nx=2\r\nz=4\r\n[C]\r\ny=\r\n"},
        {"c", "Y", "5", "[A]\r\nk1=9\r\nk2=3\r\n[B]\r\nx=2\r\nz=4\r\n[C]\r\ny=5\r\n"},
    };
    for (const auto& s : steps) {
        ini.writeString(u(s.section), u(s.key), u(s.value));
        EXPECT_EQ(readBytes(path), s.file) << s.section << "/" << s.key;
    }
}

TEST(IniFile, UpdatesAnExistingFileInPlaceKeepingForeignLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("station.conf"));
    writeBytes(path, "; written by hand\n"
                     "top=1\n"
                     "\n"
                     "[A]\n"
                     "k1=old\n"
                     "  Indented = x\n"
                     "\n"
                     "; last words of A\r\n"
                     "[B]\r\n"
                     "foreign=\xC0\x98\xFF\n"
                     "no equals here\n"
                     "[a]\n"
                     "k1=second\n"
                     "[Other]\n"
                     "keep=me");

    IniFile ini(path);
    ini.writeString(u("A"), u("k1"), u("new"));
    ini.writeString(u("A"), u("indented"), u("y"));
    ini.writeString(u("A"), u("k3"), u("3"));
    ini.writeString(u("A"), u("top"), u("2")); // a key above every section belongs to none
    ini.writeString(u("B"), u("k"), u("v"));
    ini.writeString(u("Other"), u("new"), u("1"));
    ini.writeString(u("D"), u("d"), u("4"));

    EXPECT_EQ(readBytes(path), "; written by hand\n"
                               "top=1\n"
                               "\n"
                               "[A]\n"
                               "k1=new\r\n"
                               "Indented=y\r\n"
                               "k3=3\r\n"
                               "top=2\r\n"
                               "\n"
                               "; last words of A\r\n"
                               "[B]\r\n"
                               "foreign=\xC0\x98\xFF\n"
                               "k=v\r\n"
                               "no equals here\n"
                               "[a]\n"
                               "k1=second\n"
                               "[Other]\n"
                               "keep=me\r\n"
                               "new=1\r\n"
                               "[D]\r\n"
                               "d=4\r\n");
}

TEST(IniFile, SingleWritesIntoExistingFiles) {
    const struct {
        const char* what;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"key matched without case", "[Pipeline]\r\nPipe_1_Name=x\r\n", "Pipeline", "PIPE_1_NAME", "y",
         "[Pipeline]\r\nPipe_1_Name=y\r\n"},
        {"section matched without case", "[Pipeline]\r\nPipe_1_Name=x\r\n", "PIPELINE", "Pipe_1_Name", "y",
         "[Pipeline]\r\nPipe_1_Name=y\r\n"},
        {"Cyrillic names matched without case", "[\xC3\xD0\xD3\xCF\xC0]\r\n\xB2\xCC'\xDF=x\r\n", "група",
         "ім'я", "нове", "[\xC3\xD0\xD3\xCF\xC0]\r\n\xB2\xCC'\xDF=\xED\xEE\xE2\xE5\r\n"},
        {"blanks around the key", "[A]\r\n  k = 1 \r\n", "A", "k", "2", "[A]\r\nk=2\r\n"},
        {"blanks around the section name", "[ A ]\r\nk=1\r\n", "A", "k", "2", "[ A ]\r\nk=2\r\n"},
        {"section without keys", "[A]\r\n\r\n[B]\r\n", "A", "k", "1", "[A]\r\nk=1\r\n\r\n[B]\r\n"},
        {"empty file", "", "A", "k", "1", "[A]\r\nk=1\r\n"},
        {"header without ']' is no header", "[A\nk=1\n", "A", "k", "2", "[A\nk=1\n[A]\r\nk=2\r\n"},
        {"CR-only line ends", "[A]\rk=1\rj=0\r", "A", "k", "2", "[A]\rk=2\r\nj=0\r"},
        {"byte order mark before the first header", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
         "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        {"value with '='", "[A]\r\nk=a=b\r\n", "A", "k", "c=d", "[A]\r\nk=c=d\r\n"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("f.conf"));
        writeBytes(path, c.before);
        IniFile(path).writeString(u(c.section), u(c.key), u(c.value));
        EXPECT_EQ(readBytes(path), c.after) << c.what;
    }
}

TEST(IniFile, WritesWindows1251) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("cyr.conf"));
    IniFile ini(path);
    ini.writeString(u("Група"), u("Ім'я"), u("Шлейф_1"));
    // A character Windows-1251 lacks becomes 0x1A, and the key still matches the next time.
    ini.writeString(u("Група"), u("ключ中"), u("a中"));
    ini.writeString(u("Група"), u("КЛЮЧ中"), u("b"));
    EXPECT_EQ(readBytes(path), "[\xC3\xF0\xF3\xEF\xE0]\r\n"
                               "\xB2\xEC'\xFF=\xD8\xEB\xE5\xE9\xF4_1\r\n"
                               "\xEA\xEB\xFE\xF7\x1A=b\r\n");
}

TEST(IniFile, LaterWriterKeepsWhatAnEarlierOneWrote) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("twice.conf"));
    IniFile(path).writeString(u("A"), u("first"), u("1"));
    IniFile(path).writeString(u("A"), u("second"), u("2"));
    EXPECT_EQ(readBytes(path), "[A]\r\nfirst=1\r\nsecond=2\r\n");
}

TEST(IniFile, RefusesPathsItCannotWrite) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.conf")));
    const QString cases[] = {
        dir.filePath(QStringLiteral("missing/export.conf")),
        dir.filePath(QStringLiteral("folder.conf")),
        QString(),
    };
    for (const QString& path : cases) {
        try {
            IniFile(path).writeString(u("A"), u("k"), u("1"));
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + path);
        }
    }
}

TEST(IniFile, WriteAfterAFailureHoldsOnlyWhatReachedTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("later/export.conf"));
    IniFile ini(path);
    EXPECT_THROW(ini.writeString(u("A"), u("lost"), u("1")), Error);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("later")));
    ini.writeString(u("A"), u("kept"), u("2"));
    EXPECT_EQ(readBytes(path), "[A]\r\nkept=2\r\n");
}

TEST(IniFile, MissingCodePageFailsBeforeTouchingTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fresh = dir.filePath(QStringLiteral("fresh.conf"));
    const QString old = dir.filePath(QStringLiteral("old.conf"));
    writeBytes(old, "[A]\r\nkept=1\r\n");
    for (const QString& path : {fresh, old}) {
        try {
            IniFile(path, "no-such-code-page").writeString(u("Група"), u("Ім'я"), u("Шлейф"));
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const Error& e) {
            EXPECT_EQ(e.text(), u("Кодування no-such-code-page недоступне: файл не записано"));
        }
    }
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(readBytes(old), "[A]\r\nkept=1\r\n");
}
