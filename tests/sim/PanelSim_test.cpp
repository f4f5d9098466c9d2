// The simulated panel driven from the slave side of its pty, as the configurator would drive it.
#include "sim/PtyClient.h"

#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"
#include "sim/PanelSim.h"
#include "sim/SimConfigIo.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using zorel8z::model::PanelConfig;
using zorel8z::sim::PanelFaults;
using zorel8z::sim::PanelSim;
using zorel8z::test::PtyClient;

const QByteArray kRead = QByteArrayLiteral("@\r\n");
const QByteArray kAck = QByteArrayLiteral("-<\r\n");
constexpr int kFrameSize = 999;

const zorel8z::controller::TController& ctl() {
    static const zorel8z::controller::TController instance;
    return instance;
}

// Decodes a frame the way a configuration file is decoded; throws on a broken block.
PanelConfig decode(const QByteArray& frame) {
    PanelConfig cfg;
    zorel8z::test::RecordingUi ui;
    zorel8z::model::decodeFileText(ctl(), QString::fromLatin1(frame), cfg, ui);
    return cfg;
}

bool decodes(const QByteArray& frame) {
    try {
        decode(frame);
        return true;
    } catch (const zorel8z::Error&) {
        return false;
    }
}

QByteArray writeFrame(const PanelConfig& cfg) {
    return PanelSim::toWire(zorel8z::model::buildWriteFrame(ctl(), cfg));
}

PanelConfig demoConfig() {
    PanelConfig cfg;
    QString error;
    EXPECT_TRUE(
        zorel8z::sim::loadPanelConfig(QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json"), cfg, error))
        << error.toStdString();
    return cfg;
}

class PanelSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        zorel8z::test::ensureApp();
        m_sim = std::make_unique<PanelSim>();
        ASSERT_TRUE(m_sim->open()) << m_sim->errorString().toStdString();
        ASSERT_TRUE(m_client.open(m_sim->devicePath()));
        QObject::connect(m_sim.get(), &PanelSim::writeAccepted, [this] { ++m_accepted; });
        QObject::connect(m_sim.get(), &PanelSim::writeRejected, [this] { ++m_rejected; });
        QObject::connect(m_sim.get(), &PanelSim::hungUp, [this] { ++m_hungUp; });
        QObject::connect(m_sim.get(), &PanelSim::chunkSent, [this](const QByteArray& b) { m_chunks << b; });
    }

    qsizetype chunkBytes() const {
        qsizetype n = 0;
        for (const QByteArray& b : m_chunks)
            n += b.size();
        return n;
    }
    int largestChunk() const {
        int n = 0;
        for (const QByteArray& b : m_chunks)
            n = std::max(n, int(b.size()));
        return n;
    }

    // Sends the read request and collects the reply until `expected` bytes are in (or the wait ends).
    QByteArray request(qsizetype expected) {
        EXPECT_TRUE(m_client.write(kRead));
        return m_client.readAtLeast(expected);
    }

    std::unique_ptr<PanelSim> m_sim;
    PtyClient m_client;
    int m_accepted = 0;
    int m_rejected = 0;
    int m_hungUp = 0;
    QList<QByteArray> m_chunks;
};

