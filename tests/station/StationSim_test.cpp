// The simulated station as the configurator meets it: queries, polls, block replies, writes,
// refusals and renumbering, in-process and as the zorel8z-station-sim tool.
#include "common/Errors.h"
#include "controller/TController.h"
#include "model/FrameCodec.h"
#include "model/Packing.h"
#include "remote/CurlHttpClient.h"
#include "sim/SimConfigIo.h"
#include "sim/StationSim.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

using namespace zorel8z;
using controller::TController;
using model::ConnectionType;
using model::PanelConfig;
using remote::CurlHttpClient;
using sim::StationFaults;
using sim::StationSim;

namespace {

const TController ctl;
const QString kAddress = QStringLiteral("127.000.000.001");
const QString kPassword = QStringLiteral("123456");
constexpr int kTimeoutMs = 5000;

QString blockName(int block) {
    return QString::number(block);
}

// The station's part of a client: the seven requests with the connection values filled in.
class Client {
public:
    explicit Client(int port) : m_port(port) {}
    QString query(quint16 panel, int block, const QString& pwd = kPassword) {
        return ctl.SetQueryPPKConf(m_http, kAddress, m_port, panel, pwd, blockName(block), kTimeoutMs);
    }
    QString read(quint16 panel, int block) {
        return ctl.ReadServerConf(m_http, kAddress, m_port, panel, blockName(block), kTimeoutMs);
    }
    // Writes block 1..4 of `cfg` as the remote write packs it.
    QString write(quint16 panel, int block, const PanelConfig& cfg, const QString& pwd = kPassword) {
        switch (block) {
        case 1: {
            const model::NetworkTexts t = model::packNetwork(cfg);
            return ctl.WriteConf1(m_http, kAddress, m_port, panel, pwd, t.n, t.a, t.i, t.p, t.q, kTimeoutMs);
        }
        case 2:
            return ctl.WriteConf2(m_http, kAddress, m_port, panel, pwd, model::packUsers(ctl, cfg),
                                  kTimeoutMs);
        case 3:
            return ctl.WriteConf3(m_http, kAddress, m_port, panel, pwd, model::packZones(cfg), kTimeoutMs);
        default: {
            const model::ParamTexts t = model::packParams(cfg);
            return ctl.WriteConf4(m_http, kAddress, m_port, panel, pwd, t.p1, t.p2, t.low, t.hi, t.ppkType,
                                  t.timeDelay, t.timeDelay2, t.UKworkTime, t.UKon + t.UKoff, t.UKinvert,
                                  t.Set1 + t.Set2, kTimeoutMs);
        }
        }
    }
    CurlHttpClient& http() { return m_http; }

private:
    CurlHttpClient m_http;
    int m_port;
};

// Decodes a block reply into `cfg` as the remote read does; returns the parser's status.
int decodeBlock(int block, const QString& reply, PanelConfig& cfg) {
    test::RecordingUi ui;
    switch (block) {
    case 1:
        return model::decodeNetworkBlock(ctl, ConnectionType::Internet, reply, cfg);
    case 2:
        return model::decodeUsersBlock(ctl, ConnectionType::Internet, reply, cfg);
    case 3:
        return model::decodeZonesBlock(ctl, ConnectionType::Internet, reply, cfg);
    default: {
        const int rc = model::decodeParamsBlock(ctl, ConnectionType::Internet, reply, cfg, ui);
        EXPECT_TRUE(ui.messages.empty());
        return rc;
    }
    }
}

// The values of one block, compared through what a write of that block sends.
QString packedBlock(int block, const PanelConfig& cfg) {
    switch (block) {
    case 1: {
        const model::NetworkTexts t = model::packNetwork(cfg);
        return QStringList{t.n, t.a, t.i, t.p, t.q}.join(QLatin1Char('|'));
    }
    case 2:
        return model::packUsers(ctl, cfg);
    case 3:
        return model::packZones(cfg);
    default: {
        const model::ParamTexts t = model::packParams(cfg);
        return QStringList{t.p1,         t.p2,   t.low,   t.hi,       t.ppkType, t.timeDelay, t.timeDelay2,
                           t.UKworkTime, t.UKon, t.UKoff, t.UKinvert, t.Set1,    t.Set2}
            .join(QLatin1Char('|'));
    }
    }
}

class Station : public ::testing::Test {
protected:
    void SetUp() override {
        station.addPanel(12, kPassword);
        ASSERT_TRUE(station.start()) << station.errorString().toStdString();
        client = std::make_unique<Client>(station.port());
    }
    void setFaults(const std::function<void(StationFaults&)>& change) {
        StationFaults f = station.faults();
        change(f);
        station.setFaults(f);
    }
    StationSim station;
    std::unique_ptr<Client> client;
};

} // namespace

