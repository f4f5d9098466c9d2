// The journal's lines: what each holds, how they read back, and what is never in them.
#include "journal/Journal.h"
#include "support/Printers.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;
using journal::Journal;
using journal::Record;

namespace {

QDateTime at(int day, int h, int m, int offsetHours = 2) {
    return QDateTime(QDate(2025, 3, day), QTime(h, m, 0), Qt::OffsetFromUTC, offsetHours * 3600);
}

Record read(const QDateTime& t, const QString& link, const QString& serial, const QString& archive) {
    Record r;
    r.time = t;
    r.operation = journal::op::kRead;
    r.link = link;
    r.serial = serial;
    r.block = QStringLiteral("1-5");
    r.outcome = journal::outcome::kOk;
    r.archive = archive;
    return r;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(Journal, OneLinePerOperation) {
    QTemporaryDir dir;
    const Journal j(dir.filePath(QStringLiteral("data/journal.jsonl")));
    Record w;
    w.time = at(1, 14, 30);
    w.operation = journal::op::kWrite;
    w.link = journal::stationLink(QStringLiteral("127.000.000.001"), 15001, 1201);
    w.block = QStringLiteral("3");
    w.outcome = journal::outcome::kFailed;
    w.message = QStringLiteral("ППК не відповідає!\r\nПовторіть спробу!");
    w.changed = {QStringLiteral("Шлейфи: Шлейф 2: Тип шлейфу"),
                 QStringLiteral("Користувачі: № п/п 3: Пароль")};
    Record s;
    s.time = at(1, 15, 0);
    s.operation = journal::op::kSave;
    s.file = QStringLiteral("/tmp/об'єкт.c8z");
    s.outcome = journal::outcome::kOk;
    const Record r = read(at(1, 13, 0), journal::usbLink(QStringLiteral("/dev/ttyUSB0")),
                          QStringLiteral("0001234"), QStringLiteral("/a/serial-0001234/x.c8z"));
    for (const Record& rec : {r, w, s})
        ASSERT_TRUE(j.append(rec));

    const QList<QByteArray> lines = fileBytes(j.path()).split('\n');
    ASSERT_EQ(lines.size(), 4); // three lines and the end
    EXPECT_TRUE(lines[3].isEmpty());
    const QJsonObject o = QJsonDocument::fromJson(lines[1]).object();
    EXPECT_EQ(o[QStringLiteral("time")].toString(), QStringLiteral("2025-03-01T14:30:00+02:00"));
    EXPECT_EQ(o[QStringLiteral("operation")].toString(), QStringLiteral("write"));
    EXPECT_EQ(o[QStringLiteral("link")].toString(), QStringLiteral("ПЦС 127.000.000.001:15001, № ППК 1201"));
    EXPECT_EQ(o[QStringLiteral("block")].toString(), QStringLiteral("3"));
    EXPECT_EQ(o[QStringLiteral("outcome")].toString(), QStringLiteral("failed"));
    EXPECT_EQ(o[QStringLiteral("changed")].toArray().size(), 2);
    // A message with line breaks stays on its line.
    EXPECT_EQ(o[QStringLiteral("message")].toString(), w.message);
    EXPECT_TRUE(lines[0].startsWith("{\"time\":\"2025-03-01T13:00:00+02:00\",\"operation\":\"read\""));

    const std::vector<Record> back = j.records();
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0], r);
    EXPECT_EQ(back[1], w);
    EXPECT_EQ(back[2], s);
    EXPECT_EQ(QFileInfo(j.path()).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
}

TEST(Journal, SinceKeepsLaterLines) {
    QTemporaryDir dir;
    const Journal j(dir.filePath(QStringLiteral("j.jsonl")));
    for (int day = 1; day <= 4; ++day)
        ASSERT_TRUE(j.append(read(at(day, 12, 0), QStringLiteral("USB a"), QString(), QString())));
    const struct {
        const char* since;
        size_t count;
    } cases[] = {{"2025-03-03", 2},
                 {"2025-03-02 12:00", 3},
                 {"2025-03-02T12:01", 2},
                 {"2025-03-05", 0},
                 {"2025-01-01", 4}};
    for (const auto& c : cases) {
        // Local times: compare with the lines' times as local times too.
        const QDateTime since = journal::parseSince(QString::fromLatin1(c.since));
        ASSERT_TRUE(since.isValid()) << c.since;
        size_t expected = 0;
        for (int day = 1; day <= 4; ++day)
            expected += at(day, 12, 0) >= since ? 1 : 0;
        EXPECT_EQ(j.records(since).size(), expected) << c.since;
    }
    for (const char* bad : {"yesterday", "2025-13-01", "", "01.03.2025"})
        EXPECT_FALSE(journal::parseSince(QString::fromLatin1(bad)).isValid()) << bad;
}

TEST(Journal, SkipsLinesThatAreNotOurs) {
    QTemporaryDir dir;
    const Journal j(dir.filePath(QStringLiteral("j.jsonl")));
    ASSERT_TRUE(j.append(read(at(1, 1, 0), QStringLiteral("USB a"), QString(), QString())));
    {
        QFile f(j.path());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("not json\n{\"time\":\"never\",\"operation\":\"read\"}\n[1,2]\n{\"operation\":\"read\"}\n");
        f.write(QByteArray(200000, '[') + '\n');
        f.write(
            QByteArray("{\"time\":\"2025-03-01T02:00:00+02:00\",\"operation\":\"open\",\"changed\":5}\n"));
    }
    ASSERT_TRUE(j.append(read(at(1, 3, 0), QStringLiteral("USB b"), QString(), QString())));
    const std::vector<Record> back = j.records();
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0].link, QStringLiteral("USB a"));
    EXPECT_EQ(back[1].operation, QStringLiteral("open"));
    EXPECT_TRUE(back[1].changed.isEmpty());
    EXPECT_EQ(back[2].link, QStringLiteral("USB b"));
}

