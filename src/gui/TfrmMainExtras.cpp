// The window beyond its commands: the archive of reads, the journal, the comparison, the check after
// a write, the configuration sheet and the connection check.
#include "ExtrasDialogs.h"
#include "Settings.h"
#include "TfrmMain.h"

#include "common/Errors.h"
#include "compare/ConfigCompare.h"
#include "journal/ReadHistory.h"
#include "model/ConfigFile.h"
#include "remote/CurlHttpClient.h"
#include "rules/Messages.h"
#include "sheet/ConfigSheet.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QtDebug>

namespace zorel8z::gui {

namespace texts {
inline const QString kCompareNotRead = QStringLiteral("ППК не зчитано для порівняння: ");
inline const QString kArchiveFailed = QStringLiteral("Не вдалося зберегти зчитане в архів: %1");
inline const QString kPanelOnPort = QStringLiteral("ППК на порту %1");
} // namespace texts

void TfrmMain::connectExtras() {
    const bool verify = readVerifyAfterWrite();
    miVerify->setChecked(verify);
    m_verifier->setEnabled(verify);
    connect(miVerify, &QAction::triggered, this, &TfrmMain::verifyToggled);
    connect(miArchive, &QAction::triggered, this, &TfrmMain::miArchiveClick);
    connect(miComparePanel, &QAction::triggered, this, &TfrmMain::compareWithPanel);
    connect(miCompareFile, &QAction::triggered, this, &TfrmMain::compareWithFile);
    connect(miCompareArchive, &QAction::triggered, this, &TfrmMain::compareWithArchive);
    connect(miSheet, &QAction::triggered, this, &TfrmMain::miSheetClick);
    connect(miJournal, &QAction::triggered, this, &TfrmMain::miJournalClick);
    connect(miCheck, &QAction::triggered, this, &TfrmMain::miCheckClick);

    // The check after a write holds the commands while it reads the panel back.
    connect(m_verifier.get(), &usb::WriteVerifier::stateChanged, this, [this] {
        if (m_verifier->verifying())
            beginWaiting(Waiting::PanelCopy);
        refreshState();
    });
    connect(m_verifier.get(), &usb::WriteVerifier::finished, this, [this](const usb::Verification& v) {
        if (m_usbWrite.active)
            finishUsbWrite(v.outcome == usb::Verification::Outcome::Verified
                               ? journal::outcome::kOk
                               : journal::outcome::kNotVerified);
    });
    connect(m_usb.get(), &usb::UsbCommands::writeAcknowledged, this, [this] {
        if (!m_usbWrite.active && m_unackedUsbWrite) {
            // The panel took a write the watchdog had given up on, and the window says so: the
            // journal gets a line for it, once the success message is on record.
            const Pending late = *m_unackedUsbWrite;
            m_unackedUsbWrite.reset();
            QMetaObject::invokeMethod(
                this,
                [this, late] {
                    journalUsbWrite(late, late.expectVerify ? journal::outcome::kNotVerified
                                                            : journal::outcome::kOk);
                },
                Qt::QueuedConnection);
            return;
        }
        if (!m_usbWrite.active)
            return;
        m_usbWrite.acked = true;
        if (!m_usbWrite.expectVerify)
            finishUsbWrite(journal::outcome::kOk);
    });
    connect(m_usb.get(), &usb::UsbCommands::configReplaced, this, [this] {
        if (m_usbRead.active)
            m_usbRead.filled = true;
    });
    connect(m_remote.get(), &remote::RemoteCommands::pageFilled, this, [this] {
        if (m_remoteRead.active)
            m_remoteRead.filled = true;
    });
    connect(m_remote.get(), &remote::RemoteCommands::commandEnded, this, &TfrmMain::requestSettle);
    connect(m_copyReader.get(), &usb::PanelReader::finished, this, &TfrmMain::onCopyRead);
}

// ---------------------------------------------------------------------------------------------
// The journal

void TfrmMain::journalAppend(journal::Record record) {
    // The journal is a record for later: a journal that cannot be written never stops a command.
    QString error;
    if (!journal::Journal().append(std::move(record), &error))
        qWarning().noquote() << "journal:" << error;
}

QString TfrmMain::shownSince(qsizetype from) const {
    return m_tap->shown().mid(from).join(QLatin1Char('\n'));
}

void TfrmMain::journalFile(const QString& operation, const QString& path, bool ok, qsizetype from) {
    journal::Record r;
    r.operation = operation;
    r.file = QFileInfo(path).absoluteFilePath();
    r.outcome = ok ? journal::outcome::kOk : journal::outcome::kFailed;
    if (!ok)
        r.message = shownSince(from);
    journalAppend(r);
}

void TfrmMain::transferGiven(Pending& pending, qsizetype from, bool wasIdle, bool started,
                             const QString& link, const QString& block) {
    // A command given while one runs does nothing; the one running keeps its line.
    if (!wasIdle)
        return;
    pending = Pending();
    pending.link = link;
    pending.block = block;
    pending.from = from;
    pending.panel = m_state.seNumPPK;
    if (started) {
        pending.active = true;
        return;
    }
    // Refused before it began: a line when the user was told why.
    if (m_tap->shown().size() == from)
        return;
    const bool read = &pending == &m_usbRead || &pending == &m_remoteRead;
    journal::Record r;
    r.operation = read ? journal::op::kRead : journal::op::kWrite;
    r.link = link;
    r.block = block;
    r.outcome = journal::outcome::kFailed;
    r.message = shownSince(from);
    journalAppend(r);
}

void TfrmMain::requestSettle() {
    if (m_settleAsked || m_dying)
        return;
    m_settleAsked = true;
    // From the event loop: a command's messages follow the state change that ends it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_settleAsked = false;
            settleTransfers();
        },
        Qt::QueuedConnection);
}