struct IdentityCase {
    const char* name;
    int configSeed; // 0: factory defaults, -1: the demo file, else a random configuration
    quint16 serial;
    quint8 firmware;
};
void PrintTo(const IdentityCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelSimRead : public PanelSimTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(PanelSimRead, AnswersTheReadRequestWithItsFrame) {
    const IdentityCase c = GetParam();
    PanelConfig cfg;
    if (c.configSeed < 0)
        cfg = demoConfig();
    else if (c.configSeed > 0)
        cfg = zorel8z::test::RandomConfig(unsigned(c.configSeed)).next();
    m_sim->setConfig(cfg);
    m_sim->setSerialNumber(c.serial);
    m_sim->setFirmwareByte(c.firmware);

    const QByteArray frame = request(kFrameSize);
    ASSERT_EQ(frame.size(), kFrameSize);
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());
    EXPECT_EQ(m_sim->readRequests(), 1);

    EXPECT_TRUE(frame.endsWith("\r\n"));
    EXPECT_EQ(quint8(frame[PanelSim::kFirmwarePos - 1]), c.firmware);
    EXPECT_EQ(quint8(frame[PanelSim::kSerialLowPos - 1]), c.serial & 0xFF);
    EXPECT_EQ(quint8(frame[PanelSim::kSerialHighPos - 1]), c.serial >> 8);

    // Apart from the identity bytes it is the write frame without its prefix.
    QByteArray plain = writeFrame(cfg).mid(2);
    ASSERT_EQ(plain.size(), frame.size());
    for (int pos : {PanelSim::kFirmwarePos, PanelSim::kSerialLowPos, PanelSim::kSerialHighPos})
        plain[pos - 1] = frame[pos - 1];
    EXPECT_EQ(frame, plain);

    const PanelConfig decoded = decode(frame);
    EXPECT_TRUE(decoded.sameSettings(cfg));
}

INSTANTIATE_TEST_SUITE_P(Configs, PanelSimRead,
                         ::testing::Values(IdentityCase{"defaults", 0, 0, 0},
                                           IdentityCase{"demo", -1, 12345, 7},
                                           IdentityCase{"random1", 11, 0xFFFF, 0xFF},
                                           IdentityCase{"random2", 12, 0x0100, 0x80},
                                           IdentityCase{"random3", 13, 0x00FF, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A write frame however it is cut up is acknowledged, and the panel then holds and reports it.
class PanelSimWrite : public PanelSimTest, public ::testing::WithParamInterface<int> {};

TEST_P(PanelSimWrite, AcknowledgesAndKeepsAWrittenConfiguration) {
    const PanelConfig written = zorel8z::test::RandomConfig(unsigned(100 + GetParam())).next();
    ASSERT_FALSE(m_sim->config().sameSettings(written));

    const QByteArray frame = writeFrame(written);
    ASSERT_TRUE(m_client.writeInPieces(frame, GetParam()));
    EXPECT_EQ(m_client.readAtLeast(kAck.size()), kAck);

    EXPECT_EQ(m_accepted, 1);
    EXPECT_EQ(m_sim->writeFrames(), 1);
    EXPECT_EQ(m_sim->acceptedWrites(), 1);
    EXPECT_EQ(m_sim->lastWriteFrame(), frame);
    EXPECT_TRUE(m_sim->config().sameSettings(written));

    // The read request, too, may come in pieces.
    ASSERT_TRUE(m_client.writeInPieces(kRead, 1));
    const QByteArray reply = m_client.readAtLeast(kFrameSize);
    ASSERT_EQ(reply.size(), kFrameSize);
    EXPECT_TRUE(decode(reply).sameSettings(written));
}

INSTANTIATE_TEST_SUITE_P(PieceSizes, PanelSimWrite, ::testing::Values(1, 3, 64, 500, 1001));

TEST_F(PanelSimTest, IgnoresEverythingElse) {
    const QByteArray noise[] = {
        QByteArrayLiteral("hello\r\n"), QByteArrayLiteral("@@\r\n"), QByteArrayLiteral(" @\r\n"),
        QByteArrayLiteral("@\n"),       QByteArrayLiteral("@\r"),    QByteArrayLiteral("<-{}\r\n"),
        QByteArrayLiteral("\r\n"),
    };
    for (const QByteArray& bytes : noise) {
        SCOPED_TRACE(bytes.toStdString());
        ASSERT_TRUE(m_client.write(bytes));
        // A line end closes whatever is unfinished, so the next case starts clean.
        ASSERT_TRUE(m_client.write(QByteArrayLiteral("\r\n")));
        EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());
    }
    EXPECT_EQ(m_sim->readRequests(), 0);
    EXPECT_EQ(m_sim->writeFrames(), 0);
}

TEST_F(PanelSimTest, RefusesAWriteFrameThatDoesNotDecode) {
    const PanelConfig before = m_sim->config();
    const PanelConfig other = zorel8z::test::RandomConfig(5).next();

    // The write frame is two characters longer, so its blocks sit two further on.
    QByteArray frame = writeFrame(other);
    frame = QByteArrayLiteral("->") + PanelSim::breakBlock(frame.mid(2), 4);
    ASSERT_TRUE(m_client.write(frame));
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return m_sim->writeFrames() == 1; }));
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());

    EXPECT_EQ(m_rejected, 1);
    EXPECT_EQ(m_sim->acceptedWrites(), 0);
    EXPECT_EQ(m_sim->lastWriteFrame(), frame);
    EXPECT_TRUE(m_sim->config().sameSettings(before));
}

