#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The archive of reads: every configuration read from a panel, kept as a .c8z file.
namespace zorel8z::archive {

// One stored read.
struct Entry {
    QString panel;  // the panel's folder name ("serial-0001234", "station-1201")
    QDateTime time; // when it was read (with the local UTC offset of that moment)
    QString path;   // the .c8z file
};

// Reads are kept per panel, in a folder named after the panel's serial number (USB) or its number at
// the monitoring station (remote), in files named after the date and time of the read
// ("2025-03-01_14-30-05+0200.c8z"). Each panel keeps its newest `keepPerPanel` reads; older ones
// are removed when a new one is stored. Files and folders are readable by their owner only.
class Archive {
public:
    static constexpr int kKeepPerPanel = 200;

    // `folder` is the archive's root (the data folder's "archive" by default).
    explicit Archive(QString folder = defaultFolder(), int keepPerPanel = kKeepPerPanel);

    static QString defaultFolder();
    const QString& folder() const { return m_folder; }

    // Folder names of a panel read over USB (by the serial number as the window shows it, "0001234")
    // and of a panel read through the station (by its number there).
    static QString usbPanel(const QString& serialNumber);
    static QString stationPanel(int panelNumber);
    // How the window names a panel's folder in its list: "Серійний номер ППК: 0001234" or
    // "№ ППК в ПЦС: 1201"; a folder of another form by its name.
    static QString panelTitle(const QString& panel);

    // Stores `cfg` as a read of `panel` made at `when`. Returns the entry, or nothing with `error` set
    // (a configuration that cannot be packed, a folder or file that cannot be written).
    std::optional<Entry> store(const QString& panel, const model::PanelConfig& cfg,
                               const QDateTime& when = QDateTime::currentDateTime(),
                               QString* error = nullptr);

    // The panels that have reads, by folder name.
    QStringList panels() const;
    // The reads of one panel, or of every panel when `panel` is empty, newest first.
    std::vector<Entry> entries(const QString& panel = QString()) const;
    std::optional<Entry> latest(const QString& panel) const;

    // Opens an entry as the window opens a file: all or nothing, problems told through `ui`.
    static bool open(const Entry& entry, model::PanelConfig& cfg, Ui& ui);

private:
    void prune(const QString& panel) const;

    QString m_folder;
    int m_keep;
};

} // namespace zorel8z::archive
