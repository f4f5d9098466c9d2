// The station requests on the wire: TController with the libcurl client against the simulated
// station on 127.0.0.1, which records every request byte for byte.
#include "common/Errors.h"
#include "controller/TController.h"
#include "model/Packing.h"
#include "remote/CurlHttpClient.h"
#include "rules/Messages.h"
#include "sim/StationSim.h"
#include "support/Printers.h"

#include <QStringEncoder>
#include <gtest/gtest.h>
#include <chrono>
#include <thread>

#include <functional>

using namespace zorel8z;
using controller::TController;
using remote::CurlHttpClient;
using sim::StationFaults;
using sim::StationRequest;
using sim::StationSim;

namespace {

const TController ctl;
const QString kAddress = QStringLiteral("127.000.000.001");
const QString kPassword = QStringLiteral("123456");
const std::string kAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
const std::string kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";
const std::string kFormType = "application/x-www-form-urlencoded";

QString U(const char* s) {
    return QString::fromUtf8(s);
}

class StationWire : public ::testing::Test {
protected:
    void SetUp() override {
        station.addPanel(12, kPassword);
        ASSERT_TRUE(station.start()) << station.errorString().toStdString();
        port = station.port();
    }
    void setFaults(const std::function<void(StationFaults&)>& change) {
        StationFaults f = station.faults();
        change(f);
        station.setFaults(f);
    }
    QString query(const QString& address = kAddress) {
        return ctl.SetQueryPPKConf(http, address, port, 12, kPassword, QStringLiteral("1"),
                                   remote::limits::kQueryMs);
    }
    // What a request that must fail raised; empty when it did not fail.
    QString failureOf(const std::function<void()>& request) {
        try {
            request();
        } catch (const Error& e) {
            return e.text().isEmpty() ? QStringLiteral("(empty error text)") : e.text();
        }
        return QString();
    }

    StationSim station;
    CurlHttpClient http;
    int port = 0;
};

void expectFormPost(const StationRequest& r, const std::string& path, const std::string& body) {
    EXPECT_EQ(r.requestLine(), "POST " + path + " HTTP/1.0");
    EXPECT_EQ(r.headerCount("Content-Type"), 1u);
    EXPECT_EQ(r.header("Content-Type"), kFormType);
    EXPECT_EQ(r.header("Accept"), kAccept);
    EXPECT_EQ(r.header("User-Agent"), kUserAgent);
    EXPECT_EQ(r.header("Content-Length"), std::to_string(body.size()));
    EXPECT_EQ(r.headerCount("Expect"), 0u);
    EXPECT_EQ(r.body, body);
}

} // namespace

TEST_F(StationWire, QueryIsAnHttp10FormPostWithTheFixedHeaders) {
    EXPECT_EQ(query(), QStringLiteral("ok"));
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 1u);
    expectFormPost(log[0], "/get_config", "ppk_num=12&pc=123456&block=1");
    EXPECT_EQ(log[0].header("Host"), "127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(log[0].headerCount("Cookie"), 0u);
    // Nothing asks the station to keep the connection open.
    EXPECT_NE(log[0].header("Connection"), "keep-alive");
    EXPECT_EQ(log[0].headerCount("Accept"), 1u);
    EXPECT_EQ(log[0].headerCount("User-Agent"), 1u);
}

struct WireCase {
    const char* name;
    std::function<QString(CurlHttpClient&, int port)> call;
    const char* path;
    const char* body;
    const char* reply;
};

class StationWireBodies : public StationWire, public ::testing::WithParamInterface<WireCase> {};

TEST_P(StationWireBodies, EachOperationSendsItsFieldsInOrder) {
    const QString reply = GetParam().call(http, port);
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 1u);
    expectFormPost(log[0], GetParam().path, GetParam().body);
    EXPECT_EQ(reply, U(GetParam().reply));
}