TEST_F(PanelSimTest, KeepsServingWhenTheClientReopensThePort) {
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(request(kFrameSize).size(), kFrameSize);
        m_client.close();
        ASSERT_TRUE(m_client.open(m_sim->devicePath()));
    }
    EXPECT_EQ(m_sim->readRequests(), 3);
}

// What the reply holds under each content fault, given the well-behaved frame.
struct ContentCase {
    const char* name;
    PanelFaults faults;
    qsizetype size;
    bool decodes;
    // Bytes at the start that must equal the well-behaved frame.
    qsizetype samePrefix;
};
void PrintTo(const ContentCase& c, std::ostream* os) {
    *os << c.name;
}

PanelFaults faults(const std::function<void(PanelFaults&)>& set) {
    PanelFaults f;
    set(f);
    return f;
}

class PanelSimContent : public PanelSimTest, public ::testing::WithParamInterface<ContentCase> {};

TEST_P(PanelSimContent, ShapesTheReply) {
    const ContentCase c = GetParam();
    m_sim->setConfig(demoConfig());
    m_sim->setSerialNumber(4321);
    m_sim->setFirmwareByte(3);
    const QByteArray good = PanelSim::frameFor(m_sim->config(), 4321, 3);
    m_sim->setFaults(c.faults);

    const QByteArray reply = request(c.size);
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());
    ASSERT_EQ(reply.size(), c.size);
    EXPECT_EQ(chunkBytes(), c.size);

    EXPECT_EQ(reply.left(c.samePrefix), good.left(c.samePrefix));
    EXPECT_EQ(decodes(reply), c.decodes);
    EXPECT_FALSE(reply.contains("-<"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PanelSimContent,
    ::testing::Values(
        ContentCase{"none", {}, kFrameSize, true, kFrameSize},
        ContentCase{"short500", faults([](PanelFaults& f) { f.shortReply = 500; }), 500, false, 500},
        ContentCase{"short11", faults([](PanelFaults& f) { f.shortReply = 11; }), 11, false, 11},
        ContentCase{"shortLongerThanFrame", faults([](PanelFaults& f) { f.shortReply = 5000; }), kFrameSize,
                    true, kFrameSize},
        ContentCase{"tail1", faults([](PanelFaults& f) { f.tail = 1; }), kFrameSize + 1, true, kFrameSize},
        ContentCase{"tail40", faults([](PanelFaults& f) { f.tail = 40; }), kFrameSize + 40, true, kFrameSize},
        ContentCase{"garbage20", faults([](PanelFaults& f) { f.garbage = 20; }), 20, false, 0},
        ContentCase{"garbage999", faults([](PanelFaults& f) { f.garbage = 999; }), 999, false, 0},
        ContentCase{"brokenBlock1", faults([](PanelFaults& f) { f.brokenBlock = 1; }), kFrameSize, false, 0},
        ContentCase{"brokenBlock2", faults([](PanelFaults& f) { f.brokenBlock = 2; }), kFrameSize, false,
                    150},
        ContentCase{"brokenBlock3", faults([](PanelFaults& f) { f.brokenBlock = 3; }), kFrameSize, false,
                    300},
        ContentCase{"brokenBlock4", faults([](PanelFaults& f) { f.brokenBlock = 4; }), kFrameSize, false,
                    350},
        ContentCase{"brokenBlock5", faults([](PanelFaults& f) { f.brokenBlock = 5; }), kFrameSize, false,
                    500},
        ContentCase{"brokenBlockWithTail", faults([](PanelFaults& f) {
                        f.brokenBlock = 3;
                        f.tail = 5;
                    }),
                    kFrameSize + 5, false, 300}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelSimFrame, BrokenBlockSpoilsOnlyThatBlock) {
    const QByteArray good = PanelSim::frameFor(demoConfig(), 1, 1);
    const struct {
        int start;
        int width;
    } areas[] = {{0, 150}, {150, 150}, {300, 50}, {350, 150}, {500, 400}};
    for (int block = 1; block <= 5; ++block) {
        SCOPED_TRACE(block);
        const QByteArray broken = PanelSim::breakBlock(good, block);
        ASSERT_EQ(broken.size(), good.size());
        int changed = 0;
        for (int k = 0; k < good.size(); ++k) {
            if (broken[k] != good[k]) {
                ++changed;
                EXPECT_GE(k, areas[block - 1].start);
                EXPECT_LT(k, areas[block - 1].start + areas[block - 1].width);
            }
        }
        EXPECT_GT(changed, 0);
        EXPECT_FALSE(decodes(broken));
    }
    EXPECT_EQ(PanelSim::breakBlock(good, 0), good);
}

TEST(PanelSimFrame, GarbageIsRepeatableWithASeed) {
    zorel8z::test::ensureApp();
    PanelFaults f;
    f.garbage = 64;
    f.garbageSeed = 77;
    PanelSim a;
    PanelSim b;
    a.setFaults(f);
    b.setFaults(f);
    const QByteArray first = a.readReply();
    EXPECT_EQ(first.size(), 64);
    EXPECT_EQ(first, b.readReply());
    EXPECT_NE(first, a.readReply());
}

// How replies travel: the whole content arrives, in the writes each mode promises.
struct DeliveryCase {
    const char* name;
    PanelFaults faults;
    int maxChunk;
    int minChunks; // for the frame
};
void PrintTo(const DeliveryCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelSimDelivery : public PanelSimTest, public ::testing::WithParamInterface<DeliveryCase> {};

TEST_P(PanelSimDelivery, DeliversTheWholeReplyInPieces) {
    const DeliveryCase c = GetParam();
    const PanelConfig written = zorel8z::test::RandomConfig(31).next();
    m_sim->setFaults(c.faults);

    const QByteArray reply = request(kFrameSize);
    ASSERT_EQ(reply.size(), kFrameSize);
    EXPECT_EQ(reply, PanelSim::frameFor(m_sim->config(), 0, 0));
    EXPECT_EQ(chunkBytes(), kFrameSize);
    EXPECT_GE(m_chunks.size(), c.minChunks);
    EXPECT_LE(largestChunk(), c.maxChunk);

    m_chunks.clear();
    ASSERT_TRUE(m_client.write(writeFrame(written)));
    EXPECT_EQ(m_client.readAtLeast(kAck.size()), kAck);
    EXPECT_TRUE(m_sim->config().sameSettings(written));
    EXPECT_EQ(chunkBytes(), kAck.size());
    EXPECT_LE(largestChunk(), c.maxChunk);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PanelSimDelivery,
    ::testing::Values(DeliveryCase{"whole", {}, kFrameSize, 1},
                      DeliveryCase{"pieces100", faults([](PanelFaults& f) {
                                       f.pieceSize = 100;
                                       f.pieceGapMs = 20;
                                   }),
                                   100, 10},
                      DeliveryCase{"pieces1", faults([](PanelFaults& f) { f.pieceSize = 1; }), 1, kFrameSize},
                      DeliveryCase{"pieces450slow", faults([](PanelFaults& f) {
                                       f.pieceSize = 450;
                                       f.pieceGapMs = 300;
                                   }),
                                   450, 3},
                      DeliveryCase{"paced", faults([](PanelFaults& f) { f.paced = true; }),
                                   PanelSim::kMaxPacedChunk, kFrameSize / PanelSim::kMaxPacedChunk},
                      DeliveryCase{"pacedPieces", faults([](PanelFaults& f) {
                                       f.paced = true;
                                       f.pieceSize = 8;
                                       f.pieceGapMs = 1;
                                   }),
                                   8, kFrameSize / 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PanelSimTest, PiecesWithAGapAreSeparateArrivals) {
    PanelFaults f;
    f.pieceSize = 300;
    f.pieceGapMs = 200;
    m_sim->setFaults(f);
    ASSERT_TRUE(m_client.write(kRead));
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return m_chunks.size() == 1; }));
    // The next piece needs the event loop, which does not run while only the client reads.
    EXPECT_EQ(m_client.readAtLeast(300, zorel8z::test::kWaitMs, false).size(), 300);
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs, false).isEmpty());
    EXPECT_EQ(m_client.readAtLeast(kFrameSize - 300).size(), kFrameSize - 300);
}

