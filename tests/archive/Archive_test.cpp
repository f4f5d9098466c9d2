// The archive of reads: file names, folders, permissions, listing and the bound per panel.
#include "archive/Archive.h"
#include "common/DataFolder.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;
using archive::Archive;
using model::PanelConfig;

namespace {

const QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QDateTime at(int day, int h, int m, int s, int offsetHours = 2) {
    return QDateTime(QDate(2025, 3, day), QTime(h, m, s), Qt::OffsetFromUTC, offsetHours * 3600);
}

// Only the permission bits a user sets (Qt adds the "user" copies of the owner's).
QFileDevice::Permissions bits(const QString& path) {
    return QFileInfo(path).permissions() &
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
}

} // namespace

TEST(Archive, NamesAReadAfterItsPanelAndTime) {
    QTemporaryDir dir;
    Archive a(dir.filePath(QStringLiteral("archive")));
    const PanelConfig cfg = test::RandomConfig(3).next();
    const struct {
        QString panel;
        QDateTime when;
        QString path;
    } cases[] = {
        {Archive::usbPanel(QStringLiteral("0001234")), at(1, 14, 30, 5),
         QStringLiteral("serial-0001234/2025-03-01_14-30-05+0200.c8z")},
        {Archive::stationPanel(1201), at(2, 9, 5, 0, -5),
         QStringLiteral("station-1201/2025-03-02_09-05-00-0500.c8z")},
        // The same second again keeps both.
        {Archive::usbPanel(QStringLiteral("0001234")), at(1, 14, 30, 5),
         QStringLiteral("serial-0001234/2025-03-01_14-30-05+0200_2.c8z")},
    };
    for (const auto& c : cases) {
        QString error;
        const auto entry = a.store(c.panel, cfg, c.when, &error);
        ASSERT_TRUE(entry) << error.toStdString();
        EXPECT_EQ(entry->path, dir.filePath(QStringLiteral("archive/") + c.path));
        EXPECT_EQ(entry->panel, c.panel);
        EXPECT_EQ(entry->time, c.when);
        EXPECT_EQ(bits(entry->path), kOwnerOnlyFile);
    }
    EXPECT_EQ(bits(dir.filePath(QStringLiteral("archive"))),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(bits(dir.filePath(QStringLiteral("archive/serial-0001234"))),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(a.panels(), (QStringList{QStringLiteral("serial-0001234"), QStringLiteral("station-1201")}));
    EXPECT_EQ(Archive::panelTitle(QStringLiteral("serial-0001234")),
              QStringLiteral("Серійний номер ППК: 0001234"));
    EXPECT_EQ(Archive::panelTitle(QStringLiteral("station-1201")), QStringLiteral("№ ППК в ПЦС: 1201"));
}

TEST(Archive, ListsNewestFirstAndOpensAnEntryLikeAFile) {
    QTemporaryDir dir;
    Archive a(dir.path());
    test::RandomConfig random(5);
    std::vector<PanelConfig> stored;
    // Out of order, and across a change of UTC offset: 12:00+03:00 is earlier than 10:30+00:00.
    const QDateTime times[] = {at(3, 10, 0, 0), at(1, 8, 0, 0), at(2, 12, 0, 0, 3), at(2, 10, 30, 0, 0)};
    for (const QDateTime& t : times) {
        stored.push_back(random.next());
        ASSERT_TRUE(a.store(QStringLiteral("serial-0000042"), stored.back(), t));
    }
    const auto list = a.entries(QStringLiteral("serial-0000042"));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].time, times[0]);
    EXPECT_EQ(list[1].time, times[3]);
    EXPECT_EQ(list[2].time, times[2]);
    EXPECT_EQ(list[3].time, times[1]);
    EXPECT_EQ(a.latest(QStringLiteral("serial-0000042"))->path, list[0].path);
    EXPECT_FALSE(a.latest(QStringLiteral("serial-0000043")));

    test::RecordingUi ui;
    PanelConfig opened;
    ASSERT_TRUE(Archive::open(list[1], opened, ui));
    EXPECT_TRUE(opened.sameSettings(stored[3]));
    EXPECT_TRUE(ui.texts().isEmpty());

    // A file that is not ours is neither listed nor removed; a broken entry fails like a broken file.
    QFile foreign(dir.filePath(QStringLiteral("serial-0000042/notes.c8z")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("x");
    foreign.close();
    EXPECT_EQ(a.entries(QStringLiteral("serial-0000042")).size(), 4u);
    QFile broken(list[0].path);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not base64!");
    broken.close();
    const PanelConfig before = opened;
    EXPECT_FALSE(Archive::open(list[0], opened, ui));
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("Помилковий файл конфігурації!")});
    EXPECT_EQ(opened, before);
}

TEST(Archive, KeepsTheNewestReadsOfEachPanel) {
    QTemporaryDir dir;
    Archive a(dir.path());
    const PanelConfig cfg;
    const QDateTime start = at(1, 0, 0, 0);
    // One more than the bound: the oldest goes, the other panel keeps its own.
    ASSERT_TRUE(a.store(QStringLiteral("station-7"), cfg, start));
    for (int k = 0; k <= Archive::kKeepPerPanel; ++k)
        ASSERT_TRUE(a.store(QStringLiteral("serial-0000001"), cfg, start.addSecs(60 * k)));
    const auto list = a.entries(QStringLiteral("serial-0000001"));
    ASSERT_EQ(list.size(), size_t(Archive::kKeepPerPanel));
    EXPECT_EQ(list.back().time, start.addSecs(60));
    EXPECT_EQ(list.front().time, start.addSecs(60 * Archive::kKeepPerPanel));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("serial-0000001"))).entryList(QDir::Files).size(),
              Archive::kKeepPerPanel);
    EXPECT_EQ(a.entries(QStringLiteral("station-7")).size(), 1u);
    EXPECT_EQ(a.entries().size(), size_t(Archive::kKeepPerPanel) + 1);

    Archive small(dir.filePath(QStringLiteral("small")), 3);
    for (int k = 0; k < 5; ++k)
        ASSERT_TRUE(small.store(QStringLiteral("station-1"), cfg, start.addSecs(k)));
    const auto kept = small.entries(QStringLiteral("station-1"));
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept.back().time, start.addSecs(2));
}

TEST(Archive, RefusesWhatItCannotStore) {
    QTemporaryDir dir;
    Archive a(dir.path());
    QString error;
    // A group cell that does not read as a number cannot be packed.
    PanelConfig bad;
    bad.users[2].group = QStringLiteral("x");
    EXPECT_FALSE(a.store(QStringLiteral("serial-0000001"), bad, at(1, 1, 1, 1), &error));
    EXPECT_FALSE(error.isEmpty());
    // A panel name must not lead out of the archive.
    for (const QString& panel :
         {QStringLiteral(".."), QStringLiteral("../x"), QStringLiteral("a/b"), QString()}) {
        error.clear();
        EXPECT_FALSE(a.store(panel, PanelConfig(), at(1, 1, 1, 1), &error)) << panel.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(a.entries().empty());
    // A root that is a file.
    QFile file(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    Archive onFile(file.fileName());
    EXPECT_FALSE(onFile.store(QStringLiteral("station-1"), PanelConfig(), at(1, 1, 1, 1), &error));
}

TEST(Archive, LivesInTheDataFolder) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    QCoreApplication::setApplicationName(kDataAppName);
    EXPECT_EQ(Archive::defaultFolder(), dir.filePath(QStringLiteral("zorel8z-configurator/archive")));
}
