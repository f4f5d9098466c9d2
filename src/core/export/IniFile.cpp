#include "export/IniFile.h"

#include "common/Errors.h"
#include "model/FileAccess.h"
#include "platform/Platform.h"

#include <QFile>
#include <QFileInfo>
#include <utility>

namespace zorel8z::exporting {

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

IniFile::IniFile(QString path, QByteArray codePage)
    : m_path(std::move(path)), m_codePage(std::move(codePage)) {}

// The station software reads the file in the Windows ANSI code page of a Cyrillic system.
QByteArray IniFile::encode(const QString& text) const {
    return platform::encodeCodePage(m_codePage, text);
}

QString IniFile::decode(const QByteArray& bytes) const {
    return platform::decodeCodePage(m_codePage, bytes);
}

QString IniFile::fold(const QString& name) {
    return name.trimmed().toCaseFolded();
}

IniFile::Line IniFile::parse(const QByteArray& text, const QByteArray& eol) const {
    Line line{text, eol, Kind::Other, {}};
    qsizetype start = 0;
    while (start < text.size() && isBlank(text[start]))
        ++start;
    if (start < text.size() && text[start] == '[') {
        // Like Windows, the name runs to the last ']' of the line; a header without one is no header.
        const qsizetype end = text.lastIndexOf(']');
        if (end > start) {
            line.kind = Kind::Section;
            line.name = fold(decode(text.mid(start + 1, end - start - 1)));
        }
        return line;
    }
    const qsizetype eq = text.indexOf('=');
    if (eq >= 0) {
        line.kind = Kind::Key;
        line.name = fold(decode(text.left(eq)));
    }
    return line;
}

void IniFile::load() {
    m_lines.clear();
    const QFileInfo info(m_path);
    if (info.exists()) {
        // A FIFO or a device would wait for ever or never end, and a huge file is no export of ours:
        // refused before a byte is read.
        if (!info.isFile())
            refuseSpecial(info);
        if (info.size() > model::files::kMaxFileBytes)
            cannotOpen(model::files::kFileTooBig.arg(info.size()));
        // A file we cannot read back would be replaced by our keys alone, so refuse instead.
        QByteArray data;
        QString reason;
        if (!model::readSmallFile(m_path, data, reason))
            fail();
        qsizetype pos = 0;
        while (pos < data.size()) {
            qsizetype end = pos;
            while (end < data.size() && data[end] != '\r' && data[end] != '\n')
                ++end;
            qsizetype next = end;
            if (next < data.size() && data[next] == '\r')
                ++next;
            if (next < data.size() && data[next] == '\n')
                ++next;
            m_lines.push_back(parse(data.mid(pos, end - pos), data.mid(end, next - end)));
            pos = next;
        }
        // A UTF-8 byte order mark must not hide a section header on the first line.
        if (!m_lines.empty() && m_lines.front().text.startsWith("\xEF\xBB\xBF")) {
            Line first = parse(m_lines.front().text.mid(3), m_lines.front().eol);
            first.text = m_lines.front().text;
            m_lines.front() = std::move(first);
        }
    }
    m_loaded = true;
}

void IniFile::insert(std::size_t at, Line line) {
    // The line before the new one may be an unterminated last line of the file.
    if (at > 0 && m_lines[at - 1].eol.isEmpty())
        m_lines[at - 1].eol = kCrLf;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    // An encoder that does not exist gives empty bytes for every text, without an error of its own.
    if (!platform::hasCodePage(m_codePage))
        throw Error(texts::kNoCodePage.arg(QString::fromLatin1(m_codePage)));
    if (!m_loaded)
        load();
    // Matched as they will read back from the file, so a character that Windows-1251 lacks still
    // finds the key written before.
    const QString wantedSection = fold(decode(encode(section)));
    const QString wantedKey = fold(decode(encode(key)));

    // The first section of that name counts, as with Windows.
    std::size_t header = m_lines.size();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && m_lines[i].name == wantedSection) {
            header = i;
            break;
        }
    }

    if (header == m_lines.size()) {
        insert(m_lines.size(), parse("[" + encode(section) + "]", kCrLf));
        insert(m_lines.size(), parse(encode(key) + "=" + encode(value), kCrLf));
    } else {
        std::size_t lastKey = header;
        bool replaced = false;
        for (std::size_t i = header + 1; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
            Line& line = m_lines[i];
            if (line.kind != Kind::Key)
                continue;
            if (line.name == wantedKey) {
                // The key keeps its spelling from the file; only its value changes.
                const QByteArray name = line.text.left(line.text.indexOf('=')).trimmed();
                line.text = name + "=" + encode(value);
                line.eol = kCrLf;
                replaced = true;
                break;
            }
            lastKey = i;
        }
        if (!replaced)
            insert(lastKey + 1, parse(encode(key) + "=" + encode(value), kCrLf));
    }
    try {
        save();
    } catch (const Error&) {
        // Read the file again on the next write, so memory never claims more than the file holds.
        m_loaded = false;
        throw;
    }
}

void IniFile::save() const {
    QByteArray data;
    for (const Line& line : m_lines) {
        data += line.text;
        data += line.eol;
    }
    // Rewritten in place rather than through a temporary file: a write goes out per key, and the keys
    // written before a failing one must stay in the file.
    // Opening a FIFO for writing would wait for a reader; one put in place since the file was read
    // is refused too.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile())
        refuseSpecial(info);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail();
    if (file.write(data) != data.size() || !file.flush())
        fail();
    file.close();
    if (file.error() != QFileDevice::NoError)
        fail();
}

void IniFile::fail() const {
    throw Error(texts::kUnableToWrite.arg(m_path));
}

void IniFile::refuseSpecial(const QFileInfo& info) const {
    // A folder simply cannot be written, as ever.
    if (info.isDir())
        fail();
    cannotOpen(model::files::kNotRegularFile);
}

void IniFile::cannotOpen(const QString& reason) const {
    throw Error(zorel8z::texts::kCannotOpenFile + QStringLiteral("\r\n") + reason);
}

} // namespace zorel8z::exporting

// The texts declared in IniFile.h: defined once here, not in every file that includes it.
namespace zorel8z::exporting::texts {

const QString kUnableToWrite = QStringLiteral("Unable to write to %1");
const QString kNoCodePage = QStringLiteral("Кодування %1 недоступне: файл не записано");

} // namespace zorel8z::exporting::texts
