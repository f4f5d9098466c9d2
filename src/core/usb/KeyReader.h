#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"
#include "usb/SerialPort.h"

#include <QObject>

namespace zorel8z::usb {

namespace msg {
extern const QString kStartReading;
extern const QString kStopReading;
} // namespace msg

// Captures key codes from a reader on a second serial port into the key-code grid. The reader is only
// listened to; nothing is ever written to it.
class KeyReader : public QObject {
    Q_OBJECT
  public:
    KeyReader(model::PanelConfig& cfg, rules::EditorState& state, SerialPort& readerPort,
              SerialPort& panelPort, Ui& ui, QObject* parent = nullptr);

    // The toggle was pressed (down = start reading) or released.
    void setReading(bool down);
    bool reading() const { return m_reading; }
    QString toggleCaption() const { return m_reading ? msg::kStopReading : msg::kStartReading; }

    // Leaving the key page stops reading as if the toggle had been released.
    void pageLeft();

    void portPicked(const QString& name);
    QStringList refreshPorts();
    // Devices came or went: the list anew as the refresh button makes it, except that a chosen port
    // still present stays chosen and is left as it is, reading or not.
    QStringList devicesChanged();
    // Start-up: the last entry of the list is the reader port.
    void choosePort(const QString& name);
    // Whether a port of the list is the reader port (none is while the list has been empty).
    bool portChosen() const { return m_portChosen; }

    void onReceived(qint64 count);

  signals:
    // A user's key code changed.
    void keyCodeChanged(int user);
    void stateChanged();

  private:
    // The refresh's choice: the reader port closed, the first of `ports` chosen (none when empty).
    QStringList chooseFirst(const QStringList& ports);

    model::PanelConfig& m_cfg;
    rules::EditorState& m_state;
    SerialPort& m_reader;
    SerialPort& m_panel;
    Ui& m_ui;
    bool m_reading = false;
    bool m_portChosen = false;
};

} // namespace zorel8z::usb