INSTANTIATE_TEST_SUITE_P(
    Operations, StationWireBodies,
    ::testing::Values(
        WireCase{"Read",
                 [](CurlHttpClient& h, int port) {
                     return ctl.ReadServerConf(h, kAddress, port, 12, QStringLiteral("3"), 5000);
                 },
                 "/read_config", "ppk_num=12&block=3", "no_data"},
        WireCase{"QueryBlock4",
                 [](CurlHttpClient& h, int port) {
                     return ctl.SetQueryPPKConf(h, kAddress, port, 12, kPassword, QStringLiteral("4"), 5000);
                 },
                 "/get_config", "ppk_num=12&pc=123456&block=4", "ok"},
        WireCase{"QueryUnknownPanel",
                 [](CurlHttpClient& h, int port) {
                     return ctl.SetQueryPPKConf(h, kAddress, port, 65535, kPassword, QStringLiteral("1"),
                                                5000);
                 },
                 "/get_config", "ppk_num=65535&pc=123456&block=1", "err"},
        WireCase{"Block1",
                 [](CurlHttpClient& h, int port) {
                     return ctl.WriteConf1(h, kAddress, port, 12, kPassword, QStringLiteral("12"),
                                           QStringLiteral("my apn"), QStringLiteral("010.000.000.001"),
                                           QStringLiteral("15001"), QStringLiteral("a+b&c=d"), 5000);
                 },
                 "/set_config1",
                 "ppk_num=12&pc=123456&n=12&a=my+apn&i=010.000.000.001&p=15001&q=a%2Bb%26c%3Dd",
                 "{\"w_conf\":1}"},
        // The panel's frame cannot hold a Cyrillic APN, so the station refuses it; the bytes still
        // show how it travels.
        WireCase{"Block1Cyrillic",
                 [](CurlHttpClient& h, int port) {
                     return ctl.WriteConf1(h, kAddress, port, 12, kPassword, QStringLiteral("12"), U("апн"),
                                           QStringLiteral("010.000.000.001"), QStringLiteral("15001"),
                                           QString(), 5000);
                 },
                 "/set_config1",
                 "ppk_num=12&pc=123456&n=12&a=%D0%B0%D0%BF%D0%BD&i=010.000.000.001&p=15001&q=",
                 "{\"err_wconf\":2}"},
        WireCase{"Block1WrongPassword",
                 [](CurlHttpClient& h, int port) {
                     return ctl.WriteConf1(h, kAddress, port, 12, QStringLiteral("12345"),
                                           QStringLiteral("12"), QString(), QStringLiteral("000.000.000.000"),
                                           QStringLiteral("0"), QString(), 5000);
                 },
                 "/set_config1", "ppk_num=12&pc=12345&n=12&a=&i=000.000.000.000&p=0&q=", "{\"err_wconf\":1}"},
        WireCase{
            "Block2",
            [](CurlHttpClient& h, int port) {
                return ctl.WriteConf2(h, kAddress, port, 12, kPassword,
                                      model::packUsers(ctl, model::PanelConfig()), 5000);
            },
            "/set_config2",
            // User 1 "1234" in group 1, the other 23 "0000" in group 1: "@" is escaped.
            "ppk_num=12&pc=123456&u=QRSDPPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40"
            "PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40PPP%40",
            "{\"w_conf\":1}"},
        WireCase{"Block3",
                 [](CurlHttpClient& h, int port) {
                     return ctl.WriteConf3(h, kAddress, port, 12, kPassword,
                                           QStringLiteral("123456781234567812345678"), 5000);
                 },
                 "/set_config3", "ppk_num=12&pc=123456&l=123456781234567812345678", "{\"w_conf\":1}"},
        WireCase{
            "Block4",
            [](CurlHttpClient& h, int port) {
                return ctl.WriteConf4(h, kAddress, port, 12, kPassword, QStringLiteral("12345"),
                                      QStringLiteral("54321"), QStringLiteral("11600"),
                                      QStringLiteral("14200"), QStringLiteral("1"), QStringLiteral("30"),
                                      QStringLiteral("45"), QStringLiteral("040"), QStringLiteral("005060"),
                                      QStringLiteral("0"), QStringLiteral("a3"), 5000);
            },
            "/set_config4",
            "ppk_num=12&pc=123456&p1=12345&p2=54321&z=11600&x=14200&g=1&s=30&v=45&f=040&t=005060&h=0&l=a3",
            "{\"w_conf\":1}"}),
    [](const ::testing::TestParamInfo<WireCase>& info) { return std::string(info.param.name); });

TEST_F(StationWire, ZeroPaddedAddressReachesTheDecimalHost) {
    EXPECT_EQ(query(QStringLiteral("127.000.000.001")), QStringLiteral("ok"));
    EXPECT_EQ(query(QStringLiteral("127.  0.  0.  1")), QStringLiteral("ok"));
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].header("Host"), "127.0.0.1:" + std::to_string(port));
    EXPECT_EQ(log[1].header("Host"), "127.0.0.1:" + std::to_string(port));
}

