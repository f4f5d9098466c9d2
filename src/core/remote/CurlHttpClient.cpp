#include "remote/CurlHttpClient.h"

#include "common/Errors.h"
#include "platform/Platform.h"
#include "remote/CurlLibrary.h"

#include <QByteArrayList>

namespace zorel8z::remote {

const char* const CurlHttpClient::kAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
const char* const CurlHttpClient::kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

namespace {

struct Sink {
    QByteArray body;
    bool tooBig = false;
};

size_t collect(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (qint64(sink->body.size()) + qint64(n) > limits::kMaxBodyBytes) {
        sink->tooBig = true;
        return 0; // makes libcurl end the transfer with a write error
    }
    sink->body.append(data, qsizetype(n));
    return n;
}

// Polled by libcurl while a transfer runs: a non-zero answer aborts it.
int abortWhenShutDown(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

// The charset parameter of a Content-Type value, without quotes; empty when there is none.
QByteArray charsetOf(const char* contentType) {
    if (!contentType)
        return {};
    const QList<QByteArray> parts = QByteArray(contentType).split(';');
    for (qsizetype k = 1; k < parts.size(); ++k) {
        const QByteArray param = parts[k].trimmed();
        const qsizetype eq = param.indexOf('=');
        if (eq < 0 || param.left(eq).trimmed().toLower() != "charset")
            continue;
        QByteArray value = param.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return {};
}

constexpr int kMaxRedirects = 15;

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Scheme, host and port of a URL as libcurl reads it (the default port filled in); empty when the
// URL does not parse.
QByteArray originOf(const char* url) {
    CURLU* parsed = curlApi().url();
    if (!parsed)
        return {};
    QByteArray origin;
    if (curlApi().url_set(parsed, CURLUPART_URL, url, 0) == CURLUE_OK) {
        for (const CURLUPart part : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT}) {
            char* text = nullptr;
            if (curlApi().url_get(parsed, part, &text, CURLU_DEFAULT_PORT) != CURLUE_OK) {
                origin.clear();
                break;
            }
            origin += QByteArray(text).toLower() + '|';
            curlApi().free(text);
        }
    }
    curlApi().url_cleanup(parsed);
    return origin;
}

bool sameOrigin(const char* from, const char* to) {
    const QByteArray origin = originOf(from);
    return !origin.isEmpty() && origin == originOf(to);
}

template <typename T> void setOpt(CURL* curl, CURLoption option, T value) {
    const CURLcode rc = curlApi().easy_setopt(curl, option, value);
    if (rc != CURLE_OK)
        throw Error(QStringLiteral("libcurl: ") + QString::fromUtf8(curlApi().easy_strerror(rc)));
}

} // namespace

QString CurlHttpClient::decodeBody(const QByteArray& body, const char* contentType) {
    const QByteArray charset = charsetOf(contentType);
    if (!charset.isEmpty() && platform::hasCodePage(charset))
        return platform::decodeCodePage(charset, body);
    return QString::fromLatin1(body);
}

CurlHttpClient::CurlHttpClient() = default;

CurlHttpClient::~CurlHttpClient() {
    // Nothing to give back when no request was ever made (libcurl was then never loaded).
    if (m_curl)
        curlApi().easy_cleanup(m_curl);
    if (m_headers)
        curlApi().slist_free_all(m_headers);
}

void CurlHttpClient::ensureHandle() {
    if (m_curl)
        return;
    const CurlApi& api = curlApi();
    if (!m_headers) {
        m_headers = api.slist_append(nullptr, (QByteArray("Accept: ") + kAccept).constData());
        if (!m_headers)
            throw Error(QStringLiteral("libcurl: out of memory"));
    }
    m_curl = api.easy_init();
    if (!m_curl)
        throw Error(QStringLiteral("libcurl: cannot create a handle"));
    // An empty cookie file starts the cookie engine without reading any file; the cookies then stay
    // with this handle.
    api.easy_setopt(m_curl, CURLOPT_COOKIEFILE, "");
}

QString CurlHttpClient::post(const QString& url, const QByteArray& body, int timeoutMs) {
    if (m_shutDown)
        throw Error(QStringLiteral("the program is closing"));
    ensureHandle();
    CURL* curl = m_curl;
    const QByteArray urlBytes = url.toUtf8();
    Sink sink;
    char errorText[CURL_ERROR_SIZE] = {};

    setOpt(curl, CURLOPT_URL, urlBytes.constData());
    setOpt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    setOpt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    // The station is reached directly; a proxy from the environment would be a surprise here.
    setOpt(curl, CURLOPT_PROXY, "");
    setOpt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    // Every request on a connection of its own, closed when the request ends.
    setOpt(curl, CURLOPT_FRESH_CONNECT, 1L);
    setOpt(curl, CURLOPT_FORBID_REUSE, 1L);
    // POSTFIELDS also sets Content-Type: application/x-www-form-urlencoded. Putting it in the header
    // list instead would carry it into a GET that a 303 redirect asks for.
    setOpt(curl, CURLOPT_POST, 1L);
    setOpt(curl, CURLOPT_POSTFIELDS, body.constData());
    setOpt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    setOpt(curl, CURLOPT_HTTPHEADER, m_headers);
    setOpt(curl, CURLOPT_USERAGENT, kUserAgent);
    // Redirects are followed here, not by libcurl: each one is looked at before anything goes there.
    setOpt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    // Worker threads must not get SIGALRM from the resolver's time-out.
    setOpt(curl, CURLOPT_NOSIGNAL, 1L);
    setOpt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits::kConnectMs));
    setOpt(curl, CURLOPT_TIMEOUT_MS, long(timeoutMs > 0 ? timeoutMs : 0));
    setOpt(curl, CURLOPT_WRITEFUNCTION, &collect);
    setOpt(curl, CURLOPT_WRITEDATA, static_cast<void*>(&sink));
    setOpt(curl, CURLOPT_ERRORBUFFER, errorText);
    setOpt(curl, CURLOPT_XFERINFOFUNCTION, &abortWhenShutDown);
    setOpt(curl, CURLOPT_XFERINFODATA, static_cast<void*>(&m_shutDown));
    setOpt(curl, CURLOPT_NOPROGRESS, 0L);

