// The simulator programs as a demo or a script runs them: device path on stdout, options, clean exit.
#include "sim/PtyClient.h"

#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"
#include "sim/PanelSim.h"
#include "sim/SimConfigIo.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using zorel8z::model::PanelConfig;
using zorel8z::sim::PanelSim;
using zorel8z::test::PtyClient;

// A running simulator; stopped with SIGTERM (as a demo script stops it) unless the test did so.
class Tool {
public:
    Tool(const char* program, const QStringList& args) {
        m_process.start(QString::fromLatin1(program), args);
        if (m_process.waitForStarted(zorel8z::test::kWaitMs) &&
            m_process.waitForReadyRead(zorel8z::test::kWaitMs))
            m_path = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~Tool() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(zorel8z::test::kWaitMs);
        }
    }
    QString path() const { return m_path; }
    // SIGTERM, then the exit code (-1 when it did not end normally).
    int terminate() {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return finish();
    }
    int finish() {
        if (!m_process.waitForFinished(zorel8z::test::kWaitMs) ||
            m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QString m_path;
};

PanelConfig decode(const QByteArray& frame) {
    const zorel8z::controller::TController ctl;
    PanelConfig cfg;
    zorel8z::test::RecordingUi ui;
    zorel8z::model::decodeFileText(ctl, QString::fromLatin1(frame), cfg, ui);
    return cfg;
}

TEST(PanelSimTool, ServesTheGivenPanelUntilTerminated) {
    zorel8z::test::ensureApp();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyPANEL"));
    const QString demo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");
    Tool tool(ZOREL_PANEL_SIM_PATH,
              {QStringLiteral("--link"), link, QStringLiteral("--config"), demo, QStringLiteral("--serial"),
               QStringLiteral("12345"), QStringLiteral("--firmware"), QStringLiteral("4")});
    ASSERT_EQ(tool.path(), link);
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    PtyClient client(link);
    ASSERT_TRUE(client.isOpen());
    ASSERT_TRUE(client.write(QByteArrayLiteral("@\r\n")));
    const QByteArray frame = client.readAtLeast(999);
    ASSERT_EQ(frame.size(), 999);
    EXPECT_EQ(quint8(frame[PanelSim::kFirmwarePos - 1]), 4);
    EXPECT_EQ(quint8(frame[PanelSim::kSerialLowPos - 1]) + 256 * quint8(frame[PanelSim::kSerialHighPos - 1]),
              12345);
    PanelConfig expected;
    QString error;
    ASSERT_TRUE(zorel8z::sim::loadPanelConfig(demo, expected, error));
    EXPECT_TRUE(decode(frame).sameSettings(expected));

    client.close();
    EXPECT_EQ(tool.terminate(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(PanelSimTool, SavesAcceptedWrites) {
    zorel8z::test::ensureApp();
    QTemporaryDir dir;
    const QString saved = dir.filePath(QStringLiteral("panel.json"));
    Tool tool(ZOREL_PANEL_SIM_PATH, {QStringLiteral("--save"), saved});
    PtyClient client(tool.path());
    ASSERT_TRUE(client.isOpen());

    const PanelConfig written = zorel8z::test::RandomConfig(2024).next();
    const zorel8z::controller::TController ctl;
    ASSERT_TRUE(client.write(PanelSim::toWire(zorel8z::model::buildWriteFrame(ctl, written))));
    EXPECT_EQ(client.readAtLeast(4), QByteArrayLiteral("-<\r\n"));
    PanelConfig back;
    QString error;
    ASSERT_TRUE(zorel8z::sim::loadPanelConfig(saved, back, error)) << error.toStdString();
    EXPECT_TRUE(back.sameSettings(written));
    EXPECT_EQ(tool.terminate(), 0);
}

// Each fault option reaches the simulator: the reply to one read request shows it.
struct FaultOptionCase {
    const char* name;
    QStringList args;
    qsizetype size;
    bool decodes;
    bool hangsUp;
};
void PrintTo(const FaultOptionCase& c, std::ostream* os) {
    *os << c.name;
}

class PanelSimToolFaults : public ::testing::TestWithParam<FaultOptionCase> {};

TEST_P(PanelSimToolFaults, OptionShapesTheReply) {
    zorel8z::test::ensureApp();
    const FaultOptionCase c = GetParam();
    Tool tool(ZOREL_PANEL_SIM_PATH, c.args);
    PtyClient client(tool.path());
    ASSERT_TRUE(client.isOpen());
    ASSERT_TRUE(client.write(QByteArrayLiteral("@\r\n")));
    const QByteArray reply = client.readAtLeast(c.size);
    EXPECT_TRUE(client.readFor(c.hangsUp ? zorel8z::test::kWaitMs : zorel8z::test::kQuietMs).isEmpty());
    EXPECT_EQ(reply.size(), c.size);
    bool ok = true;
    try {
        decode(reply);
    } catch (const zorel8z::Error&) {
        ok = false;
    }
    EXPECT_EQ(ok, c.decodes);
    EXPECT_EQ(client.ended(), c.hangsUp);
    // A hung-up panel leaves by itself; any other one runs until stopped.
    EXPECT_EQ(c.hangsUp ? tool.finish() : tool.terminate(), 0);
}

QStringList args(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* a : list)
        out << QString::fromLatin1(a);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Options, PanelSimToolFaults,
    ::testing::Values(FaultOptionCase{"plain", {}, 999, true, false},
                      FaultOptionCase{"pieces", args({"--pieces", "200", "--gap", "10"}), 999, true, false},
                      FaultOptionCase{"paced", args({"--paced"}), 999, true, false},
                      FaultOptionCase{"silent", args({"--silent"}), 0, false, false},
                      FaultOptionCase{"short", args({"--short", "500"}), 500, false, false},
                      FaultOptionCase{"garbage", args({"--garbage", "30", "--seed", "9"}), 30, false, false},
                      FaultOptionCase{"brokenBlockDefault", args({"--broken-block"}), 999, false, false},
                      FaultOptionCase{"brokenBlock5", args({"--broken-block", "5", "--serial", "1"}), 999,
                                      false, false},
                      FaultOptionCase{"tail", args({"--tail", "7"}), 1006, true, false},
                      FaultOptionCase{"split",
                                      args({"--split-at", "952", "--split-at", "960", "--split-gap", "5",
                                            "--serial", "2573", "--firmware", "255"}),
                                      999, true, false},
                      FaultOptionCase{"hangUp", args({"--hangup-after", "300"}), 300, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelSimTool, RefusesBadOptions) {
    zorel8z::test::ensureApp();
    const QStringList bad[] = {args({"--serial", "65536"}),
                               args({"--firmware", "-1"}),
                               args({"--pieces", "x"}),
                               args({"--broken-block", "6"}),
                               args({"--split-at", "0"}),
                               args({"--split-at", "x"}),
                               args({"--split-gap", "-1"}),
                               args({"--config", "/nonexistent/panel.c8z"}),
                               args({"stray"})};
    for (const QStringList& a : bad) {
        SCOPED_TRACE(a.join(QLatin1Char(' ')).toStdString());
        QProcess p;
        p.start(QStringLiteral(ZOREL_PANEL_SIM_PATH), a);
        ASSERT_TRUE(p.waitForFinished(zorel8z::test::kWaitMs));
        EXPECT_NE(p.exitCode(), 0);
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
        EXPECT_FALSE(p.readAllStandardError().isEmpty());
    }
}

struct ReaderOptionCase {
    const char* name;
    QStringList args;
    QByteArray expected;
};
void PrintTo(const ReaderOptionCase& c, std::ostream* os) {
    *os << c.name;
}

class ReaderSimTool : public ::testing::TestWithParam<ReaderOptionCase> {};

TEST_P(ReaderSimTool, SendsTheKeysToTheFirstClientAndExits) {
    zorel8z::test::ensureApp();
    const ReaderOptionCase c = GetParam();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyREADER"));
    Tool tool(ZOREL_READER_SIM_PATH, args({"--wait-open", "--exit", "--interval", "20", "--link"})
                                         << link << c.args);
    ASSERT_EQ(tool.path(), link);
    PtyClient client(link);
    ASSERT_TRUE(client.isOpen());
    EXPECT_EQ(client.readAtLeast(c.expected.size()), c.expected);
    EXPECT_EQ(tool.finish(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReaderSimTool,
    ::testing::Values(
        ReaderOptionCase{"oneKey", args({"--key", "01A2B3C4D5E6F701"}), "01A2B3C4D5E6F701"},
        ReaderOptionCase{"twoKeys", args({"--key", "1111111111111111", "--key", "2222222222222222"}),
                         "11111111111111112222222222222222"},
        ReaderOptionCase{"splitCrlf",
                         args({"--key", "ABCDEF0123456789", "--split", "--split-gap", "30", "--crlf"}),
                         "ABCDEF0123456789\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
