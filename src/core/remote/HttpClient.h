#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace zorel8z::remote {

// Time limits of one request, so that a station that never answers cannot keep the commands
// disabled for ever.
namespace limits {
constexpr int kConnectMs = 5000;
constexpr int kQueryMs = 10000;  // "/get_config" and each "/read_config" poll
constexpr int kWriteMs = 30000;  // "/set_config1".."/set_config4"
constexpr qint64 kMaxBodyBytes = 1024 * 1024;
} // namespace limits

// One form field: name and value, sent in the order given.
using FormFields = std::vector<std::pair<QString, QString>>;

// HTML 4.01 form encoding of one name or value: a blank becomes "+", ASCII letters, digits and
// "*-._" stay, every other character becomes "%XX" per byte of its UTF-8 form (upper-case hex).
QByteArray formEncode(const QString& text);
// The fields as "name=value" joined by "&", each part form-encoded.
QByteArray formBody(const FormFields& fields);

// The transport of the station requests: one blocking POST. Implementations are not required to be
// thread-safe; callers put one request at a time on a client.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    // POSTs `body` as "application/x-www-form-urlencoded" to `url` on a connection of its own and
    // returns the reply body, decoded by the charset the reply names (else one character per byte).
    // Throws zorel8z::Error when the server cannot be reached, the connection breaks, the status is
    // not a success, `timeoutMs` passes or the body exceeds limits::kMaxBodyBytes.
    virtual QString post(const QString& url, const QByteArray& body, int timeoutMs) = 0;
    // From any thread: the request under way, and every later one, fails at once. For closing the
    // program without waiting out a request's time limit.
    virtual void shutdown() {}
};

} // namespace zorel8z::remote
