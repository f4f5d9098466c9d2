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
extern const QString kBadConfigFormat;
extern const QString kBadRedundant;
extern const QString kBadConfigFile;
extern const QString kCannotOpenFile;
extern const QString kCannotSaveFile;
// A station's write reply that is not a JSON object (an empty reply included).
extern const QString kBadWriteReply;
// A text that had to be a whole number, given in quotes.
extern const QString kNotAnInteger;
} // namespace texts

// Reads a text as a decimal integer the way the panel's configurator always has: optional leading
// blanks, an optional sign, then only digits, within 32 bits. Anything else is a ConversionError.
int strToInt(const QString& text);

// Same, but returns false instead of throwing.
bool tryStrToInt(const QString& text, int& value);

} // namespace zorel8z
