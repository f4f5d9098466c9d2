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

// The texts declared in Errors.h: defined once here, not in every file that includes it.
namespace zorel8z::texts {

const QString kBadConfigFormat = QStringLiteral("Помилковий формат конфігурації!");
const QString kBadRedundant = QStringLiteral("Помилка зчитування резервної IP адреси і порта!");
const QString kBadConfigFile = QStringLiteral("Помилковий файл конфігурації!");
const QString kCannotOpenFile = QStringLiteral("Не вдалося відкрити файл");
const QString kCannotSaveFile = QStringLiteral("Не вдалося зберегти файл");
const QString kBadWriteReply = QStringLiteral("Помилка запису конфігурації! Перевірте адресу серверу TORV!");
const QString kNotAnInteger = QStringLiteral("Помилкове число: \"%1\"");

} // namespace zorel8z::texts