class StationPolls : public Station, public ::testing::WithParamInterface<int> {};

TEST_P(StationPolls, BlockComesAfterTheGivenNumberOfNoData) {
    setFaults([](StationFaults& f) { f.noDataReplies = GetParam(); });
    ASSERT_EQ(client->query(12, 3), QStringLiteral("ok"));
    for (int k = 0; k < GetParam(); ++k)
        EXPECT_EQ(client->read(12, 3), QStringLiteral("no_data")) << k;
    EXPECT_EQ(client->read(12, 3), QStringLiteral("{\"l\":\"100100100100100100100100\"}"));
    // Collected once; another read needs another query.
    EXPECT_EQ(client->read(12, 3), QStringLiteral("no_data"));
}

INSTANTIATE_TEST_SUITE_P(Counts, StationPolls, ::testing::Values(0, 1, 3));

TEST_F(Station, ReadWithoutAMatchingQueryHasNoData) {
    EXPECT_EQ(client->read(12, 1), QStringLiteral("no_data"));
    ASSERT_EQ(client->query(12, 2), QStringLiteral("ok"));
    EXPECT_EQ(client->read(12, 1), QStringLiteral("no_data"));
    EXPECT_EQ(client->read(13, 2), QStringLiteral("no_data"));
    EXPECT_EQ(client->read(12, 2), QStringLiteral("no_data")); // the one announced by the fault
    EXPECT_TRUE(client->read(12, 2).startsWith(QStringLiteral("{\"u\":\"")));
}

TEST_F(Station, NoDataForeverNeverDelivers) {
    setFaults([](StationFaults& f) { f.noDataForever = true; });
    ASSERT_EQ(client->query(12, 1), QStringLiteral("ok"));
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(client->read(12, 1), QStringLiteral("no_data")) << k;
}

struct QueryCase {
    const char* name;
    quint16 panel;
    int block;
    const char* password;
    bool refuse;
    const char* reply;
};

class StationQuery : public Station, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(StationQuery, AcceptsOnlyWhatItCanRelay) {
    setFaults([](StationFaults& f) { f.refuseQuery = GetParam().refuse; });
    EXPECT_EQ(client->query(GetParam().panel, GetParam().block, QString::fromLatin1(GetParam().password)),
              QString::fromLatin1(GetParam().reply));
}

INSTANTIATE_TEST_SUITE_P(Cases, StationQuery,
                         ::testing::Values(QueryCase{"Known", 12, 1, "123456", false, "ok"},
                                           // The station relays whatever password; the panel refuses later.
                                           QueryCase{"WrongPassword", 12, 4, "654321", false, "ok"},
                                           QueryCase{"UnknownPanel", 13, 1, "123456", false, "err"},
                                           QueryCase{"PanelZero", 0, 1, "123456", false, "err"},
                                           QueryCase{"KeyCodes", 12, 5, "123456", false, "err"},
                                           QueryCase{"BlockZero", 12, 0, "123456", false, "err"},
                                           QueryCase{"Refusing", 12, 1, "123456", true, "err"}),
                         [](const ::testing::TestParamInfo<QueryCase>& info) {
                             return std::string(info.param.name);
                         });

class StationBlocks : public Station, public ::testing::WithParamInterface<int> {};

