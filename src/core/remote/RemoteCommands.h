#pragma once

#include "common/Errors.h"
#include "common/Ui.h"
#include "controller/TController.h"
#include "model/PanelConfig.h"
#include "remote/HttpClient.h"
#include "rules/EditorState.h"
#include "usb/CommandWatchdog.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

namespace zorel8z::remote {

// Identifiers of the three results that the workers hand to the window thread.
enum RemoteMessage : int {
    WM_REMOTE_READ_DONE = 0x0401,
    WM_REMOTE_WRITE_DONE = 0x0402,
    WM_REMOTE_SET_QUERY_READ = 0x0403,
};

namespace msg {
extern const QString kServerBusy;
// The write-reply decoder raises it; the window shows the error's text.
inline const QString& kWriteFailed = texts::kBadWriteReply;
extern const QString kNoAccess;
// Followed by the code the station sent in "err_conf" or "err_wconf" (other than 1).
extern const QString kStationErrorPrefix;
} // namespace msg

struct RemoteTimings {
    int pollMs = 4000; // tiReadConfQuery
    int queryTimeoutMs = limits::kQueryMs;
    int writeTimeoutMs = limits::kWriteMs;
};

// "t" of a parameters write: the switch-on and switch-off times, each brought to three digits. A
// text that is empty or longer than three characters is reported through `ui` and adds nothing.
QString remoteTimesField(const QString& ukOn, const QString& ukOff, Ui& ui);

// The read and write commands in remote mode: one block (the open page's) through the station
// server. Each request runs on a worker thread of its own; results come back to this object's
// thread as queued events carrying the message identifiers above. Works on the record and the editor
// state; tells the window through `Ui` and the signals. Never more than one request on `http`. The
// command watchdog is the one the USB commands use.
class RemoteCommands : public QObject {
    Q_OBJECT
  public:
    RemoteCommands(model::PanelConfig& cfg, rules::EditorState& state, HttpClient& http, Ui& ui,
                   usb::CommandWatchdog& watchdog, RemoteTimings timings = {}, QObject* parent = nullptr);
    ~RemoteCommands() override;

    // The read command in remote mode: query, then polls until the block arrives or the watchdog.
    // Refused, with its message, for a panel number of 0 or above 65535, an empty password, a port
    // outside 1..65535 or an address that does not name a station (not four decimal groups, or all
    // zeros); refused silently
    // outside remote mode or on the key page. A refusal ends the command at once (commandEnded).
    // Does nothing at all while a remote command is running.
    void readCommand();
    // The write command in remote mode: the write sequence (its messages on refusal), then one write
    // request with the open page's block. Does nothing at all while a remote command is running.
    void writeCommand();

    // Whether a remote command is under way, or a request of one that has ended (by the watchdog)
    // still holds the client.
    bool busy() const;
    const QString& receivedText() const { return m_receivedText; }

  signals:
    // A block was decoded and applied to the record: the window refills that page.
    void pageFilled(rules::Page page);
    // Command buttons, page marks or the renumbering button changed.
    void stateChanged();
    // The command has ended, whichever way (success, refusal, busy, watchdog, failed write).
    void commandEnded();

  protected:
    bool event(QEvent* e) override;

  private:
    struct Request;
    class Worker;

    Request connection(int block, int timeoutMs) const;
    void startWorker(Request request);
    // The write fields of a block, in the order the request takes them.
    QStringList blockFields(int block) const;

    void onRemoteSetQueryRead();
    void onRemoteReadDone();
    void onRemoteWriteDone(const QString& reply);
    void onPollTick();
    void onWatchdogExpiring();
    void serverBusy();
    void applyBlock(model::PanelConfig next);

    model::PanelConfig& m_cfg;
    rules::EditorState& m_state;
    HttpClient& m_http;
    Ui& m_ui;
    usb::CommandWatchdog& m_watchdog;
    RemoteTimings m_timings;
    controller::TController m_ctl;
    QTimer m_poll;
    QString m_receivedText;
    // The one request in flight, released once its result has been handled.
    std::unique_ptr<Worker> m_worker;
    // A read lasts from its command to its result, the busy server or the watchdog; results of a
    // read that has ended are dropped.
    bool m_reading = false;
    bool m_writing = false;
    // The watchdog has ended the read; it is reported ended once the watchdog has said its piece.
    bool m_endedByWatchdog = false;
    int m_readBlock = 0;
    int m_writeBlock = 0;
};

} // namespace zorel8z::remote
