#include "archive/Archive.h"

#include "common/DataFolder.h"
#include "common/Errors.h"
#include "controller/TController.h"
#include "model/ConfigFile.h"
#include "remote/RemoteMode.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace zorel8z::archive {

namespace {

const QString kSerialPrefix = QStringLiteral("serial-");
const QString kStationPrefix = QStringLiteral("station-");
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// Only names of this form are ours; nothing else in a folder is ever listed or removed.
const QRegularExpression& entryName() {
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)([+-])(\\d\\d)(\\d\\d)(?:_(\\d+))?\\.c8z$"));
    return re;
}

// A panel's folder name must not lead out of the archive.
bool safePanel(const QString& panel) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return re.match(panel).hasMatch() && panel != QLatin1String(".") && panel != QLatin1String("..");
}

QString offsetText(int seconds) {
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    seconds = qAbs(seconds);
    return sign + QStringLiteral("%1%2")
                      .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
                      .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'));
}

std::optional<QDateTime> timeOf(const QString& fileName) {
    const QRegularExpressionMatch m = entryName().match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    // Date and time apart: a local time that a clock change skipped must still read.
    const QDate date = QDate::fromString(m.captured(1).left(10), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(m.captured(1).mid(11), QStringLiteral("HH-mm-ss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    int offset = m.captured(3).toInt() * 3600 + m.captured(4).toInt() * 60;
    if (m.captured(2) == QLatin1String("-"))
        offset = -offset;
    return QDateTime(date, time, Qt::OffsetFromUTC, offset);
}

} // namespace

Archive::Archive(QString folder, int keepPerPanel) : m_folder(std::move(folder)), m_keep(keepPerPanel) {}

QString Archive::defaultFolder() {
    const QString data = dataFolder();
    return data.isEmpty() ? QString() : data + QStringLiteral("/archive");
}

QString Archive::usbPanel(const QString& serialNumber) {
    return kSerialPrefix + serialNumber;
}

QString Archive::stationPanel(int panelNumber) {
    return kStationPrefix + QString::number(panelNumber);
}

QString Archive::panelTitle(const QString& panel) {
    if (panel.startsWith(kSerialPrefix))
        return QStringLiteral("Серійний номер ППК: ") + panel.mid(kSerialPrefix.size());
    if (panel.startsWith(kStationPrefix))
        return remote::msg::kNumConfLocal + QLatin1Char(' ') + panel.mid(kStationPrefix.size());
    return panel;
}

std::optional<Entry> Archive::store(const QString& panel, const model::PanelConfig& cfg,
                                    const QDateTime& when, QString* error) {
    const auto fail = [error](const QString& text) -> std::optional<Entry> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!safePanel(panel))
        return fail(QStringLiteral("недопустима назва ППК в архіві: %1").arg(panel));
    QByteArray content;
    try {
        content = model::configFileContent(controller::TController(), cfg);
    } catch (const Error& e) {
        return fail(e.text());
    }
    QString why;
    if (!makePrivateFolder(m_folder, &why))
        return fail(why);
    const QString dir = m_folder + QLatin1Char('/') + panel;
    if (!makePrivateFolder(dir, &why))
        return fail(why);

    const QDateTime t = when.toOffsetFromUtc(when.offsetFromUtc());
    const QString base = t.toString(kTimeFormat) + offsetText(t.offsetFromUtc());
    QString path = dir + QLatin1Char('/') + base + QStringLiteral(".c8z");
    // Two reads within one second keep both.
    for (int n = 2; QFile::exists(path); ++n)
        path = dir + QLatin1Char('/') + base + QStringLiteral("_%1.c8z").arg(n);
    if (!writePrivateFile(path, content, &why))
        return fail(why);
    prune(panel);
    return Entry{panel, t, path};
}

QStringList Archive::panels() const {
    QStringList out;
    const QStringList dirs = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& d : dirs) {
        if (safePanel(d) && !entries(d).empty())
            out << d;
    }
    return out;
}

std::vector<Entry> Archive::entries(const QString& panel) const {
    std::vector<Entry> out;
    if (panel.isEmpty()) {
        const QStringList dirs = QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& d : dirs) {
            if (!safePanel(d))
                continue;
            const std::vector<Entry> more = entries(d);
            out.insert(out.end(), more.begin(), more.end());
        }
    } else if (safePanel(panel)) {
        const QDir dir(m_folder + QLatin1Char('/') + panel);
        const QStringList files = dir.entryList({QStringLiteral("*.c8z")}, QDir::Files, QDir::Name);
        for (const QString& f : files) {
            if (const std::optional<QDateTime> t = timeOf(f))
                out.push_back({panel, *t, dir.filePath(f)});
        }
    }
    // Newest first; within one second the later copy (the higher suffix) first.
    std::stable_sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) {
        if (a.time != b.time)
            return a.time > b.time;
        if (a.path.size() != b.path.size())
            return a.path.size() > b.path.size();
        return a.path > b.path;
    });
    return out;
}

std::optional<Entry> Archive::latest(const QString& panel) const {
    std::vector<Entry> all = entries(panel);
    if (all.empty())
        return std::nullopt;
    return all.front();
}

bool Archive::open(const Entry& entry, model::PanelConfig& cfg, Ui& ui) {
    return model::openConfigFile(controller::TController(), entry.path, cfg, ui);
}

void Archive::prune(const QString& panel) const {
    const std::vector<Entry> all = entries(panel);
    for (size_t k = size_t(std::max(m_keep, 0)); k < all.size(); ++k)
        QFile::remove(all[k].path);
}

} // namespace zorel8z::archive
