#pragma once

#include "common/Ui.h"
#include "rules/EditorState.h"

#include <QObject>
#include <QTimer>

namespace zorel8z::usb {

// The one watchdog of the read and write commands (`tiControlBtn`), shared by the USB and the remote
// commands: a second one, left running by a command that has ended, would end a later command of
// the other link with "no answer" while it is still under way.
class CommandWatchdog : public QObject {
    Q_OBJECT
  public:
    CommandWatchdog(rules::EditorState& state, Ui& ui, int intervalMs = 20000, QObject* parent = nullptr);

    // Every command that starts the watchdog restarts it: a fresh command gets the whole time.
    void start();
    // A command that has ended stops it. Another command of the other link still under way then
    // takes it up again (see stopped()), so that it is never left without a bound.
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    int interval() const { return m_timer.interval(); }
    // Milliseconds left; -1 when stopped.
    int remainingTime() const { return m_timer.remainingTime(); }

    // The tick: a command still under way (commands disabled) gets no answer; it ends here with the
    // commands enabled, every page mark None and the "no answer" message.
    void onTick();

  signals:
    // stop() was called; the watchdog is stopped now.
    void stopped();
    // Every tick, before anything else: the remote read stops polling, whether or not it still holds
    // the commands.
    void expiring();
    // The commands, the progress bar and the marks were changed by the tick.
    void stateChanged();
    // After the tick has done everything, its message included.
    void expired();

  private:
    rules::EditorState& m_state;
    Ui& m_ui;
    QTimer m_timer;
};

} // namespace zorel8z::usb
