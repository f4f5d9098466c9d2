// The export writer on an existing .conf of any content: one key written into it.
//
// Properties: a file above a megabyte is refused with its reason and left as it was; otherwise the
// lines of the old file stay, byte for byte and in order, with at most the one line of that key
// replaced; and writing the same key again changes nothing (the writer finds what it wrote).
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "export/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace zorel8z;

namespace {

// The file's lines without their ends, split as the writer splits them (CR LF, LF or CR).
QList<QByteArray> linesOf(const QByteArray& data) {
    QList<QByteArray> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\r' && data[end] != '\n')
            ++end;
        lines << data.mid(pos, end - pos);
        if (end < data.size() && data[end] == '\r')
            ++end;
        if (end < data.size() && data[end] == '\n')
            ++end;
        pos = end;
    }
    return lines;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    fuzz::Input in(data, size);
    // Names and value from the input too, in the characters an export writes.
    const auto name = [&](const char* banned) {
        QString text = QString::fromLatin1(in.untilZero().left(12));
        for (const char* b = banned; *b; ++b)
            text.remove(QLatin1Char(*b));
        return text.trimmed();
    };
    const QString section = name("\r\n]");
    const QString key = name("\r\n=");
    const QString value = name("\r\n");
    const QByteArray old = in.rest();
    if (section.isEmpty() || key.isEmpty() || key.startsWith(QLatin1Char('[')))
        return 0;

    const QString path = dir.filePath(QStringLiteral("object.conf"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(old) != old.size())
            return 0;
    }
    QString error;
    try {
        exporting::IniFile(path).writeString(section, key, value);
    } catch (const Error& e) {
        error = e.text();
    }
    const QByteArray after = readAll(path);
    if (old.size() > 1024 * 1024) {
        fuzz::require(
            error ==
                QStringLiteral("Не вдалося відкрити файл\r\nФайл більший за 1 МБ (%1 байт)").arg(old.size()),
            "a huge file is refused with its size");
        fuzz::require(after == old, "a huge file stays as it was");
        return 0;
    }
    fuzz::require(error.isEmpty(), "a file of ours takes the key");

    // The old lines stay as they were: one of them replaced (the key's value), or one line put in
    // (a key in its section), or two at the end (a new section and its key).
    const QList<QByteArray> before = linesOf(old);
    const QList<QByteArray> now = linesOf(after);
    qsizetype first = 0;
    while (first < before.size() && first < now.size() && before[first] == now[first])
        ++first;
    bool kept = false;
    if (now.size() == before.size())
        kept = first == now.size() || now.mid(first + 1) == before.mid(first + 1);
    else if (now.size() == before.size() + 1)
        kept = now.mid(first + 1) == before.mid(first);
    else if (now.size() == before.size() + 2)
        kept = first == before.size();
    fuzz::require(kept, "the old lines are kept, with at most one replaced");

    // Idempotent: the writer finds the key it wrote and puts the same value back.
    try {
        exporting::IniFile(path).writeString(section, key, value);
    } catch (const Error&) {
        fuzz::violated("the file just written takes the key again");
    }
    fuzz::require(readAll(path) == after, "writing the same key again changes nothing");
    return 0;
}