TEST_F(StationWire, GroupsWithLeadingZerosAreNotOctal) {
    // Read as octal, 127.000.000.010 would be 127.0.0.8 and nobody would answer there.
    StationSim other;
    other.addPanel(12, kPassword);
    ASSERT_TRUE(other.start(0, QStringLiteral("127.0.0.10"))) << other.errorString().toStdString();
    EXPECT_EQ(ctl.SetQueryPPKConf(http, QStringLiteral("127.000.000.010"), other.port(), 12, kPassword,
                                  QStringLiteral("1"), 5000),
              QStringLiteral("ok"));
    ASSERT_EQ(other.requests().size(), 1u);
    EXPECT_EQ(other.requests()[0].header("Host"), "127.0.0.10:" + std::to_string(other.port()));
}

TEST_F(StationWire, BadAddressIsRefusedBeforeAnythingIsSent) {
    for (const char* address : {"127.000.000.256", "127.0.0", "", "1O.0.0.1"}) {
        EXPECT_EQ(failureOf([&] { query(QString::fromLatin1(address)); }), rules::msg::kBadRemoteServerIP)
            << address;
    }
    EXPECT_TRUE(station.requests().empty());
}

TEST_F(StationWire, CookiesStayWithTheClientObject) {
    setFaults([](StationFaults& f) { f.setCookie = true; });
    ASSERT_EQ(query(), QStringLiteral("ok"));
    ASSERT_EQ(ctl.ReadServerConf(http, kAddress, port, 12, QStringLiteral("1"), 5000),
              QStringLiteral("no_data"));
    ASSERT_EQ(query(), QStringLiteral("ok"));
    CurlHttpClient other;
    ASSERT_EQ(ctl.SetQueryPPKConf(other, kAddress, port, 12, kPassword, QStringLiteral("1"), 5000),
              QStringLiteral("ok"));

    const auto log = station.requests();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].headerCount("Cookie"), 0u);
    EXPECT_FALSE(log[0].cookieReturned);
    ASSERT_FALSE(log[0].cookieSet.empty());
    // The next requests of the same client carry it back, over connections of their own.
    EXPECT_EQ(log[1].header("Cookie"), log[0].cookieSet);
    EXPECT_TRUE(log[1].cookieReturned);
    EXPECT_TRUE(log[1].cookieSet.empty());
    EXPECT_TRUE(log[2].cookieReturned);
    // Another client object starts without it.
    EXPECT_EQ(log[3].headerCount("Cookie"), 0u);
    EXPECT_FALSE(log[3].cookieReturned);
}

class StationWireRedirect : public StationWire, public ::testing::WithParamInterface<int> {};

TEST_P(StationWireRedirect, IsFollowedWithTheSameForm) {
    setFaults([](StationFaults& f) {
        f.redirectStatus = GetParam();
        f.setCookie = true;
    });
    EXPECT_EQ(query(), QStringLiteral("ok"));
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].status, GetParam());
    EXPECT_EQ(log[1].status, 200);
    for (const auto& r : log)
        expectFormPost(r, "/get_config", "ppk_num=12&pc=123456&block=1");
    // The cookie set with the redirect goes with the request it leads to.
    EXPECT_TRUE(log[1].cookieReturned);
}

INSTANTIATE_TEST_SUITE_P(Statuses, StationWireRedirect, ::testing::Values(301, 302, 307, 308));

TEST_F(StationWire, SeeOtherTurnsIntoAGetWithoutTheFormType) {
    // 303 asks for a GET; the station's endpoints take POST only, so the request fails. The GET
    // must not claim a form body it does not have.
    setFaults([](StationFaults& f) { f.redirectStatus = 303; });
    EXPECT_EQ(failureOf([&] { query(); }), QStringLiteral("HTTP 405"));
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].requestLine(), "GET /get_config HTTP/1.0");
    EXPECT_EQ(log[1].headerCount("Content-Type"), 0u);
    EXPECT_EQ(log[1].body, "");
}

TEST_F(StationWire, ErrorStatusIsAFailure) {
    setFaults([](StationFaults& f) { f.status500 = true; });
    EXPECT_EQ(failureOf([&] { query(); }), QStringLiteral("HTTP 500"));
    ASSERT_EQ(station.requests().size(), 1u);
    EXPECT_EQ(station.requests()[0].status, 500);
}

TEST_F(StationWire, UnknownPathIsAFailure) {
    EXPECT_EQ(failureOf([&] { http.post(station.url() + QStringLiteral("/nowhere"), "a=1", 5000); }),
              QStringLiteral("HTTP 404"));
}

TEST_F(StationWire, DroppedConnectionIsAFailure) {
    setFaults([](StationFaults& f) { f.closeConnection = true; });
    EXPECT_FALSE(failureOf([&] { query(); }).isEmpty());
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].status, 0);
}

