// The station requests as TController builds them (URL, field order, form encoding) and the decoder
// of a write reply. The transport is a recorder; the wire itself is tested against the station
// simulator in tests/station.
#include "common/Errors.h"
#include "controller/TController.h"
#include "remote/HttpClient.h"
#include "rules/Messages.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

#include <functional>

using namespace zorel8z;
using controller::TController;

namespace {

const TController ctl;

QString U(const char* s) {
    return QString::fromUtf8(s);
}

class RecordingClient : public remote::HttpClient {
public:
    QString post(const QString& url, const QByteArray& body, int timeoutMs) override {
        ++calls;
        lastUrl = url;
        lastBody = body;
        lastTimeout = timeoutMs;
        return reply;
    }
    int calls = 0;
    QString lastUrl;
    QByteArray lastBody;
    int lastTimeout = -1;
    QString reply = QStringLiteral("reply text");
};

} // namespace

// --- Form encoding ---------------------------------------------------------------------------------

struct EncodeCase {
    const char* text; // UTF-8
    const char* encoded;
};

class FormEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(FormEncode, EncodesAsHtmlFormData) {
    EXPECT_EQ(remote::formEncode(U(GetParam().text)), QByteArray(GetParam().encoded));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormEncode,
    ::testing::Values(EncodeCase{"", ""}, EncodeCase{"internet", "internet"},
                      EncodeCase{"AZaz09*-._", "AZaz09*-._"}, EncodeCase{"my apn", "my+apn"},
                      EncodeCase{"  ", "++"}, EncodeCase{"a+b", "a%2Bb"}, EncodeCase{"a&b=c", "a%26b%3Dc"},
                      EncodeCase{"100%", "100%25"}, EncodeCase{"~!'()", "%7E%21%27%28%29"},
                      EncodeCase{"/:?#", "%2F%3A%3F%23"}, EncodeCase{"\"\\", "%22%5C"},
                      // A Cyrillic letter is two bytes in UTF-8, each escaped in upper-case hex.
                      EncodeCase{"Ж", "%D0%96"}, EncodeCase{"apn Ї", "apn+%D0%87"},
                      EncodeCase{"\xE2\x82\xAC", "%E2%82%AC"}, EncodeCase{"\t\r\n", "%09%0D%0A"},
                      EncodeCase{"\x7F", "%7F"}, EncodeCase{"\xC3\xBF", "%C3%BF"}));

TEST(FormBody, JoinsEncodedFieldsInOrder) {
    EXPECT_EQ(remote::formBody({}), QByteArray());
    EXPECT_EQ(remote::formBody({{QStringLiteral("pc"), QString()}}), QByteArray("pc="));
    EXPECT_EQ(remote::formBody({{QStringLiteral("z"), QStringLiteral("1")},
                                {QStringLiteral("a"), QStringLiteral("x y")},
                                {QStringLiteral("a b"), QStringLiteral("&")}}),
              QByteArray("z=1&a=x+y&a+b=%26"));
}

// --- Requests --------------------------------------------------------------------------------------

struct RequestCase {
    const char* name;
    std::function<QString(RecordingClient&)> call;
    const char* url;
    const char* body;
    int timeoutMs;
};

class ServerRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(ServerRequest, PostsTheFieldsInTheirOrderToTheEndpoint) {
    RecordingClient http;
    const QString reply = GetParam().call(http);
    EXPECT_EQ(http.calls, 1);
    EXPECT_EQ(http.lastUrl, QString::fromLatin1(GetParam().url));
    EXPECT_EQ(http.lastBody, QByteArray(GetParam().body));
    EXPECT_EQ(http.lastTimeout, GetParam().timeoutMs);
    EXPECT_EQ(reply, http.reply);
}

const QString kIP = QStringLiteral("127.000.000.001");

