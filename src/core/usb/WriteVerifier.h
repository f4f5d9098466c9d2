#pragma once

#include "common/Ui.h"
#include "compare/ConfigCompare.h"
#include "rules/EditorState.h"
#include "usb/PanelReader.h"
#include "usb/UsbCommands.h"

#include <QObject>
#include <vector>

namespace zorel8z::usb {

namespace msg {
extern const QString kVerified;
extern const QString kVerifyDiffers;
extern const QString kVerifyFailed;
extern const QString kReadBackNoAnswer;
extern const QString kReadBackShort;
} // namespace msg

// Why a read into a copy brought no configuration, in the user's words; empty for a read that did.
QString readProblem(const PanelRead& read);

// How the check after a write ended.
struct Verification {
    enum class Outcome {
        Verified, // the panel holds what was written
        Differs,  // it holds something else: `diffs` says what (written here, the panel's there)
        NotRead,  // the panel could not be read back: `read` says how
    };
    Outcome outcome = Outcome::NotRead;
    std::vector<compare::PageDiff> diffs;
    PanelRead read;
};

// The write command over USB with a check afterwards: once the panel has acknowledged the frame, it is
// read back into a copy (the window's record stays as it is) and compared with what was sent. The
// success message is then followed by "Записане перевірено.", or replaced by the list of fields that
// differ (their pages lose their Synced mark), or followed by the reason the read-back failed.
// While the check runs the commands stay disabled. Off, it is the plain write command.
class WriteVerifier : public QObject {
    Q_OBJECT
  public:
    WriteVerifier(UsbCommands& commands, rules::EditorState& state, Ui& ui, int answerMs = 4000,
                  QObject* parent = nullptr);

    // "Перевіряти після запису"
    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }

    // The write command (the window's, in local mode; in remote mode it hands over as usual).
    void writeCommand();
    bool verifying() const { return m_reader.running(); }
    // The last check's result.
    const Verification& last() const { return m_last; }

  signals:
    // The commands were taken or given back.
    void stateChanged();
    // The check has ended and its messages have been shown.
    void finished(const zorel8z::usb::Verification& result);

  private:
    void onAcknowledged();
    void onReadBack(const PanelRead& read);
    void release();

    UsbCommands& m_commands;
    rules::EditorState& m_state;
    Ui& m_ui;
    PanelReader m_reader;
    bool m_enabled = true;
    bool m_pending = false;
    model::PanelConfig m_written;
    Verification m_last;
};

} // namespace zorel8z::usb