    // The buffer and the body are locals: leave no pointers to them in the handle, however this ends.
    struct Release {
        CURL* curl;
        ~Release() {
            curlApi().easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
            curlApi().easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
            curlApi().easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
        }
    } release{curl};

    long status = 0;
    for (int hop = 0;; ++hop) {
        sink = Sink();
        errorText[0] = 0;
        const CURLcode rc = curlApi().easy_perform(curl);
        if (sink.tooBig)
            throw Error(QStringLiteral("reply body larger than %1 bytes").arg(limits::kMaxBodyBytes));
        if (rc != CURLE_OK) {
            const QString detail =
                errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curlApi().easy_strerror(rc));
            throw Error(detail);
        }
        curlApi().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        const char* location = nullptr;
        curlApi().easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        if (!isRedirect(status) || !location)
            break;
        // The form carries the panel number, its password and the configuration: it goes to the
        // station that was asked and nowhere else.
        if (!sameOrigin(urlBytes.constData(), location))
            throw Error(QStringLiteral("HTTP %1: redirect to another server refused (%2)")
                            .arg(status)
                            .arg(QString::fromUtf8(location)));
        if (hop >= kMaxRedirects)
            throw Error(QStringLiteral("HTTP %1: too many redirects").arg(status));
        const QByteArray next(location);
        setOpt(curl, CURLOPT_URL, next.constData());
        // A moved endpoint (301, 302, 307, 308) still wants the form; only 303 asks for a GET.
        if (status == 303)
            setOpt(curl, CURLOPT_HTTPGET, 1L);
    }
    if (status < 200 || status > 299)
        throw Error(QStringLiteral("HTTP %1").arg(status));

    const char* contentType = nullptr;
    curlApi().easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType);
    return decodeBody(sink.body, contentType);
}

} // namespace zorel8z::remote
