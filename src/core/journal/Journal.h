#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The journal: one JSON line per read, write, save, open and export, in the data folder.
namespace zorel8z::journal {

// Operations and outcomes as the lines carry them.
namespace op {
extern const QString kRead;
extern const QString kWrite;
extern const QString kSave;
extern const QString kOpen;
extern const QString kExport;
} // namespace op
namespace outcome {
extern const QString kOk;
extern const QString kFailed;
// A write the panel acknowledged but whose read-back differs or could not be read.
extern const QString kNotVerified;
} // namespace outcome

// One line. Never holds the value of a password or a key code: `changed` names fields only.
struct Record {
    QDateTime time;      // when it happened, with the local UTC offset
    QString operation;   // op::
    QString link;        // "USB /dev/ttyUSB0", "ПЦС 127.0.0.1:15001, № ППК 1201"; empty for files
    QString serial;      // the panel's serial number when known
    QString block;       // "1".."4" for a station block, "1-5" for a whole configuration over USB
    QString outcome;     // outcome::
    QString message;     // what the user was told, when something went wrong
    QString file;        // the file saved, opened or exported
    QString archive;     // the archive entry a read was stored in
    QStringList changed; // for writes: "Page: caption" of the fields changed since the last read

    bool operator==(const Record& o) const;
};

// Link texts of the two ways to a panel.
QString usbLink(const QString& port);
QString stationLink(const QString& serverIP, int serverPort, int panelNumber);

// The line of a record (without the line end), and a record from a line (false for a line that is not
// one: broken, foreign or too long).
QByteArray toLine(const Record& record);
bool fromLine(const QByteArray& line, Record& record);

// The journal file. Appending writes one whole line at a time, so the window and the command-line tool
// may append together. When the file passes kRotateBytes it is renamed to its ".1" companion (which it
// replaces) and a new file begins; reading takes both.
class Journal {
  public:
    static constexpr qint64 kRotateBytes = 4 * 1024 * 1024;

    explicit Journal(QString path = defaultPath(), qint64 rotateBytes = kRotateBytes);
    static QString defaultPath();
    const QString& path() const { return m_path; }

    // False with `error` set when the line cannot be written.
    bool append(Record record, QString* error = nullptr) const;

    // Every readable record, oldest first; with `since` valid, only those at or after it. Lines that
    // do not read are skipped.
    std::vector<Record> records(const QDateTime& since = QDateTime()) const;

    // The newest successful read over `link` (and of `block`, when not empty) that left an archive
    // entry: where "changed since the last read" starts.
    std::optional<Record> lastRead(const QString& link, const QString& block = QString()) const;

  private:
    QString m_path;
    qint64 m_rotate;
};

// A time given on the command line: "2025-03-01", "2025-03-01 14:30", "2025-03-01T14:30:05", local
// time unless it names an offset. Invalid when it reads as none of these.
QDateTime parseSince(const QString& text);

// An operation's and an outcome's word ("зчитування", "успішно"); an unknown one as it stands.
QString operationText(const QString& operation);
QString outcomeText(const QString& result);

// A record as one line of a table: time, operation, link, serial, block, outcome, file or changes.
QString describe(const Record& record);

} // namespace zorel8z::journal