TEST_F(PanelSimTest, SplitPausesAfterTheGivenBytes) {
    PanelFaults f;
    f.splitAt = {960, 952};
    f.splitGapMs = 200;
    m_sim->setFaults(f);
    ASSERT_TRUE(m_client.write(kRead));
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return m_chunks.size() == 1; }));
    // Each pause needs the event loop, which does not run while only the client reads.
    for (int upTo : {952, 960}) {
        EXPECT_EQ(chunkBytes(), upTo);
        EXPECT_EQ(m_client.readAtLeast(upTo == 952 ? 952 : 8, zorel8z::test::kWaitMs, false).size(),
                  upTo == 952 ? 952 : 8);
        EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs, false).isEmpty()) << upTo;
        ASSERT_TRUE(zorel8z::test::waitUntil([&] { return chunkBytes() > upTo; }));
    }
    EXPECT_EQ(m_client.readAtLeast(kFrameSize - 960).size(), kFrameSize - 960);
    // The next reply is split the same way again.
    m_chunks.clear();
    ASSERT_TRUE(m_client.write(kRead));
    EXPECT_EQ(m_client.readAtLeast(kFrameSize).size(), kFrameSize);
    ASSERT_EQ(m_chunks.size(), 3);
    EXPECT_EQ(m_chunks[0].size(), 952);
    EXPECT_EQ(m_chunks[1].size(), 8);
}