TEST(Journal, LastReadOfALink) {
    QTemporaryDir dir;
    const Journal j(dir.filePath(QStringLiteral("j.jsonl")));
    const QString usb = journal::usbLink(QStringLiteral("/dev/ttyUSB0"));
    ASSERT_TRUE(j.append(read(at(1, 1, 0), usb, QStringLiteral("0000001"), QStringLiteral("/a/1.c8z"))));
    ASSERT_TRUE(j.append(read(at(1, 2, 0), usb, QStringLiteral("0000002"), QStringLiteral("/a/2.c8z"))));
    Record failed = read(at(1, 3, 0), usb, QString(), QString());
    failed.outcome = journal::outcome::kFailed;
    ASSERT_TRUE(j.append(failed));
    ASSERT_TRUE(j.append(read(at(1, 4, 0), journal::usbLink(QStringLiteral("/dev/ttyUSB1")),
                              QStringLiteral("9"), QStringLiteral("/a/9.c8z"))));
    Record noArchive = read(at(1, 5, 0), usb, QStringLiteral("0000003"), QString());
    ASSERT_TRUE(j.append(noArchive));
    Record station = read(at(1, 6, 0), QStringLiteral("ПЦС x"), QString(), QStringLiteral("/a/s2.c8z"));
    station.block = QStringLiteral("2");
    ASSERT_TRUE(j.append(station));

    ASSERT_TRUE(j.lastRead(usb));
    EXPECT_EQ(j.lastRead(usb)->serial, QStringLiteral("0000002"));
    EXPECT_EQ(j.lastRead(QStringLiteral("ПЦС x"), QStringLiteral("2"))->archive, QStringLiteral("/a/s2.c8z"));
    EXPECT_FALSE(j.lastRead(QStringLiteral("ПЦС x"), QStringLiteral("3")));
    EXPECT_FALSE(j.lastRead(QStringLiteral("USB /dev/none")));
}

TEST(Journal, RollsOverToOneCompanion) {
    QTemporaryDir dir;
    const Journal j(dir.filePath(QStringLiteral("j.jsonl")), 600);
    for (int k = 0; k < 12; ++k)
        ASSERT_TRUE(j.append(read(at(1, 1, k), QStringLiteral("USB a"), QString::number(k), QString())));
    EXPECT_TRUE(QFileInfo::exists(j.path() + QStringLiteral(".1")));
    EXPECT_LE(QFileInfo(j.path()).size(), 600 + 200);
    const std::vector<Record> back = j.records();
    // The newest lines are all there, in order, and nothing is read twice.
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back.back().serial, QStringLiteral("11"));
    for (size_t k = 1; k < back.size(); ++k)
        EXPECT_EQ(back[k].serial.toInt(), back[k - 1].serial.toInt() + 1);
}

TEST(Journal, CannotWriteIsReported) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Journal j(dir.filePath(QStringLiteral("file/journal.jsonl")));
    QString error;
    EXPECT_FALSE(j.append(read(at(1, 1, 0), QStringLiteral("USB a"), QString(), QString()), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(j.records().empty());
}

TEST(Journal, DescribesALineInWords) {
    Record w;
    w.time = QDateTime(QDate(2025, 3, 1), QTime(14, 30, 5));
    w.operation = journal::op::kWrite;
    w.link = journal::usbLink(QStringLiteral("/dev/ttyUSB0"));
    w.serial = QStringLiteral("0001234");
    w.block = QStringLiteral("1-5");
    w.outcome = journal::outcome::kNotVerified;
    w.changed = {QStringLiteral("Шлейфи: Шлейф 2: Тип шлейфу")};
    EXPECT_EQ(journal::describe(w),
              QStringLiteral("2025-03-01 14:30:05 | запис | USB /dev/ttyUSB0 | серійний номер "
                             "0001234 | блок 1-5 | не перевірено | змінено: Шлейфи: Шлейф 2: "
                             "Тип шлейфу"));
}
