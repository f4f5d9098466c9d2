// The pseudo-terminal under the simulators: raw mode, symlinks, clients coming and going, hang-up.
#include "sim/PtyClient.h"

#include "sim/Pty.h"
#include "support/Printers.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using zorel8z::sim::Pty;
using zorel8z::test::PtyClient;

// Reads from the master side until `count` bytes are in or the wait ends.
QByteArray readMaster(const Pty& pty, qsizetype count) {
    QByteArray got;
    for (int k = 0; k < 500 && got.size() < count; ++k) {
        char buf[256];
        const ssize_t n = ::read(pty.masterFd(), buf, sizeof buf);
        if (n > 0)
            got.append(buf, int(n));
        else
            ::usleep(10000);
    }
    return got;
}

TEST(Pty, PassesEveryByteValueUnchangedBothWays) {
    Pty pty;
    ASSERT_TRUE(pty.open()) << pty.errorString().toStdString();
    PtyClient client(pty.devicePath());
    ASSERT_TRUE(client.isOpen());

    // Raw mode: no CR/LF translation, no echo, no control characters acted on.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    ASSERT_TRUE(client.write(all));
    EXPECT_EQ(readMaster(pty, all.size()), all);
    EXPECT_TRUE(client.readFor(zorel8z::test::kQuietMs, false).isEmpty());

    ASSERT_EQ(::write(pty.masterFd(), all.constData(), size_t(all.size())), all.size());
    EXPECT_EQ(client.readAtLeast(all.size(), zorel8z::test::kWaitMs, false), all);
}

TEST(Pty, HeldSlaveKeepsTheLineThroughReopening) {
    Pty pty;
    ASSERT_TRUE(pty.open());
    EXPECT_TRUE(pty.holdsSlave());
    for (int round = 0; round < 3; ++round) {
        PtyClient client(pty.devicePath());
        ASSERT_TRUE(client.isOpen());
        ASSERT_TRUE(client.write(QByteArrayLiteral("@\r\n")));
        EXPECT_EQ(readMaster(pty, 3), QByteArrayLiteral("@\r\n"));
    }
    // With every client gone the master still reads "nothing yet", not end of line.
    char c;
    errno = 0;
    EXPECT_EQ(::read(pty.masterFd(), &c, 1), -1);
    EXPECT_EQ(errno, EAGAIN);
}

TEST(Pty, UnheldSlaveTellsWhenAClientAttaches) {
    Pty pty;
    ASSERT_TRUE(pty.open(QString(), false));
    EXPECT_FALSE(pty.holdsSlave());
    EXPECT_EQ(pty.pendingInput(), -1);
    EXPECT_FALSE(pty.clientAttached());
    {
        PtyClient client(pty.devicePath());
        ASSERT_TRUE(client.isOpen());
        EXPECT_TRUE(pty.clientAttached());
    }
    EXPECT_FALSE(pty.clientAttached());
}

TEST(Pty, PendingInputCountsUnreadBytes) {
    Pty pty;
    ASSERT_TRUE(pty.open());
    PtyClient client(pty.devicePath());
    ASSERT_EQ(::write(pty.masterFd(), "abcdef", 6), 6);
    EXPECT_TRUE(zorel8z::test::waitUntil([&] { return pty.pendingInput() == 6; }));
    EXPECT_EQ(client.readAtLeast(6), QByteArrayLiteral("abcdef"));
    EXPECT_EQ(pty.pendingInput(), 0);
}

TEST(Pty, SymlinkLivesAsLongAsThePty) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyPANEL"));
    QString slave;
    {
        Pty pty;
        ASSERT_TRUE(pty.open(link)) << pty.errorString().toStdString();
        slave = pty.slavePath();
        EXPECT_EQ(pty.devicePath(), link);
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), slave);
        PtyClient client(link);
        EXPECT_TRUE(client.isOpen());
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(Pty, ReplacesAStaleLinkButNotAFile) {
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("stale"));
    ASSERT_EQ(::symlink("/nonexistent/device", QFile::encodeName(link).constData()), 0);
    {
        Pty pty;
        ASSERT_TRUE(pty.open(link)) << pty.errorString().toStdString();
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), pty.slavePath());
    }

    const QString file = dir.filePath(QStringLiteral("regular"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("keep me");
    f.close();
    Pty pty;
    EXPECT_FALSE(pty.open(file));
    EXPECT_FALSE(pty.isOpen());
    EXPECT_FALSE(pty.errorString().isEmpty());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArrayLiteral("keep me"));
}

TEST(Pty, HangUpEndsTheClientsLine) {
    Pty pty;
    ASSERT_TRUE(pty.open());
    const QString slave = pty.slavePath();
    PtyClient client(slave);
    ASSERT_TRUE(client.isOpen());
    pty.hangUp();
    EXPECT_FALSE(pty.isOpen());
    EXPECT_TRUE(client.readFor(zorel8z::test::kWaitMs, false).isEmpty());
    EXPECT_TRUE(client.ended());
    EXPECT_FALSE(QFile::exists(slave));
}

} // namespace
