// libcurl is loaded on the first request, not at start: a process that never talks to a station
// never maps it.
#include "remote/CurlHttpClient.h"
#include "remote/CurlLibrary.h"

#include "support/LoopbackServer.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

bool libcurlMapped() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return false;
    return maps.readAll().contains("/libcurl");
}

TEST(CurlLoading, TheFirstRequestLoadsLibcurl) {
    ASSERT_FALSE(libcurlMapped()) << "libcurl is linked into the program";
    zorel8z::remote::CurlHttpClient client;
    EXPECT_FALSE(libcurlMapped());
    EXPECT_FALSE(zorel8z::remote::curlLoaded());

    zorel8z::test::LoopbackServer server([](const httplib::Request& request, httplib::Response& response) {
        response.set_content("got " + request.body, "text/plain");
    });
    const QString reply =
        client.post(QStringLiteral("http://127.0.0.1:%1/").arg(server.port()), QByteArray("x=1"), 10000);

    EXPECT_EQ(reply, QStringLiteral("got x=1"));
    EXPECT_TRUE(zorel8z::remote::curlLoaded());
    EXPECT_TRUE(libcurlMapped());
}

} // namespace