TEST_F(StationWire, NoServerIsAFailure) {
    StationSim gone;
    ASSERT_TRUE(gone.start());
    const int deadPort = gone.port();
    gone.stop();
    EXPECT_FALSE(failureOf([&] {
                     ctl.SetQueryPPKConf(http, kAddress, deadPort, 12, kPassword, QStringLiteral("1"), 5000);
                 }).isEmpty());
}

TEST_F(StationWire, AnswerAfterTheTimeLimitIsAFailure) {
    setFaults([](StationFaults& f) { f.slowMs = 60000; });
    EXPECT_FALSE(failureOf([&] {
                     ctl.SetQueryPPKConf(http, kAddress, port, 12, kPassword, QStringLiteral("1"), 200);
                 }).isEmpty());
    // The same client works again once the station is quick.
    setFaults([](StationFaults& f) { f.slowMs = 0; });
    EXPECT_EQ(query(), QStringLiteral("ok"));
}

struct SizeCase {
    qint64 bytes;
    bool accepted;
};

class StationWireBodySize : public StationWire, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(StationWireBodySize, BodyAboveTheLimitIsAFailure) {
    setFaults([](StationFaults& f) { f.replyBytes = GetParam().bytes; });
    if (GetParam().accepted) {
        const QString reply = query();
        // Returned as received: the blanks stay.
        EXPECT_EQ(reply.size(), GetParam().bytes);
        EXPECT_TRUE(reply.startsWith(QStringLiteral("ok  ")));
        EXPECT_EQ(reply.trimmed(), QStringLiteral("ok"));
    } else {
        EXPECT_FALSE(failureOf([&] { query(); }).isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, StationWireBodySize,
                         ::testing::Values(SizeCase{4, true}, SizeCase{remote::limits::kMaxBodyBytes, true},
                                           SizeCase{remote::limits::kMaxBodyBytes + 1, false},
                                           SizeCase{4 * remote::limits::kMaxBodyBytes, false}));

class StationWireCharset : public StationWire, public ::testing::WithParamInterface<const char*> {};

TEST_P(StationWireCharset, PageIsDecodedByTheCharsetItNames) {
    const QString charset = QString::fromLatin1(GetParam());
    setFaults([&](StationFaults& f) {
        f.htmlError = true;
        f.htmlCharset = charset;
    });
    const QString reply = query();
    ASSERT_TRUE(reply.contains(StationSim::kErrorTitle)) << reply.toStdString();
    EXPECT_TRUE(reply.startsWith(QStringLiteral("<html>")));
    EXPECT_THROW(ctl.ParseWriteServerConf(reply), Error);
    // What went over the wire really was in that charset.
    const auto log = station.requests();
    ASSERT_EQ(log.size(), 1u);
    QStringEncoder encoder(GetParam());
    const QByteArray expected = encoder.encode(reply);
    EXPECT_EQ(QByteArray::fromStdString(log[0].reply), expected);
}

INSTANTIATE_TEST_SUITE_P(Charsets, StationWireCharset,
                         ::testing::Values("windows-1251", "UTF-8", "KOI8-U", "ISO-8859-5"));

TEST_F(StationWire, PageWithoutCharsetIsOneCharacterPerByte) {
    setFaults([](StationFaults& f) {
        f.htmlError = true;
        f.htmlCharset.clear();
    });
    const QString reply = query();
    const QByteArray wire = QByteArray::fromStdString(station.requests().at(0).reply);
    EXPECT_EQ(reply.size(), wire.size());
    EXPECT_EQ(reply, QString::fromLatin1(wire));
    EXPECT_FALSE(reply.contains(StationSim::kErrorTitle));
}

TEST_F(StationWire, ShutdownDropsTheRequestUnderWayAndEveryLaterOne) {
    // Without the shutdown this request would wait a minute for its answer and then succeed.
    setFaults([](StationFaults& f) { f.slowMs = 60000; });
    QString failure;
    std::thread worker([&] {
        failure = failureOf([&] { ctl.SetQueryPPKConf(http, kAddress, port, 12, kPassword, QStringLiteral("1"), 0); });
    });
    // Usually the request is on the wire by now; whether it is or not, it must fail.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    http.shutdown();
    worker.join();
    EXPECT_FALSE(failure.isEmpty());
    setFaults([](StationFaults& f) { f.slowMs = 0; });
    EXPECT_EQ(failureOf([&] { query(); }), QStringLiteral("the program is closing"));
}