void TfrmMain::settleTransfers() {
    if (m_dying)
        return;
    if (m_usbRead.active && m_state.commandsEnabled && !m_usb->delayCheckRunning())
        finishUsbRead();
    // An acknowledged write ends with its acknowledgement or its check; one that was not, here.
    if (m_usbWrite.active && !m_usbWrite.acked && m_state.commandsEnabled && !m_usb->writing() &&
        !m_verifier->verifying()) {
        m_unackedUsbWrite = m_usbWrite;
        finishUsbWrite(journal::outcome::kFailed);
    }
    if (m_remoteRead.active && !m_remote->busy())
        finishRemote(m_remoteRead, journal::op::kRead, m_remoteRead.filled);
    if (m_remoteWrite.active && !m_remote->busy())
        finishRemote(m_remoteWrite, journal::op::kWrite,
                     m_tap->shown().mid(m_remoteWrite.from).contains(usb::msg::kWritten));
}

namespace {

// Stores a read; what went wrong goes into the journal's line, never in the user's way.
void archiveRead(const QString& panel, const model::PanelConfig& cfg, journal::Record& line) {
    QString error;
    try {
        if (const std::optional<archive::Entry> entry =
                archive::Archive().store(panel, cfg, line.time, &error)) {
            line.archive = entry->path;
            return;
        }
    } catch (const Error& e) {
        error = e.text();
    }
    line.message = texts::kArchiveFailed.arg(error);
}

} // namespace

void TfrmMain::finishUsbRead() {
    const Pending p = m_usbRead;
    m_usbRead = Pending();
    journal::Record r;
    r.time = QDateTime::currentDateTime();
    r.operation = journal::op::kRead;
    r.link = p.link;
    r.block = p.block;
    if (p.filled) {
        r.serial = m_cfg.serialNumber;
        r.outcome = journal::outcome::kOk;
        archiveRead(archive::Archive::usbPanel(m_cfg.serialNumber), m_cfg, r);
    } else {
        r.outcome = journal::outcome::kFailed;
        r.message = shownSince(p.from);
    }
    journalAppend(r);
}