TEST_P(StationBlocks, ReplyDecodesToWhatThePanelHolds) {
    test::RandomConfig random(unsigned(100 + GetParam()));
    PanelConfig held = random.next();
    station.addPanel(40000, QStringLiteral("777"), held);
    held = *station.panel(40000);
    setFaults([](StationFaults& f) { f.noDataReplies = 0; });

    ASSERT_EQ(client->query(40000, GetParam(), QStringLiteral("777")), QStringLiteral("ok"));
    const QString reply = client->read(40000, GetParam());
    PanelConfig decoded;
    ASSERT_EQ(decodeBlock(GetParam(), reply, decoded), 0) << reply.toStdString();
    EXPECT_EQ(packedBlock(GetParam(), decoded), packedBlock(GetParam(), held));
    if (GetParam() == 1) {
        EXPECT_EQ(decoded.numPPK, 40000);
        EXPECT_EQ(decoded.pwd, QStringLiteral("777"));
    }
}

TEST_P(StationBlocks, WrongPasswordIsRefusedByThePanel) {
    setFaults([](StationFaults& f) { f.noDataReplies = 0; });
    ASSERT_EQ(client->query(12, GetParam(), QStringLiteral("12345")), QStringLiteral("ok"));
    const QString reply = client->read(12, GetParam());
    EXPECT_EQ(reply, QStringLiteral("{\"err_conf\":1}"));
    PanelConfig decoded;
    EXPECT_EQ(decodeBlock(GetParam(), reply, decoded), 1);
}

TEST_P(StationBlocks, WrittenBlockIsKeptAndReadBack) {
    test::RandomConfig random(unsigned(200 + GetParam()));
    PanelConfig wanted = random.next();
    wanted.numPPK = 12; // no renumbering here
    const PanelConfig before = *station.panel(12);

    const QString reply = client->write(12, GetParam(), wanted);
    EXPECT_EQ(ctl.ParseWriteServerConf(reply), 0) << reply.toStdString();
    const PanelConfig after = *station.panel(12);
    EXPECT_EQ(packedBlock(GetParam(), after), packedBlock(GetParam(), wanted));
    // The other blocks are untouched.
    for (int other = 1; other <= 4; ++other) {
        if (other != GetParam()) {
            EXPECT_EQ(packedBlock(other, after), packedBlock(other, before)) << other;
        }
    }
    EXPECT_EQ(after.pwd, kPassword);

    setFaults([](StationFaults& f) { f.noDataReplies = 0; });
    ASSERT_EQ(client->query(12, GetParam()), QStringLiteral("ok"));
    PanelConfig decoded;
    ASSERT_EQ(decodeBlock(GetParam(), client->read(12, GetParam()), decoded), 0);
    EXPECT_EQ(packedBlock(GetParam(), decoded), packedBlock(GetParam(), wanted));
}

TEST_P(StationBlocks, WriteWithAWrongPasswordChangesNothing) {
    test::RandomConfig random(unsigned(300 + GetParam()));
    PanelConfig wanted = random.next();
    wanted.numPPK = 12;
    const PanelConfig before = *station.panel(12);
    const QString reply = client->write(12, GetParam(), wanted, QStringLiteral("12345"));
    EXPECT_EQ(reply, QStringLiteral("{\"err_wconf\":1}"));
    EXPECT_EQ(ctl.ParseWriteServerConf(reply), 1);
    EXPECT_EQ(*station.panel(12), before);
}

TEST_P(StationBlocks, WriteToAnUnknownPanelIsNoWriteReply) {
    const QString reply = client->write(13, GetParam(), PanelConfig());
    EXPECT_EQ(reply, QStringLiteral("err"));
    EXPECT_THROW(ctl.ParseWriteServerConf(reply), Error);
}

INSTANTIATE_TEST_SUITE_P(Blocks, StationBlocks, ::testing::Values(1, 2, 3, 4));

struct RefusedWrite {
    const char* name;
    const char* path;
    const char* body;
};

