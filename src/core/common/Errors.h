#pragma once

#include <QString>
#include <stdexcept>

namespace zorel8z {

// An error raised by an operation with a fixed text that a command catches and shows.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// A block or frame that is not the expected JSON object.
class FormatError : public Error {
public:
    using Error::Error;
};

// A text that had to be an integer and is not.
class ConversionError : public Error {
public:
    using Error::Error;
};

namespace texts {
inline const QString kBadConfigFormat = QStringLiteral("Помилковий формат конфігурації!");
inline const QString kBadRedundant = QStringLiteral("Помилка зчитування резервної IP адреси і порта!");
inline const QString kBadConfigFile = QStringLiteral("Помилковий файл конфігурації!");
inline const QString kCannotOpenFile = QStringLiteral("Не вдалося відкрити файл");
inline const QString kCannotSaveFile = QStringLiteral("Не вдалося зберегти файл");
// A station's write reply that is not a JSON object (an empty reply included).
inline const QString kBadWriteReply =
    QStringLiteral("Помилка запису конфігурації! Перевірте адресу серверу TORV!");
// A text that had to be a whole number, given in quotes.
inline const QString kNotAnInteger = QStringLiteral("Помилкове число: \"%1\"");
} // namespace texts

// Reads a text as a decimal integer the way the panel's configurator always has: optional leading
// blanks, an optional sign, then only digits, within 32 bits. Anything else is a ConversionError.
int strToInt(const QString& text);

// Same, but returns false instead of throwing.
bool tryStrToInt(const QString& text, int& value);

} // namespace zorel8z
