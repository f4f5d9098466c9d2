#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <vector>

namespace zorel8z::exporting {

namespace texts {
extern const QString kUnableToWrite;
// The Qt in use cannot encode the file's code page: every name would be written as nothing.
extern const QString kNoCodePage;
} // namespace texts

// A profile (INI) file written key by key the way the Windows profile functions do it: sections and
// keys keep the order of their first write, an existing key (section and key names matched without
// regard to case) gets its value replaced where it stands, a new key goes after the last key of its
// section, a new section goes at the end. Lines written end in CR LF and are Windows-1251 text; lines
// the writer does not touch are kept byte for byte, whatever their encoding or line end.
class IniFile {
  public:
    // `codePage` is for tests that need a code page this Qt lacks.
    explicit IniFile(QString path, QByteArray codePage = QByteArrayLiteral("windows-1251"));

    const QString& path() const { return m_path; }

    // Writes one value and rewrites the file at once. Throws Error "Unable to write to <path>" when the
    // file cannot be read back, created or written; values written before stay in the file. Throws
    // Error kNoCodePage, before the file is touched, when the code page cannot be encoded. An
    // existing file above a megabyte or one that is not a regular file (FIFO, device) is refused with
    // "Не вдалося відкрити файл", CR LF and the reason, before anything is read or written.
    void writeString(const QString& section, const QString& key, const QString& value);

  private:
    enum class Kind { Other, Section, Key };
    struct Line {
        QByteArray text; // without its line end
        QByteArray eol;  // "\r\n", "\n", "\r" or empty for an unterminated last line
        Kind kind = Kind::Other;
        QString name; // section or key name, case-folded, for matching
    };

    void load();
    void save() const;
    [[noreturn]] void fail() const;
    [[noreturn]] void cannotOpen(const QString& reason) const;
    [[noreturn]] void refuseSpecial(const QFileInfo& info) const;
    Line parse(const QByteArray& text, const QByteArray& eol) const;
    QByteArray encode(const QString& text) const;
    QString decode(const QByteArray& bytes) const;
    static QString fold(const QString& name);
    void insert(std::size_t at, Line line);

    QString m_path;
    QByteArray m_codePage;
    bool m_loaded = false;
    std::vector<Line> m_lines;
};

} // namespace zorel8z::exporting