class StationRefusedWrite : public Station, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(StationRefusedWrite, ValuesThePanelCannotTakeAreRefused) {
    const PanelConfig before = *station.panel(12);
    const QString reply = client->http().post(station.url() + QString::fromLatin1(GetParam().path),
                                              GetParam().body, kTimeoutMs);
    EXPECT_EQ(reply, QStringLiteral("{\"err_wconf\":2}"));
    EXPECT_EQ(ctl.ParseWriteServerConf(reply), 2);
    EXPECT_EQ(*station.panel(12), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationRefusedWrite,
    ::testing::Values(
        RefusedWrite{"ApnWithQuote", "/set_config1",
                     "ppk_num=12&pc=123456&n=12&a=%22&i=001.002.003.004&p=1&q="},
        RefusedWrite{"ApnTooLong", "/set_config1",
                     "ppk_num=12&pc=123456&n=12&a=1234567890123456789012345678901&i=001.002.003.004&p=1&q="},
        RefusedWrite{"BadAddress", "/set_config1", "ppk_num=12&pc=123456&n=12&a=&i=300.002.003.004&p=1&q="},
        RefusedWrite{"PortTooBig", "/set_config1",
                     "ppk_num=12&pc=123456&n=12&a=&i=001.002.003.004&p=65536&q="},
        RefusedWrite{"NumberZero", "/set_config1", "ppk_num=12&pc=123456&n=0&a=&i=001.002.003.004&p=1&q="},
        RefusedWrite{"MissingQ", "/set_config1", "ppk_num=12&pc=123456&n=12&a=&i=001.002.003.004&p=1"},
        RefusedWrite{"UsersShort", "/set_config2", "ppk_num=12&pc=123456&u=QRSD"},
        RefusedWrite{"ZonesShort", "/set_config3", "ppk_num=12&pc=123456&l=100100"},
        RefusedWrite{"ZonesLetters", "/set_config3", "ppk_num=12&pc=123456&l=10010010010010010010010x"},
        RefusedWrite{
            "ParamsShortTime", "/set_config4",
            "ppk_num=12&pc=123456&p1=12345&p2=54321&z=11600&x=14200&g=1&s=30&v=30&f=040&t=060&h=0&l=00"},
        RefusedWrite{
            "ParamsFourDigits", "/set_config4",
            "ppk_num=12&pc=123456&p1=1234&p2=54321&z=11600&x=14200&g=1&s=30&v=30&f=040&t=005060&h=0&l=00"},
        RefusedWrite{
            "ParamsBadSet", "/set_config4",
            "ppk_num=12&pc=123456&p1=12345&p2=54321&z=11600&x=14200&g=1&s=30&v=30&f=040&t=005060&h=0&l=0"}),
    [](const ::testing::TestParamInfo<RefusedWrite>& info) { return std::string(info.param.name); });

TEST_F(Station, WritingANewNumberRenumbersThePanel) {
    PanelConfig cfg = *station.panel(12);
    cfg.numPPK = 57;
    cfg.apn = QStringLiteral("new apn");
    EXPECT_EQ(ctl.ParseWriteServerConf(client->write(12, 1, cfg)), 0);
    EXPECT_EQ(station.panelNumbers(), std::vector<quint16>{57});
    EXPECT_EQ(station.panel(57)->apn, QStringLiteral("new apn"));
    EXPECT_EQ(client->query(12, 1), QStringLiteral("err"));
    EXPECT_EQ(client->query(57, 1), QStringLiteral("ok"));
}

TEST_F(Station, NumberOfAnotherPanelIsRefused) {
    station.addPanel(57, QStringLiteral("999"));
    PanelConfig cfg = *station.panel(12);
    cfg.numPPK = 57;
    EXPECT_EQ(ctl.ParseWriteServerConf(client->write(12, 1, cfg)), 2);
    EXPECT_EQ((station.panelNumbers()), (std::vector<quint16>{12, 57}));
    EXPECT_EQ(station.panel(57)->pwd, QStringLiteral("999"));
}

TEST_F(Station, AppliedWritesAreSaved) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    station.setSaveDir(dir.path());
    PanelConfig cfg = *station.panel(12);
    cfg.lines[7] = {8, 1, 6};
    ASSERT_EQ(ctl.ParseWriteServerConf(client->write(12, 3, cfg)), 0);
    PanelConfig saved;
    QString why;
    ASSERT_TRUE(sim::loadPanelConfig(dir.filePath(QStringLiteral("panel-12.json")), saved, why))
        << why.toStdString();
    EXPECT_TRUE(saved.sameSettings(*station.panel(12)));
    EXPECT_EQ(saved.lines[7], (model::ZoneEntry{8, 1, 6}));
    // A refused write saves nothing.
    QFile::remove(dir.filePath(QStringLiteral("panel-12.json")));
    client->write(12, 3, cfg, QStringLiteral("bad"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("panel-12.json"))));
}

