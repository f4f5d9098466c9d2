// The simulated key reader, read from the slave side of its pty.
#include "sim/PtyClient.h"

#include "sim/ReaderSim.h"
#include "support/Printers.h"

#include <QList>
#include <gtest/gtest.h>

namespace {

using zorel8z::sim::KeyOptions;
using zorel8z::sim::ReaderSim;
using zorel8z::test::PtyClient;

struct KeyCase {
    const char* name;
    const char* text;
    bool split;
    bool crlf;
    QByteArray wire;
};
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReaderSimKeys : public ::testing::TestWithParam<KeyCase> {
protected:
    void SetUp() override { zorel8z::test::ensureApp(); }
};

TEST_P(ReaderSimKeys, KeyArrivesAsSent) {
    const KeyCase c = GetParam();
    ReaderSim reader;
    ASSERT_TRUE(reader.open()) << reader.errorString().toStdString();
    PtyClient client(reader.devicePath());
    ASSERT_TRUE(client.isOpen());
    QList<QByteArray> bursts;
    QObject::connect(&reader, &ReaderSim::burstSent, [&](const QByteArray& b) { bursts << b; });

    KeyOptions options;
    options.split = c.split;
    options.crlf = c.crlf;
    options.splitGapMs = 50;
    EXPECT_EQ(ReaderSim::keyBytes(QString::fromLatin1(c.text), options), c.wire);
    reader.sendKey(QString::fromLatin1(c.text), options);

    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return !bursts.isEmpty(); }));
    const QByteArray first = bursts.first();
    // While only the client runs, the reader cannot send its next part: what is there is one burst.
    EXPECT_EQ(client.readAtLeast(first.size(), zorel8z::test::kWaitMs, false), first);
    EXPECT_TRUE(client.readFor(zorel8z::test::kQuietMs, false).isEmpty());
    if (c.split) {
        EXPECT_EQ(first, c.wire.left(c.wire.size() / 2));
        EXPECT_EQ(client.readAtLeast(c.wire.size() - first.size()), c.wire.mid(first.size()));
    } else {
        EXPECT_EQ(first, c.wire);
    }
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return reader.isIdle(); }));
    EXPECT_EQ(bursts.size(), c.split ? 2 : 1);
    EXPECT_TRUE(client.readFor(zorel8z::test::kQuietMs).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ReaderSimKeys,
    ::testing::Values(
        KeyCase{"whole", "01A2B3C4D5E6F701", false, false, QByteArrayLiteral("01A2B3C4D5E6F701")},
        KeyCase{"split", "01A2B3C4D5E6F701", true, false, QByteArrayLiteral("01A2B3C4D5E6F701")},
        KeyCase{"crlf", "0000000000ABCDEF", false, true, QByteArrayLiteral("0000000000ABCDEF\r\n")},
        KeyCase{"splitCrlf", "FFFFFFFFFFFFFFFF", true, true, QByteArrayLiteral("FFFFFFFFFFFFFFFF\r\n")},
        KeyCase{"longer", "0123456789ABCDEF0123", false, false, QByteArrayLiteral("0123456789ABCDEF0123")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReaderSim, SendsQueuedKeysInOrder) {
    zorel8z::test::ensureApp();
    ReaderSim reader;
    ASSERT_TRUE(reader.open());
    PtyClient client(reader.devicePath());
    const QStringList keys = {QStringLiteral("1111111111111111"), QStringLiteral("2222222222222222"),
                              QStringLiteral("3333333333333333")};
    for (const QString& key : keys) {
        reader.sendKey(key);
        reader.pause(20);
    }
    EXPECT_EQ(client.readAtLeast(48), keys.join(QString()).toLatin1());
    EXPECT_TRUE(zorel8z::test::waitUntil([&] { return reader.isIdle(); }));
}

TEST(ReaderSim, WaitsForAClientBeforeSending) {
    zorel8z::test::ensureApp();
    ReaderSim reader;
    ASSERT_TRUE(reader.open(QString(), true));
    int attached = 0;
    int sent = 0;
    QObject::connect(&reader, &ReaderSim::clientAttached, [&] { ++attached; });
    QObject::connect(&reader, &ReaderSim::burstSent, [&] { ++sent; });
    reader.sendKey(QStringLiteral("ABCDEF0123456789"));

    EXPECT_FALSE(zorel8z::test::waitUntil([&] { return sent > 0; }, zorel8z::test::kQuietMs));
    EXPECT_EQ(attached, 0);
    EXPECT_FALSE(reader.clientSeen());

    PtyClient client(reader.devicePath());
    ASSERT_TRUE(client.isOpen());
    EXPECT_EQ(client.readAtLeast(16), QByteArrayLiteral("ABCDEF0123456789"));
    EXPECT_EQ(attached, 1);
    EXPECT_EQ(sent, 1);

    // Once seen, the client may close and reopen the port without losing keys.
    client.close();
    reader.sendKey(QStringLiteral("0000000000000001"));
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return sent == 2; }));
    ASSERT_TRUE(client.open(reader.devicePath()));
    EXPECT_EQ(client.readAtLeast(16), QByteArrayLiteral("0000000000000001"));
}

} // namespace
