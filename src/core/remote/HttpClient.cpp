#include "remote/HttpClient.h"

namespace zorel8z::remote {

namespace {

bool keptAsIs(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '*' ||
           c == '-' || c == '.' || c == '_';
}

} // namespace

QByteArray formEncode(const QString& text) {
    static const char kHex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (c == ' ') {
            out += '+';
        } else if (keptAsIs(c)) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

QByteArray formBody(const FormFields& fields) {
    QByteArray out;
    for (const auto& [name, value] : fields) {
        if (!out.isEmpty())
            out += '&';
        out += formEncode(name);
        out += '=';
        out += formEncode(value);
    }
    return out;
}

} // namespace zorel8z::remote