void TfrmMain::finishUsbWrite(const QString& outcome) {
    const Pending p = m_usbWrite;
    m_usbWrite = Pending();
    journalUsbWrite(p, outcome);
}

void TfrmMain::journalUsbWrite(const Pending& p, const QString& outcome) {
    journal::Record r;
    r.operation = journal::op::kWrite;
    r.link = p.link;
    r.block = p.block;
    const bool readBack = p.expectVerify && outcome != journal::outcome::kFailed &&
                          m_verifier->last().read.outcome == usb::PanelRead::Outcome::Read;
    r.serial = readBack ? m_verifier->last().read.config.serialNumber : journal::lastSerial(p.link);
    r.changed = journal::changedSinceLastRead(p.link, p.block, m_cfg);
    r.outcome = outcome;
    if (outcome != journal::outcome::kOk)
        r.message = shownSince(p.from);
    journalAppend(r);
}

void TfrmMain::finishRemote(Pending& pending, const QString& operation, bool ok) {
    const Pending p = pending;
    pending = Pending();
    journal::Record r;
    r.time = QDateTime::currentDateTime();
    r.operation = operation;
    r.link = p.link;
    r.block = p.block;
    r.outcome = ok ? journal::outcome::kOk : journal::outcome::kFailed;
    if (!ok)
        r.message = shownSince(p.from);
    if (operation == journal::op::kRead && ok)
        archiveRead(archive::Archive::stationPanel(p.panel), m_cfg, r);
    if (operation == journal::op::kWrite) {
        bool number = false;
        const int block = p.block.toInt(&number);
        if (number && block >= 1 && block <= model::kPageCount)
            r.changed = journal::changedSinceLastRead(p.link, p.block, m_cfg, {rules::Page(block - 1)});
    }
    journalAppend(r);
}

// ---------------------------------------------------------------------------------------------
// The archive and the comparison

void TfrmMain::miArchiveClick() {
    settleKeyCodes();
    if (m_state.mode != rules::Mode::Local)
        return;
    auto* dialog = new ArchiveDialog(archive::Archive(), this);
    connect(dialog, &ArchiveDialog::chosen, this, &TfrmMain::openArchiveEntry);
    dialog->open();
}

void TfrmMain::openArchiveEntry(const archive::Entry& entry) {
    const qsizetype from = m_tap->shown().size();
    const bool opened = archive::Archive::open(entry, m_cfg, *m_shell);
    if (opened) {
        m_state.retakeFrom(m_cfg);
        fillAll();
    }
    journalFile(journal::op::kOpen, entry.path, opened, from);
}

void TfrmMain::compareWithPanel() {
    settleKeyCodes();
    if (m_state.mode != rules::Mode::Local || !m_state.commandsEnabled || m_copyReader->running())
        return;
    if (!m_state.portSelected) {
        m_shell->showMessage(MsgIcon::Error, rules::msg::kNoComPort);
        return;
    }
    // The commands wait while the panel is read into a copy; the window's record stays as it is.
    m_state.commandsEnabled = false;
    m_state.portListEnabled = false;
    m_copyLink = journal::usbLink(m_panelPort->portName());
    m_copyReader->start();
    beginWaiting(Waiting::PanelCopy);
    refreshState();
}

void TfrmMain::onCopyRead(const usb::PanelRead& read) {
    m_state.commandsEnabled = true;
    m_state.portListEnabled = true;
    refreshState();
    // What the panel held is a read like any other: archived and in the journal.
    journal::Record r;
    r.time = QDateTime::currentDateTime();
    r.operation = journal::op::kRead;
    r.link = m_copyLink;
    r.block = QStringLiteral("1-5");
    if (read.outcome != usb::PanelRead::Outcome::Read) {
        const QString problem = texts::kCompareNotRead + usb::readProblem(read);
        r.outcome = journal::outcome::kFailed;
        r.message = problem;
        journalAppend(r);
        m_shell->showMessage(MsgIcon::Warning, problem);
        return;
    }
    r.serial = read.config.serialNumber;
    r.outcome = journal::outcome::kOk;
    archiveRead(archive::Archive::usbPanel(read.config.serialNumber), read.config, r);
    journalAppend(r);
    showComparison(read.config, texts::kPanelOnPort.arg(m_panelPort->portName()), texts::kThereInPanel);
}