INSTANTIATE_TEST_SUITE_P(
    Operations, ServerRequest,
    ::testing::Values(
        RequestCase{"Query",
                    [](RecordingClient& h) {
                        return ctl.SetQueryPPKConf(h, kIP, 15001, 12, QStringLiteral("123456"),
                                                   QStringLiteral("1"), 10000);
                    },
                    "http://127.0.0.1:15001/get_config", "ppk_num=12&pc=123456&block=1", 10000},
        RequestCase{
            "Read",
            [](RecordingClient& h) { return ctl.ReadServerConf(h, kIP, 15001, 12, QStringLiteral("3"), 7); },
            "http://127.0.0.1:15001/read_config", "ppk_num=12&block=3", 7},
        RequestCase{"Block1",
                    [](RecordingClient& h) {
                        return ctl.WriteConf1(h, kIP, 15001, 65535, QStringLiteral("12 4"),
                                              QStringLiteral("57"), U("my apn Ж"),
                                              QStringLiteral("010.000.000.001"), QStringLiteral("15002"),
                                              QStringLiteral("apn2"), 30000);
                    },
                    "http://127.0.0.1:15001/set_config1",
                    "ppk_num=65535&pc=12+4&n=57&a=my+apn+%D0%96&i=010.000.000.001&p=15002&q=apn2", 30000},
        RequestCase{"Block2",
                    [](RecordingClient& h) {
                        return ctl.WriteConf2(h, kIP, 1, 0, QStringLiteral("pw"), QStringLiteral("AQRS@PPP"),
                                              5);
                    },
                    "http://127.0.0.1:1/set_config2", "ppk_num=0&pc=pw&u=AQRS%40PPP", 5},
        RequestCase{"Block3",
                    [](RecordingClient& h) {
                        return ctl.WriteConf3(h, kIP, 80, 7, QStringLiteral("1"),
                                              QStringLiteral("100100100100100100100100"), 5);
                    },
                    "http://127.0.0.1:80/set_config3", "ppk_num=7&pc=1&l=100100100100100100100100", 5},
        RequestCase{
            "Block4",
            [](RecordingClient& h) {
                return ctl.WriteConf4(h, kIP, 15001, 12, QStringLiteral("123456"), QStringLiteral("12345"),
                                      QStringLiteral("54321"), QStringLiteral("11600"),
                                      QStringLiteral("14200"), QStringLiteral("1"), QStringLiteral("30"),
                                      QStringLiteral("45"), QStringLiteral("040"), QStringLiteral("005060"),
                                      QStringLiteral("0"), QStringLiteral("a3"), 30000);
            },
            "http://127.0.0.1:15001/set_config4",
            "ppk_num=12&pc=123456&p1=12345&p2=54321&z=11600&x=14200&g=1&s=30&v=45&f=040&t=005060&h=0&l=a3",
            30000}),
    [](const ::testing::TestParamInfo<RequestCase>& info) { return std::string(info.param.name); });

// --- Server address --------------------------------------------------------------------------------

struct HostCase {
    const char* field;
    const char* host; // nullptr: refused
};

class ServerAddress : public ::testing::TestWithParam<HostCase> {};

