#include "common/Errors.h"

#include <limits>

namespace zorel8z {

bool tryStrToInt(const QString& text, int& value) {
    int i = 0;
    const int n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        return false;
    qint64 acc = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        acc = acc * 10 + (c.unicode() - '0');
        if (acc > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        acc = -acc;
    if (acc > std::numeric_limits<int>::max() || acc < std::numeric_limits<int>::min())
        return false;
    value = int(acc);
    return true;
}

int strToInt(const QString& text) {
    int value = 0;
    if (!tryStrToInt(text, value))
        throw ConversionError(texts::kNotAnInteger.arg(text));
    return value;
}

} // namespace zorel8z
