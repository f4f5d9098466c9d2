// A station that answers what no station should: redirects to other servers, values nested a hundred
// thousand levels deep, letters a file cannot keep. The client and the zorel8z tool against small
// loopback servers of the test's own (and the simulated station as the server a redirect points at).
#include "common/Errors.h"
#include "model/ConfigJson.h"
#include "remote/CurlHttpClient.h"
#include "sim/StationSim.h"
#include "support/LoopbackServer.h"
#include "support/MeasuredRun.h"
#include "support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <mutex>

using namespace zorel8z;
using test::Listener;
using test::LoopbackServer;
using test::MeasuredResult;

namespace {

QString U(const char* s) {
    return QString::fromUtf8(s);
}
const QString kDemo = QStringLiteral(ZOREL_SOURCE_DIR "/examples/demo.json");
const QByteArray kForm = "ppk_num=12&pc=123456&block=1";

QString failureOf(const std::function<QString()>& request, QString* reply = nullptr) {
    try {
        const QString r = request();
        if (reply)
            *reply = r;
    } catch (const Error& e) {
        return e.text();
    }
    return QString();
}

MeasuredResult cli(const QStringList& args) {
    return test::runMeasured(QStringLiteral(ZOREL_CLI_PATH), args);
}

std::string describe(const QStringList& args, const MeasuredResult& r) {
    return (args.join(QLatin1Char(' ')) +
            QStringLiteral(" -> exit %1, peak %2 KiB, stderr: ").arg(r.code).arg(r.peakKiB) + r.err)
        .toStdString();
}

QStringList access(int port, const char* block, int watchdogMs = 10000) {
    return {QStringLiteral("--server"),      QStringLiteral("127.0.0.1:%1").arg(port),
            QStringLiteral("--panel"),       QStringLiteral("57"),
            QStringLiteral("--password"),    QStringLiteral("123456"),
            QStringLiteral("--block"),       QString::fromLatin1(block),
            QStringLiteral("--poll-ms"),     QStringLiteral("50"),
            QStringLiteral("--watchdog-ms"), QString::number(watchdogMs)};
}

// A station that accepts every query and hands `block` over at the first poll, and answers every
// write with `writeReply`.
LoopbackServer::Handler station(const std::string& block, const std::string& writeReply = "{\"w_conf\":1}",
                                const std::string& type = "text/plain; charset=utf-8") {
    return [=](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/get_config")
            res.set_content("ok", "text/plain");
        else if (req.path == "/read_config")
            res.set_content(block, type.c_str());
        else
            res.set_content(writeReply, type.c_str());
    };
}

std::string nested(int levels) {
    return "{\"n\":" + std::string(size_t(levels), '[') + "1" + std::string(size_t(levels), ']') + "}";
}

} // namespace

// The form carries the panel's number, its password and the configuration: a redirect may move it
// along the same station, never to another server.
TEST(HostileStation, RedirectsElsewhereFailAndSendNothingThere) {
    Listener elsewhere;
    ASSERT_GT(elsewhere.port(), 0);
    for (int status : {301, 302, 303, 307, 308}) {
        int selfPort = 0;
        const std::string targets[] = {
            "http://127.0.0.1:" + std::to_string(elsewhere.port()) + "/get_config", // another port
            "http://localhost:%SELF%/get_config",                                   // another host name
            "https://127.0.0.1:%SELF%/get_config",                                  // another scheme
            "//127.0.0.1:" + std::to_string(elsewhere.port()) + "/get_config",      // scheme-relative
        };
        for (std::string target : targets) {
            LoopbackServer server([&](const httplib::Request&, httplib::Response& res) {
                std::string location = target;
                const auto at = location.find("%SELF%");
                if (at != std::string::npos)
                    location.replace(at, 6, std::to_string(selfPort));
                res.status = status;
                res.set_header("Location", location);
            });
            selfPort = server.port();
            remote::CurlHttpClient http;
            const QString error = failureOf([&] {
                return http.post(QStringLiteral("http://127.0.0.1:%1/get_config").arg(server.port()), kForm,
                                 10000);
            });
            EXPECT_TRUE(error.contains(QStringLiteral("redirect to another server refused")))
                << status << " " << target << ": " << error.toStdString();
            EXPECT_EQ(server.requests(), 1) << status << " " << target;
            EXPECT_FALSE(elsewhere.contacted()) << status << " " << target;
        }
    }
}

TEST(HostileStation, RedirectsAlongTheSameStationAreFollowedWithTheForm) {
    for (int status : {301, 302, 307, 308}) {
        for (const char* location :
             {"/moved", "http://127.0.0.1:%SELF%/moved", "HTTP://127.0.0.1:%SELF%/moved"}) {
            int selfPort = 0;
            std::mutex mutex;
            std::vector<std::string> seen;
            LoopbackServer server([&](const httplib::Request& req, httplib::Response& res) {
                const std::lock_guard<std::mutex> lock(mutex);
                seen.push_back(req.method + " " + req.path + " " + req.body);
                if (req.path == "/moved") {
                    res.set_content("ok", "text/plain");
                    return;
                }
                std::string to = location;
                const auto at = to.find("%SELF%");
                if (at != std::string::npos)
                    to.replace(at, 6, std::to_string(selfPort));
                res.status = status;
                res.set_header("Location", to);
            });
            selfPort = server.port();
            remote::CurlHttpClient http;
            QString reply;
            const QString error = failureOf(
                [&] {
                    return http.post(QStringLiteral("http://127.0.0.1:%1/get_config").arg(selfPort), kForm,
                                     10000);
                },
                &reply);
            EXPECT_EQ(error, QString()) << status << " " << location;
            EXPECT_EQ(reply, QStringLiteral("ok")) << status << " " << location;
            const std::lock_guard<std::mutex> lock(mutex);
            EXPECT_EQ(seen, (std::vector<std::string>{"POST /get_config " + kForm.toStdString(),
                                                      "POST /moved " + kForm.toStdString()}))
                << status << " " << location;
        }
    }
}

