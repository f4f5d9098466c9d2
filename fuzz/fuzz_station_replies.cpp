// What the station sends back to a write, and the form encoding of what is sent to it.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "controller/TController.h"
#include "remote/HttpClient.h"

#include <QByteArray>
#include <cstdlib>

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const controller::TController ctl;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // A reply body may be anything: a number or one of the expected errors, never a crash.
    try {
        ctl.ParseWriteServerConf(QString::fromUtf8(bytes));
    } catch (const Error&) {
    }

    // The encoding keeps only the safe characters and decodes back to the same text.
    const QString text = QString::fromUtf8(bytes);
    const QByteArray encoded = remote::formEncode(text);
    for (char c : encoded) {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                          c == '*' || c == '-' || c == '.' || c == '_' || c == '+' || c == '%';
        if (!safe)
            std::abort();
    }
    // Compared as UTF-8 bytes: QString::fromUtf8 drops a leading byte-order mark, so a text that
    // itself begins with U+FEFF would not come back through it, though the bytes sent are right.
    QByteArray plus = encoded;
    plus.replace('+', ' ');
    if (QByteArray::fromPercentEncoding(plus) != text.toUtf8())
        std::abort();
    return 0;
}
