#include "journal/Journal.h"

#include "common/DataFolder.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace zorel8z::journal {

namespace {

// A line of ours is well under a kilobyte; anything far longer is not one.
constexpr qsizetype kMaxLine = 64 * 1024;

void put(rapidjson::Writer<rapidjson::StringBuffer>& w, const char* key, const QString& value) {
    w.Key(key);
    const QByteArray utf8 = value.toUtf8();
    w.String(utf8.constData(), rapidjson::SizeType(utf8.size()));
}

QString timeText(const QDateTime& t) {
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

QString companion(const QString& path) {
    return path + QStringLiteral(".1");
}

void readFile(const QString& path, const QDateTime& since, std::vector<Record>& out) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(kMaxLine);
        Record r;
        if (line.size() >= kMaxLine || !fromLine(line.trimmed(), r))
            continue;
        if (since.isValid() && r.time < since)
            continue;
        out.push_back(std::move(r));
    }
}

} // namespace

bool Record::operator==(const Record& o) const {
    return time == o.time && operation == o.operation && link == o.link && serial == o.serial &&
           block == o.block && outcome == o.outcome && message == o.message && file == o.file &&
           archive == o.archive && changed == o.changed;
}

QString usbLink(const QString& port) {
    return QStringLiteral("USB ") + port;
}

QString stationLink(const QString& serverIP, int serverPort, int panelNumber) {
    return QStringLiteral("ПЦС %1:%2, № ППК %3").arg(serverIP).arg(serverPort).arg(panelNumber);
}

QByteArray toLine(const Record& r) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> w(buffer);
    w.StartObject();
    put(w, "time", timeText(r.time));
    put(w, "operation", r.operation);
    put(w, "link", r.link);
    put(w, "serial", r.serial);
    put(w, "block", r.block);
    put(w, "outcome", r.outcome);
    if (!r.message.isEmpty())
        put(w, "message", r.message);
    if (!r.file.isEmpty())
        put(w, "file", r.file);
    if (!r.archive.isEmpty())
        put(w, "archive", r.archive);
    if (!r.changed.isEmpty()) {
        w.Key("changed");
        w.StartArray();
        for (const QString& c : r.changed) {
            const QByteArray utf8 = c.toUtf8();
            w.String(utf8.constData(), rapidjson::SizeType(utf8.size()));
        }
        w.EndArray();
    }
    w.EndObject();
    // The writer escapes every control character, so a message with line breaks stays on one line.
    return QByteArray(buffer.GetString(), qsizetype(buffer.GetSize()));
}

bool fromLine(const QByteArray& line, Record& r) {
    if (line.isEmpty() || line.size() >= kMaxLine)
        return false;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    Record out;
    out.time = QDateTime::fromString(o.value(QLatin1String("time")).toString(), Qt::ISODate);
    out.operation = o.value(QLatin1String("operation")).toString();
    if (!out.time.isValid() || out.operation.isEmpty())
        return false;
    out.link = o.value(QLatin1String("link")).toString();
    out.serial = o.value(QLatin1String("serial")).toString();
    out.block = o.value(QLatin1String("block")).toString();
    out.outcome = o.value(QLatin1String("outcome")).toString();
    out.message = o.value(QLatin1String("message")).toString();
    out.file = o.value(QLatin1String("file")).toString();
    out.archive = o.value(QLatin1String("archive")).toString();
    for (const QJsonValue& v : o.value(QLatin1String("changed")).toArray())
        out.changed << v.toString();
    r = std::move(out);
    return true;
}

Journal::Journal(QString path, qint64 rotateBytes) : m_path(std::move(path)), m_rotate(rotateBytes) {}

QString Journal::defaultPath() {
    const QString data = dataFolder();
    return data.isEmpty() ? QString() : data + QStringLiteral("/journal.jsonl");
}

bool Journal::append(Record record, QString* error) const {
    if (!record.time.isValid())
        record.time = QDateTime::currentDateTime();
    QString why;
    if (!makePrivateFolder(QFileInfo(m_path).absolutePath(), &why)) {
        if (error)
            *error = why;
        return false;
    }
    const QFileInfo info(m_path);
    if (info.exists() && info.size() >= m_rotate) {
        QFile::remove(companion(m_path));
        QFile::rename(m_path, companion(m_path));
    }
    QFile file(m_path);
    const QByteArray line = toLine(record) + '\n';
    // One write of the whole line on a file opened for appending: lines of two writers never mix.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(line) != line.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

std::vector<Record> Journal::records(const QDateTime& since) const {
    std::vector<Record> out;
    readFile(companion(m_path), since, out);
    readFile(m_path, since, out);
    return out;
}

std::optional<Record> Journal::lastRead(const QString& link, const QString& block) const {
    const std::vector<Record> all = records();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (it->operation == op::kRead && it->outcome == outcome::kOk && it->link == link &&
            (block.isEmpty() || it->block == block) && !it->archive.isEmpty())
            return *it;
    }
    return std::nullopt;
}

QDateTime parseSince(const QString& text) {
    const QString t = text.trimmed();
    const QDate date = QDate::fromString(t, Qt::ISODate);
    if (date.isValid())
        return date.startOfDay();
    QString iso = t;
    iso.replace(QLatin1Char(' '), QLatin1Char('T'));
    // "2025-03-01T14:30" is an ISO time without seconds; Qt reads it too.
    return QDateTime::fromString(iso, Qt::ISODate);
}

QString operationText(const QString& operation) {
    static const QHash<QString, QString> ops = {{op::kRead, QStringLiteral("зчитування")},
                                                {op::kWrite, QStringLiteral("запис")},
                                                {op::kSave, QStringLiteral("збереження")},
                                                {op::kOpen, QStringLiteral("відкриття")},
                                                {op::kExport, QStringLiteral("експорт")}};
    return ops.value(operation, operation);
}

QString outcomeText(const QString& result) {
    static const QHash<QString, QString> outcomes = {
        {outcome::kOk, QStringLiteral("успішно")},
        {outcome::kFailed, QStringLiteral("невдало")},
        {outcome::kNotVerified, QStringLiteral("не перевірено")}};
    return outcomes.value(result, result);
}

QString describe(const Record& r) {
    QStringList parts;
    parts << r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    parts << operationText(r.operation);
    if (!r.link.isEmpty())
        parts << r.link;
    if (!r.serial.isEmpty())
        parts << QStringLiteral("серійний номер ") + r.serial;
    if (!r.block.isEmpty())
        parts << QStringLiteral("блок ") + r.block;
    parts << outcomeText(r.outcome);
    if (!r.file.isEmpty())
        parts << r.file;
    if (!r.message.isEmpty())
        parts << QString(r.message)
                     .replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                     .replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!r.changed.isEmpty())
        parts << QStringLiteral("змінено: ") + r.changed.join(QStringLiteral("; "));
    return parts.join(QStringLiteral(" | "));
}

} // namespace zorel8z::journal

// The texts declared in Journal.h: defined once here, not in every file that includes it.
namespace zorel8z::journal::op {

const QString kRead = QStringLiteral("read");
const QString kWrite = QStringLiteral("write");
const QString kSave = QStringLiteral("save");
const QString kOpen = QStringLiteral("open");
const QString kExport = QStringLiteral("export");

} // namespace zorel8z::journal::op

// The texts declared in Journal.h: defined once here, not in every file that includes it.
namespace zorel8z::journal::outcome {

const QString kOk = QStringLiteral("ok");
const QString kFailed = QStringLiteral("failed");
const QString kNotVerified = QStringLiteral("not-verified");

} // namespace zorel8z::journal::outcome