TEST_F(PanelSimTest, FrameForAckAppliesTheWriteAndSendsTheFrame) {
    PanelFaults f;
    f.frameForAck = true;
    m_sim->setFaults(f);
    const PanelConfig written = zorel8z::test::RandomConfig(41).next();
    ASSERT_TRUE(m_client.write(writeFrame(written)));
    const QByteArray reply = m_client.readAtLeast(kFrameSize);
    EXPECT_EQ(reply, PanelSim::frameFor(written, 0, 0));
    EXPECT_TRUE(m_sim->config().sameSettings(written));
    EXPECT_EQ(m_accepted, 1);
}

TEST_F(PanelSimTest, SilentPanelAnswersNothingAndKeepsItsConfiguration) {
    PanelFaults f;
    f.silent = true;
    m_sim->setFaults(f);
    const PanelConfig before = m_sim->config();

    ASSERT_TRUE(m_client.write(kRead));
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());
    ASSERT_TRUE(m_client.write(writeFrame(zorel8z::test::RandomConfig(8).next())));
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());

    EXPECT_EQ(m_sim->readRequests(), 1);
    EXPECT_EQ(m_sim->writeFrames(), 1);
    EXPECT_EQ(m_sim->acceptedWrites(), 0);
    EXPECT_TRUE(m_sim->config().sameSettings(before));
}

TEST_F(PanelSimTest, NoAckKeepsTheWriteWithoutAnswering) {
    PanelFaults f;
    f.noAck = true;
    m_sim->setFaults(f);
    const PanelConfig written = zorel8z::test::RandomConfig(9).next();

    ASSERT_TRUE(m_client.write(writeFrame(written)));
    ASSERT_TRUE(zorel8z::test::waitUntil([&] { return m_sim->acceptedWrites() == 1; }));
    EXPECT_TRUE(m_client.readFor(zorel8z::test::kQuietMs).isEmpty());
    EXPECT_TRUE(m_sim->config().sameSettings(written));

    // Reads are still answered, with the new configuration.
    const QByteArray reply = request(kFrameSize);
    ASSERT_EQ(reply.size(), kFrameSize);
    EXPECT_TRUE(decode(reply).sameSettings(written));
}