TEST_P(ServerAddress, GroupsAreReadAsDecimal) {
    RecordingClient http;
    const QString field = QString::fromLatin1(GetParam().field);
    if (!GetParam().host) {
        try {
            ctl.ReadServerConf(http, field, 15001, 1, QStringLiteral("1"), 1000);
            FAIL() << "no error for " << GetParam().field;
        } catch (const Error& e) {
            EXPECT_EQ(e.text(), rules::msg::kBadRemoteServerIP);
        }
        EXPECT_EQ(http.calls, 0);
        return;
    }
    ctl.ReadServerConf(http, field, 15001, 1, QStringLiteral("1"), 1000);
    EXPECT_EQ(http.lastUrl, QStringLiteral("http://") + QString::fromLatin1(GetParam().host) +
                                QStringLiteral(":15001/read_config"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerAddress,
    ::testing::Values(
        // Zero-padded groups that a resolver would read as octal (8.0.0.1, 8.8.8.8).
        HostCase{"010.000.000.001", "10.0.0.1"}, HostCase{"010.010.010.010", "10.10.10.10"},
        HostCase{"127.000.000.001", "127.0.0.1"}, HostCase{"192.168.001.020", "192.168.1.20"},
        HostCase{"255.255.255.255", "255.255.255.255"},
        // Blanks the field's input mask leaves in place of missing digits.
        HostCase{" 10.  0.  0.  1", "10.0.0.1"}, HostCase{"10 .0  .0  .1  ", "10.0.0.1"},
        HostCase{"1 0.0.0.1", "10.0.0.1"}, HostCase{"10...1", "10.0.0.1"}, HostCase{"", nullptr},
        // An empty field names no host (Linux would take it for this machine).
        HostCase{"   .   .   .   ", nullptr}, HostCase{"000.000.000.000", nullptr},
        HostCase{"0.0.0.1", "0.0.0.1"}, HostCase{"256.0.0.1", nullptr}, HostCase{"10.0.0", nullptr},
        HostCase{"10.0.0.1.5", nullptr}, HostCase{"a.b.c.d", nullptr}, HostCase{"10.0.0.-1", nullptr},
        HostCase{"station.example", nullptr}));

TEST(ServerAddressRefused, EveryOperationRefusesBeforeSending) {
    RecordingClient http;
    const QString bad = QStringLiteral("300.000.000.001");
    const QString x = QStringLiteral("1");
    const std::function<void()> calls[] = {
        [&] { ctl.SetQueryPPKConf(http, bad, 1, 1, x, x, 1); },
        [&] { ctl.ReadServerConf(http, bad, 1, 1, x, 1); },
        [&] { ctl.WriteConf1(http, bad, 1, 1, x, x, x, x, x, x, 1); },
        [&] { ctl.WriteConf2(http, bad, 1, 1, x, x, 1); },
        [&] { ctl.WriteConf3(http, bad, 1, 1, x, x, 1); },
        [&] { ctl.WriteConf4(http, bad, 1, 1, x, x, x, x, x, x, x, x, x, x, x, x, 1); },
    };
    for (const auto& call : calls)
        EXPECT_THROW(call(), Error);
    EXPECT_EQ(http.calls, 0);
}

TEST(ServerRequestFailure, TransportErrorsReachTheCaller) {
    class FailingClient : public remote::HttpClient {
    public:
        QString post(const QString&, const QByteArray&, int) override {
            throw Error(QStringLiteral("HTTP 500"));
        }
    } http;
    try {
        ctl.SetQueryPPKConf(http, kIP, 15001, 1, QStringLiteral("1"), QStringLiteral("1"), 1);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("HTTP 500"));
    }
}

// --- Write reply -----------------------------------------------------------------------------------

struct ReplyCase {
    const char* reply;
    int result;
};

class WriteReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(WriteReply, FirstOfTheTwoNamesDecides) {
    EXPECT_EQ(ctl.ParseWriteServerConf(U(GetParam().reply)), GetParam().result) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteReply,
    ::testing::Values(
        ReplyCase{"{}", 0}, ReplyCase{"{\"w_conf\":1}", 0}, ReplyCase{"{\"w_conf\":\"1\"}", 0},
        ReplyCase{"{\"w_conf\":null}", 0}, ReplyCase{"{\"err_wconf\":1}", 1},
        ReplyCase{"{\"err_wconf\":7}", 7}, ReplyCase{"{\"err_wconf\":-3}", -3},
        ReplyCase{"{\"err_wconf\":0}", 0}, ReplyCase{"{\"err_wconf\":2,\"w_conf\":1}", 2},
        ReplyCase{"{\"w_conf\":1,\"err_wconf\":1}", 0}, ReplyCase{"{\"other\":5,\"err_wconf\":4}", 4},
        ReplyCase{"{\"err_conf\":1}", 0}, ReplyCase{"{\"W_CONF\":1}", 0},
        // Duplicates: the first one counts.
        ReplyCase{"{\"err_wconf\":3,\"err_wconf\":1}", 3}, ReplyCase{" \r\n{ \"err_wconf\" : 5 }\r\n", 5},
        ReplyCase{"{\"w_conf\":{\"err_wconf\":9}}", 0}, ReplyCase{"{\"x\":{\"err_wconf\":9}}", 0}));

class WriteReplyRefused : public ::testing::TestWithParam<const char*> {};

TEST_P(WriteReplyRefused, IsAWriteError) {
    try {
        ctl.ParseWriteServerConf(U(GetParam()));
        FAIL() << "no error for " << GetParam();
    } catch (const ConversionError&) {
        FAIL() << "conversion error for " << GetParam();
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), U("Помилка запису конфігурації! Перевірте адресу серверу TORV!"));
        EXPECT_EQ(e.text(), texts::kBadWriteReply);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteReplyRefused,
                         ::testing::Values("", "no_data", "ok", "[]", "[{\"w_conf\":1}]", "1", "\"w_conf\"",
                                           "null", "{\"w_conf\":1", "{\"w_conf\":1}}", "{} x",
                                           "<html><body>500</body></html>", " "));

class WriteReplyNotANumber : public ::testing::TestWithParam<const char*> {};

TEST_P(WriteReplyNotANumber, FailsTheConversion) {
    try {
        ctl.ParseWriteServerConf(U(GetParam()));
        FAIL() << "no error for " << GetParam();
    } catch (const ConversionError& e) {
        EXPECT_FALSE(e.text().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteReplyNotANumber,
                         ::testing::Values("{\"err_wconf\":\"1\"}", "{\"err_wconf\":1.5}",
                                           "{\"err_wconf\":null}", "{\"err_wconf\":true}",
                                           "{\"err_wconf\":[1]}", "{\"err_wconf\":99999999999}"));

TEST(WriteReplyConversion, TextIsThatOfTheConversion) {
    try {
        ctl.ParseWriteServerConf(QStringLiteral("{\"err_wconf\":\"1\"}"));
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), texts::kNotAnInteger.arg(QStringLiteral("\"1\"")));
    }
}