void TfrmMain::compareWithFile() {
    settleKeyCodes();
    const QString path = m_shell->askOpenPath(model::configfile::kFilter);
    if (path.isEmpty())
        return;
    // Opened into a copy, all or nothing, with the messages a file's opening gives.
    model::PanelConfig there = m_cfg;
    if (!model::openConfigFile(m_ctl, path, there, *m_shell))
        return;
    showComparison(there, QDir::toNativeSeparators(path), texts::kThereInFile);
}

void TfrmMain::compareWithArchive() {
    settleKeyCodes();
    auto* dialog = new ArchiveDialog(archive::Archive(), this);
    connect(dialog, &ArchiveDialog::chosen, this, [this](const archive::Entry& entry) {
        model::PanelConfig there = m_cfg;
        if (!archive::Archive::open(entry, there, *m_shell))
            return;
        showComparison(there,
                       archive::Archive::panelTitle(entry.panel) + QStringLiteral(", ") +
                           entry.time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                       texts::kThereInArchive);
    });
    dialog->open();
}

void TfrmMain::showComparison(const model::PanelConfig& there, const QString& source,
                              const QString& thereHead) {
    auto* dialog =
        new CompareDialog(compare::compareConfigs(m_cfg, there, m_state.mode), source, thereHead, this);
    dialog->open();
}

void TfrmMain::verifyToggled(bool on) {
    m_verifier->setEnabled(on);
    writeVerifyAfterWrite(on);
}

// ---------------------------------------------------------------------------------------------
// The sheet, the journal, the connection check

void TfrmMain::miSheetClick() {
    settleKeyCodes();
    auto* dialog = new SheetDialog(this);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        sheet::SheetOptions options;
        options.withSecrets = dialog->withSecrets();
        options.changedOnly = dialog->changedOnly();
        const QString path =
            m_shell->askSavePath(texts::kSheetFilter, texts::kSheetDefaultName, QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        const qsizetype from = m_tap->shown().size();
        QString error;
        const bool ok = sheet::writeSheetPdf(m_cfg, options, path, &error);
        if (!ok)
            m_shell->showMessage(MsgIcon::Error, texts::kSheetFailed + error);
        journalFile(journal::op::kExport, path, ok, from);
    });
    dialog->open();
}

void TfrmMain::miJournalClick() {
    auto* dialog = new JournalDialog(journal::Journal().records(), this);
    dialog->open();
}

void TfrmMain::miCheckClick() {
    settleKeyCodes();
    // A command under way holds the link; the check waits for it to end.
    if (!m_state.commandsEnabled)
        return;
    std::unique_ptr<check::ConnectionCheck> check;
    QString target;
    if (m_state.mode == rules::Mode::Remote) {
        check::StationTarget t;
        t.serverIP = m_state.meRemoteServerIP;
        t.serverPort = m_state.seRemoteServerPort;
        t.panel = m_state.seNumPPK;
        t.password = m_state.edPwd;
        check::StationTimings timings;
        timings.pollMs = m_remoteTimings.pollMs;
        try {
            check =
                std::make_unique<check::StationCheck>(std::make_unique<remote::CurlHttpClient>(), t, timings);
        } catch (const Error& e) {
            m_shell->showMessage(MsgIcon::Error, e.text());
            return;
        }
        target = journal::stationLink(t.serverIP, t.serverPort, t.panel);
    } else {
        check = std::make_unique<check::UsbCheck>(*m_panelPort, m_usb.get(), m_delayCheckMs);
        target = journal::usbLink(m_panelPort->portName());
    }
    auto* dialog = new CheckDialog(std::move(check), target, this);
    dialog->open();
    dialog->start();
}

} // namespace zorel8z::gui