TEST_F(Station, PanelFromAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.json"));
    PanelConfig cfg;
    cfg.apn = QStringLiteral("from.file");
    QString why;
    ASSERT_TRUE(sim::savePanelConfig(path, cfg, why));
    ASSERT_TRUE(station.loadPanel(30, QStringLiteral("4321"), path));
    EXPECT_EQ(station.panel(30)->apn, QStringLiteral("from.file"));
    EXPECT_EQ(station.panel(30)->numPPK, 30);
    EXPECT_FALSE(station.loadPanel(31, QStringLiteral("4321"), dir.filePath(QStringLiteral("none.json"))));
    EXPECT_FALSE(station.errorString().isEmpty());
    EXPECT_FALSE(station.panel(31).has_value());
}

// --- Form parsing ----------------------------------------------------------------------------------

struct FormCase {
    const char* body;
    std::vector<std::pair<const char*, const char*>> fields; // UTF-8
};

class StationForm : public ::testing::TestWithParam<FormCase> {};

TEST_P(StationForm, FieldsKeepTheirOrder) {
    const auto parsed = StationSim::parseForm(GetParam().body);
    ASSERT_EQ(parsed.size(), GetParam().fields.size()) << GetParam().body;
    for (std::size_t k = 0; k < parsed.size(); ++k) {
        EXPECT_EQ(parsed[k].first, QString::fromUtf8(GetParam().fields[k].first)) << k;
        EXPECT_EQ(parsed[k].second, QString::fromUtf8(GetParam().fields[k].second)) << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, StationForm,
                         ::testing::Values(FormCase{"", {}}, FormCase{"b=2&a=1", {{"b", "2"}, {"a", "1"}}},
                                           FormCase{"a=x+y&a=%D0%96", {{"a", "x y"}, {"a", "Ж"}}},
                                           FormCase{"q=%2B%26%3D%25", {{"q", "+&=%"}}},
                                           FormCase{"k&=v&x=", {{"k", ""}, {"", "v"}, {"x", ""}}},
                                           FormCase{"a=%zz%4&b=%", {{"a", "%zz%4"}, {"b", "%"}}},
                                           FormCase{"a=1&", {{"a", "1"}, {"", ""}}},
                                           FormCase{"t=a=b", {{"t", "a=b"}}}));

// --- The tool --------------------------------------------------------------------------------------

namespace {

// The simulator as a demo runs it: URL on stdout, requests logged on stderr, SIGTERM ends it.
class Tool {
public:
    explicit Tool(const QStringList& args) {
        m_process.start(QStringLiteral(ZOREL_STATION_SIM_PATH), args);
        if (m_process.waitForStarted(kTimeoutMs) && m_process.waitForReadyRead(kTimeoutMs))
            m_url = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~Tool() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(kTimeoutMs);
        }
    }
    QString url() const { return m_url; }
    int port() const { return m_url.section(QLatin1Char(':'), -1).toInt(); }
    int terminate() {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return finish();
    }
    int finish() {
        if (!m_process.waitForFinished(kTimeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    QString errors() { return QString::fromUtf8(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QString m_url;
};

} // namespace

TEST_F(Station, GivenBlockTextIsHandedOverAsItIs) {
    // Escapes included: what the configurator does with them is its own business.
    const std::string text = "{\"n\":\"12\",\"a\":\"\\u0456nternet\",\"i\":\"001.002.003.004\","
                             "\"p\":\"5001\",\"q\":\"x\",\"r\":\"\"}";
    setFaults([&](StationFaults& f) {
        f.blockText = text;
        f.noDataReplies = 0;
    });
    ASSERT_EQ(client->query(12, 1), QStringLiteral("ok"));
    EXPECT_EQ(client->read(12, 1), QString::fromStdString(text));
    // Once collected, the block is gone, as any other; a wrong password still meets the panel.
    EXPECT_EQ(client->read(12, 1), QStringLiteral("no_data"));
    ASSERT_EQ(client->query(12, 1, QStringLiteral("654321")), QStringLiteral("ok"));
    EXPECT_EQ(client->read(12, 1), QStringLiteral("{\"err_conf\":1}"));
}

TEST_F(Station, RawReplyAnswersEveryRequestToItsPath) {
    const std::string nested = std::string(1000, '[') + std::string(1000, ']');
    setFaults([&](StationFaults& f) {
        f.rawReplies["/read_config"] = nested;
        f.rawReplies["/set_config3"] = "{\"err_wconf\":2}";
        f.replyBytes = 5000; // not for a raw reply
    });
    // Without a query, for an unknown panel: the same bytes.
    EXPECT_EQ(client->read(99, 4).toStdString(), nested);
    EXPECT_EQ(client->read(12, 1).toStdString(), nested);
    EXPECT_EQ(ctl.ParseWriteServerConf(client->write(12, 3, PanelConfig())), 2);
    // Other paths answer as ever (padded as asked).
    EXPECT_EQ(client->query(12, 1).trimmed(), QStringLiteral("ok"));
}

TEST(StationTool, ServesItsPanelsUntilTerminated) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("p.json"));
    PanelConfig cfg;
    cfg.apn = QStringLiteral("tool.apn");
    QString why;
    ASSERT_TRUE(sim::savePanelConfig(file, cfg, why));

    Tool tool({QStringLiteral("--panel"), QStringLiteral("12:123456"), QStringLiteral("--panel"),
               QStringLiteral("77:4321:") + file, QStringLiteral("--no-data"), QStringLiteral("0"),
               QStringLiteral("--save"), dir.path()});
    ASSERT_TRUE(tool.url().startsWith(QStringLiteral("http://127.0.0.1:"))) << tool.url().toStdString();
    Client client(tool.port());

    ASSERT_EQ(client.query(77, 1, QStringLiteral("4321")), QStringLiteral("ok"));
    PanelConfig decoded;
    ASSERT_EQ(decodeBlock(1, client.read(77, 1), decoded), 0);
    EXPECT_EQ(decoded.apn, QStringLiteral("tool.apn"));
    EXPECT_EQ(decoded.numPPK, 77);

    PanelConfig zones;
    zones.lines[0] = {2, 1, 0};
    EXPECT_EQ(ctl.ParseWriteServerConf(client.write(12, 3, zones)), 0);
    PanelConfig saved;
    ASSERT_TRUE(sim::loadPanelConfig(dir.filePath(QStringLiteral("panel-12.json")), saved, why));
    EXPECT_EQ(saved.lines[0], (model::ZoneEntry{2, 1, 0}));

    EXPECT_EQ(tool.terminate(), 0);
    const QString log = tool.errors();
    EXPECT_TRUE(log.contains(QStringLiteral("POST /get_config HTTP/1.0"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("ppk_num=77&pc=4321&block=1")));
    EXPECT_TRUE(log.contains(QStringLiteral("User-Agent: Mozilla/3.0 (compatible; Indy Library)")));
}

TEST(StationTool, FaultOptionsReachTheStation) {
    Tool tool({QStringLiteral("--refuse-query"), QStringLiteral("--redirect")});
    ASSERT_FALSE(tool.url().isEmpty());
    Client client(tool.port());
    // The default panel is 1 with password 123456; the query is sent back once, then refused.
    EXPECT_EQ(client.query(1, 1), QStringLiteral("err"));
    EXPECT_EQ(tool.terminate(), 0);
    const QString log = tool.errors();
    EXPECT_TRUE(log.contains(QStringLiteral("<-- 307 moved"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("<-- 200 err")));
}

TEST(StationTool, BlockAndRawReplyOptions) {
    QTemporaryDir dir;
    const QString block = dir.filePath(QStringLiteral("block.json"));
    const QString raw = dir.filePath(QStringLiteral("raw.txt"));
    QFile b(block), r(raw);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly) && r.open(QIODevice::WriteOnly));
    b.write("{\"l\":\"\\u0031001001001001001001001001\"}");
    r.write("{\"err_wconf\":2}\r\n");
    b.close();
    r.close();
    for (const QStringList& blockArgs :
         {QStringList{QStringLiteral("--block-file"), block},
          QStringList{QStringLiteral("--block-text"),
                      QString::fromUtf8("{\"l\":\"\\u0031001001001001001001001001\"}")}}) {
        Tool tool(blockArgs + QStringList{QStringLiteral("--no-data"), QStringLiteral("0"),
                                          QStringLiteral("--raw-reply"),
                                          QStringLiteral("/set_config3=") + raw});
        ASSERT_FALSE(tool.url().isEmpty());
        Client client(tool.port());
        ASSERT_EQ(client.query(1, 3), QStringLiteral("ok"));
        EXPECT_EQ(client.read(1, 3), QStringLiteral("{\"l\":\"\\u0031001001001001001001001001\"}"));
        EXPECT_EQ(client.write(1, 3, PanelConfig()), QStringLiteral("{\"err_wconf\":2}\r\n"));
        EXPECT_EQ(tool.terminate(), 0);
    }
}

TEST(StationTool, QuietLogsNothing) {
    Tool tool({QStringLiteral("--quiet")});
    ASSERT_FALSE(tool.url().isEmpty());
    Client client(tool.port());
    EXPECT_EQ(client.query(1, 1), QStringLiteral("ok"));
    EXPECT_EQ(tool.terminate(), 0);
    EXPECT_TRUE(tool.errors().isEmpty());
}

struct BadOption {
    const char* name;
    QStringList args;
};

class StationToolUsage : public ::testing::TestWithParam<BadOption> {};

TEST_P(StationToolUsage, BadOptionIsAUsageError) {
    QProcess process;
    process.start(QStringLiteral(ZOREL_STATION_SIM_PATH), GetParam().args);
    ASSERT_TRUE(process.waitForFinished(kTimeoutMs));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(process.readAllStandardError().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StationToolUsage,
    ::testing::Values(
        BadOption{"PanelWithoutPassword", {QStringLiteral("--panel"), QStringLiteral("12")}},
        BadOption{"PanelZero", {QStringLiteral("--panel"), QStringLiteral("0:1")}},
        BadOption{"LongPassword", {QStringLiteral("--panel"), QStringLiteral("1:1234567")}},
        BadOption{"MissingFile", {QStringLiteral("--panel"), QStringLiteral("1:1:/nonexistent/x.json")}},
        BadOption{"Redirect304", {QStringLiteral("--redirect"), QStringLiteral("304")}},
        BadOption{"Charset", {QStringLiteral("--html-charset"), QStringLiteral("no-such-set")}},
        BadOption{"SaveNoDir", {QStringLiteral("--save"), QStringLiteral("/nonexistent/dir")}},
        BadOption{"BlockFileMissing", {QStringLiteral("--block-file"), QStringLiteral("/nonexistent/b")}},
        BadOption{"BlockTwice",
                  {QStringLiteral("--block-text"), QStringLiteral("{}"), QStringLiteral("--block-file"),
                   QStringLiteral("/dev/null")}},
        BadOption{"RawWithoutPath", {QStringLiteral("--raw-reply"), QStringLiteral("x")}},
        BadOption{"RawFileMissing",
                  {QStringLiteral("--raw-reply"), QStringLiteral("/read_config=/nonexistent/r")}},
        BadOption{"Positional", {QStringLiteral("extra")}}),
    [](const ::testing::TestParamInfo<BadOption>& info) { return std::string(info.param.name); });
