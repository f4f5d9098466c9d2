#pragma once

#include "remote/HttpClient.h"

#include <atomic>

struct curl_slist;

namespace zorel8z::remote {

// The station transport over libcurl. One easy handle lives as long as the client, so the cookies a
// station sets go with every later request; each request still gets a connection of its own. A
// redirect is followed only to the same scheme, host and port; any other is a failed request.
// Not thread-safe: one request at a time (which is how the remote commands use it).
class CurlHttpClient : public HttpClient {
  public:
    // libcurl is loaded and the handle made on the first request, which throws zorel8z::Error when
    // either cannot be had.
    CurlHttpClient();
    ~CurlHttpClient() override;
    CurlHttpClient(const CurlHttpClient&) = delete;
    CurlHttpClient& operator=(const CurlHttpClient&) = delete;

    // A `timeoutMs` of 0 or less sets no limit on the whole request (the connect limit stays).
    QString post(const QString& url, const QByteArray& body, int timeoutMs) override;
    void shutdown() override { m_shutDown = true; }

    // A reply body as text: by the charset its Content-Type names (a name Qt does not know counts as
    // none), else one character per byte; nothing trimmed. `contentType` may be null.
    static QString decodeBody(const QByteArray& body, const char* contentType);

    // The Accept and User-Agent the station's access logs have always shown for this configurator.
    static const char* const kAccept;
    static const char* const kUserAgent;

  private:
    void ensureHandle();

    std::atomic<bool> m_shutDown{false};
    void* m_curl = nullptr; // CURL, which libcurl declares as void
    curl_slist* m_headers = nullptr;
};

} // namespace zorel8z::remote