TEST(HostileStation, ARedirectLoopEnds) {
    LoopbackServer server([](const httplib::Request&, httplib::Response& res) {
        res.status = 307;
        res.set_header("Location", "/again");
    });
    remote::CurlHttpClient http;
    const QString error = failureOf(
        [&] { return http.post(QStringLiteral("http://127.0.0.1:%1/x").arg(server.port()), kForm, 10000); });
    EXPECT_EQ(error, QStringLiteral("HTTP 307: too many redirects"));
    EXPECT_EQ(server.requests(), 16);
}

// A station that sends a read elsewhere: the other server hears nothing, and its answer is not taken as
// the station's.
TEST(HostileStation, TheToolReadsNothingFromWhereARedirectPoints) {
    sim::StationSim other;
    model::PanelConfig cfg;
    QString error;
    QFile demo(kDemo);
    ASSERT_TRUE(demo.open(QIODevice::ReadOnly));
    ASSERT_TRUE(model::configFromJson(demo.readAll(), cfg, error));
    other.addPanel(57, QStringLiteral("123456"), cfg);
    ASSERT_TRUE(other.start());
    LoopbackServer server([&](const httplib::Request& req, httplib::Response& res) {
        res.status = 307;
        res.set_header("Location", other.url().toStdString() + req.path);
    });
    // The query fails, which is a refused query: the read ends with the watchdog.
    const QStringList args = QStringList{QStringLiteral("remote-read")} + access(server.port(), "1", 1000);
    const MeasuredResult r = cli(args);
    ASSERT_TRUE(r.finished) << describe(args, r);
    EXPECT_EQ(r.code, 3) << describe(args, r);
    EXPECT_EQ(r.err, U("ППК не відповідає! Повторіть спробу!\n")) << describe(args, r);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(other.requests().empty());
}

// A block value nested a hundred thousand levels deep (a 200 KB reply) is a broken block, as is a write
// reply nested so; neither may take the tool down.
TEST(HostileStation, NestedRepliesAreBrokenBlocksNotCrashes) {
    QTemporaryDir dir;
    const std::string deep = nested(100000);
    ASSERT_LT(deep.size(), 1024u * 1024u);
    std::string deepObjects;
    for (int k = 0; k < 50000; ++k)
        deepObjects += "{\"a\":";
    deepObjects += "1" + std::string(50000, '}');
    const struct {
        const char* name;
        std::string block;
        std::string writeReply;
        QStringList args;
        QString error;
    } cases[] = {
        {"read of arrays", deep, "", QStringList{QStringLiteral("remote-read")},
         U("Помилковий формат конфігурації!")},
        {"read of objects", "{\"u\":" + deepObjects + "}", "", QStringList{QStringLiteral("remote-read")},
         U("Помилковий формат конфігурації!")},
        {"write reply", "", "{\"err_wconf\":" + std::string(100000, '[') + std::string(100000, ']') + "}",
         QStringList{QStringLiteral("remote-write")},
         U("Помилка запису конфігурації! Перевірте адресу серверу TORV!")},
    };
    for (const auto& c : cases) {
        LoopbackServer server(station(c.block, c.writeReply));
        QStringList args =
            c.args + access(server.port(), c.args[0] == QLatin1String("remote-read") ? "1" : "3");
        if (c.args[0] == QLatin1String("remote-write"))
            args << kDemo;
        const MeasuredResult r = cli(args);
        ASSERT_TRUE(r.finished) << c.name << describe(args, r);
        EXPECT_EQ(r.code, 1) << c.name << " " << describe(args, r);
        EXPECT_EQ(r.err, c.error + QLatin1Char('\n')) << c.name << " " << describe(args, r);
        if (test::kMemoryMeasurable) {
            EXPECT_GT(r.peakKiB, 0) << "no peak measured: GNU time (scripts/setup installs it) is missing";
            EXPECT_LT(r.peakKiB, test::kPeakMemoryBudgetKiB) << c.name << " " << describe(args, r);
        }
    }
}

// A block read from a station may hold what no file of ours can keep: it is not saved half right.
TEST(HostileStation, AReadBlockThatNoFileCanKeepIsNotSaved) {
    QTemporaryDir dir;
    const std::string block =
        "{\"n\":\"57\",\"a\":\"інтернет\",\"i\":\"010.000.000.001\",\"p\":\"5000\",\"q\":\"m2m\"}";
    for (const char* name : {"read.c8z", "read.json", ""}) {
        LoopbackServer server(station(block));
        // Without -o the JSON form goes to standard output, which is as good as a file.
        const QString out = *name ? dir.filePath(QString::fromLatin1(name)) : QString();
        const QStringList args = QStringList{QStringLiteral("remote-read")} + access(server.port(), "1") +
                                 (out.isEmpty() ? QStringList() : QStringList{QStringLiteral("-o"), out});
        const MeasuredResult r = cli(args);
        EXPECT_EQ(r.code, 1) << describe(args, r);
        EXPECT_EQ(r.err, U("Недопустимий символ в APN!\n")) << describe(args, r);
        EXPECT_TRUE(r.out.isEmpty()) << name;
        EXPECT_TRUE(out.isEmpty() || !QFile::exists(out)) << name;
    }
}
