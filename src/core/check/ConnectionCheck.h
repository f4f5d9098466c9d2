#pragma once

#include "remote/HttpClient.h"
#include "usb/PanelReader.h"
#include "usb/SerialPort.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <vector>

class QThread;

// "Перевірити з'єднання": walks the link to the panel step by step and says in plain words where it
// stops. Nothing is ever written to the panel or to the station: the USB check sends the read request
// only, the station check the query and the polls of a read.
namespace zorel8z::check {

// Why this user may not open port `name` and how to get the permission; empty when the permission is
// not what stops it (or the system has no such thing).
QString accessAdvice(const QString& name);

// One step's line.
struct Step {
    bool ok;
    QString text;
};

// The common face of both checks: step() for every line as it is known, then finished().
class ConnectionCheck : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    virtual void start() = 0;
    bool running() const { return m_running; }
    // Every line reported so far.
    const std::vector<Step>& steps() const { return m_steps; }

  signals:
    void step(bool ok, const QString& text);
    // `ok`: the whole link works.
    void finished(bool ok);

  protected:
    void report(bool ok, const QString& text);
    void end(bool ok);
    bool m_running = false;

  private:
    std::vector<Step> m_steps;
};

// Over USB: the port exists; it opens (or the permission is missing, and how to get it); the panel
// answers a read request within the answer time (how many bytes, and whether they are a frame).
// `port` names the device; the window hands its own panel port and its USB commands, which leave the
// port's bytes alone meanwhile. A port opened here is closed again.
class UsbCheck : public ConnectionCheck {
    Q_OBJECT
  public:
    UsbCheck(usb::SerialPort& port, usb::UsbCommands* commands = nullptr, int answerMs = 4000,
             QObject* parent = nullptr);
    ~UsbCheck() override; // a check ended under way closes the port it opened
    void start() override;

  private:
    void onRead(const usb::PanelRead& read);

    usb::SerialPort& m_port;
    usb::PanelReader m_reader;
    bool m_openedHere = false;
};

struct StationTarget {
    QString serverIP; // as the field holds it ("127.000.000.001") or plain dotted decimal
    int serverPort = 0;
    int panel = 0; // 0: only the TCP and HTTP steps
    QString password;
};

struct StationTimings {
    int connectMs = remote::limits::kConnectMs;
    int requestMs = remote::limits::kQueryMs;
    int pollMs = 4000;
    int answerMs = 20000; // how long the panel's answer is waited for
};

// Through the station: the address; the TCP connection; an HTTP answer to a read request; with a
// panel number and password, the query ("/get_config") and the polls until the panel's block 1 shows
// whether the password is taken. Runs on a thread of its own; steps arrive on this object's thread.
class StationCheck : public ConnectionCheck {
    Q_OBJECT
  public:
    StationCheck(std::unique_ptr<remote::HttpClient> http, StationTarget target, StationTimings timings = {},
                 QObject* parent = nullptr);
    ~StationCheck() override; // stops a check under way
    void start() override;

  private:
    void run();
    void post(bool ok, const QString& text);
    void postEnd(bool ok);
    bool sleep(int ms);

    std::unique_ptr<remote::HttpClient> m_http;
    StationTarget m_target;
    StationTimings m_timings;
    QThread* m_thread = nullptr;
    std::atomic<bool> m_cancel{false};
};

// The host part of a station URL: four groups read as decimal ("010.000.000.001" is 10.0.0.1).
// Empty when the text is no address or the zero address.
QString stationHost(const QString& serverIP);

// Whether a TCP connection to host:port opens within `timeoutMs`; `error` says why not.
bool tcpConnects(const QString& host, int port, int timeoutMs, QString& error);

} // namespace zorel8z::check