struct HangUpCase {
    const char* name;
    int after;
    bool onWrite; // the reply cut is the acknowledgement instead of the frame
    PanelFaults extra;
};
void PrintTo(const HangUpCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelSimHangUp : public PanelSimTest, public ::testing::WithParamInterface<HangUpCase> {};

TEST_P(PanelSimHangUp, HangsUpAfterTheGivenBytes) {
    const HangUpCase c = GetParam();
    PanelFaults f = c.extra;
    f.hangUpAfter = c.after;
    m_sim->setFaults(f);
    const QByteArray full = c.onWrite ? kAck : PanelSim::frameFor(m_sim->config(), 0, 0);
    const qsizetype expected = std::min<qsizetype>(c.after, full.size());

    ASSERT_TRUE(m_client.write(c.onWrite ? writeFrame(zorel8z::test::RandomConfig(3).next()) : kRead));
    const QByteArray got = m_client.readAtLeast(full.size() + 1);
    EXPECT_TRUE(m_client.ended());
    EXPECT_TRUE(m_client.lastError() == 0 || m_client.lastError() == EIO) << m_client.lastError();
    EXPECT_EQ(got, full.left(expected));
    EXPECT_EQ(m_hungUp, 1);
    EXPECT_TRUE(m_sim->isHungUp());
    // The device is gone as an unplugged one is.
    EXPECT_FALSE(QFile::exists(m_sim->slavePath()));
    PtyClient again;
    EXPECT_FALSE(again.open(m_sim->devicePath()));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PanelSimHangUp,
    ::testing::Values(HangUpCase{"atOnce", 0, false, {}}, HangUpCase{"after1", 1, false, {}},
                      HangUpCase{"after500", 500, false, {}}, HangUpCase{"pastTheEnd", 2000, false, {}},
                      HangUpCase{"inPieces", 250, false, faults([](PanelFaults& f) {
                                     f.pieceSize = 100;
                                     f.pieceGapMs = 20;
                                 })},
                      HangUpCase{"paced", 40, false, faults([](PanelFaults& f) { f.paced = true; })},
                      HangUpCase{"ackCut", 2, true, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class PanelSimSave : public PanelSimTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PanelSimSave, SavesEveryAcceptedWrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(GetParam()));
    m_sim->setSavePath(path);
    for (unsigned seed : {41u, 42u}) {
        const PanelConfig written = zorel8z::test::RandomConfig(seed).next();
        ASSERT_TRUE(m_client.write(writeFrame(written)));
        ASSERT_EQ(m_client.readAtLeast(kAck.size()), kAck);
        PanelConfig saved;
        QString error;
        ASSERT_TRUE(zorel8z::sim::loadPanelConfig(path, saved, error)) << error.toStdString();
        EXPECT_TRUE(saved.sameSettings(written));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, PanelSimSave, ::testing::Values("panel.c8z", "panel.json"));

TEST(PanelSimConfig, LoadsEitherFileFormAndRefusesABadOne) {
    zorel8z::test::ensureApp();
    QTemporaryDir dir;
    const PanelConfig demo = demoConfig();
    QString error;
    const QString c8z = dir.filePath(QStringLiteral("demo.c8z"));
    ASSERT_TRUE(zorel8z::sim::savePanelConfig(c8z, demo, error)) << error.toStdString();

    for (const QString& path : {QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json"), c8z}) {
        PanelSim sim;
        ASSERT_TRUE(sim.loadConfig(path)) << sim.errorString().toStdString();
        EXPECT_TRUE(sim.config().sameSettings(demo));
    }

    const QString bad = dir.filePath(QStringLiteral("bad.c8z"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not base64 at all");
    f.close();
    PanelSim sim;
    EXPECT_FALSE(sim.loadConfig(bad));
    EXPECT_FALSE(sim.errorString().isEmpty());
    EXPECT_TRUE(sim.config().sameSettings(PanelConfig()));
    EXPECT_FALSE(sim.loadConfig(dir.filePath(QStringLiteral("missing.json"))));
}

} // namespace
