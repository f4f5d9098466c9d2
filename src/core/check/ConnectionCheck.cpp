#include "check/ConnectionCheck.h"

#include "check/CheckTexts.h"
#include "common/Errors.h"
#include "controller/TController.h"
#include "platform/Platform.h"
#include "remote/CurlLibrary.h"
#include "remote/RemoteCommands.h"
#include "rules/Checks.h"
#include "rules/Messages.h"
#include "usb/UsbCommands.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

namespace zorel8z::check {

namespace {

QString seconds(int ms) {
    return QString::number(ms / 1000.0, 'g', 3);
}

// A reply quoted in a step: its start, on one line.
QString quoted(const QString& reply) {
    QString text = reply.left(60);
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return reply.size() > 60 ? text + QStringLiteral("…") : text;
}

} // namespace

QString accessAdvice(const QString& name) {
    QString group;
    if (!platform::accessDenied(platform::deviceFile(name), group))
        return QString();
    return group.isEmpty() ? msg::kPermissionNoGroup.arg(name) : msg::kPermissionGroup.arg(name, group);
}

void ConnectionCheck::report(bool ok, const QString& text) {
    m_steps.push_back({ok, text});
    emit step(ok, text);
}

void ConnectionCheck::end(bool ok) {
    m_running = false;
    emit finished(ok);
}

// --- USB ---------------------------------------------------------------------------------------

UsbCheck::UsbCheck(usb::SerialPort& port, usb::UsbCommands* commands, int answerMs, QObject* parent)
    : ConnectionCheck(parent), m_port(port), m_reader(port, commands, answerMs) {
    connect(&m_reader, &usb::PanelReader::finished, this, &UsbCheck::onRead);
}

UsbCheck::~UsbCheck() {
    if (m_openedHere)
        m_port.close();
}

void UsbCheck::start() {
    if (m_running)
        return;
    m_running = true;
    const QString name = m_port.portName();
    if (name.isEmpty()) {
        report(false, rules::msg::kNoComPort);
        end(false);
        return;
    }
    if (!m_port.availablePorts().contains(name) && !QFileInfo::exists(platform::deviceFile(name))) {
        report(false, msg::kPortMissing.arg(name));
        end(false);
        return;
    }
    report(true, msg::kPortFound.arg(name));
    if (!m_port.isOpen()) {
        const QString advice = accessAdvice(name);
        if (!advice.isEmpty()) {
            report(false, advice);
            end(false);
            return;
        }
        QString error;
        const QMetaObject::Connection c = connect(&m_port, &usb::SerialPort::errorOccurred, this,
                                                  [&error](const QString& text) { error = text; });
        const bool opened = m_port.open();
        disconnect(c);
        if (!opened) {
            report(false, msg::kPortNotOpened.arg(name, error));
            end(false);
            return;
        }
        // The reader finds it open and leaves it so; it is closed again once the check is over.
        m_openedHere = true;
    }
    report(true, msg::kPortOpened.arg(name));
    m_reader.start();
}

void UsbCheck::onRead(const usb::PanelRead& read) {
    if (m_openedHere) {
        m_port.close();
        m_openedHere = false;
    }
    const QString name = m_port.portName();
    const int n = int(read.bytes.size());
    switch (read.outcome) {
    case usb::PanelRead::Outcome::PortError:
        report(false, msg::kRequestNotSent.arg(name, read.message));
        break;
    case usb::PanelRead::Outcome::NoAnswer:
        report(false, msg::kNoAnswer.arg(seconds(m_reader.answerMs())) + usb::msg::kNoAccessAdvice);
        break;
    case usb::PanelRead::Outcome::NotAFrame:
        report(false, msg::kNotAFrame.arg(n));
        break;
    case usb::PanelRead::Outcome::BadFrame:
        report(false, msg::kBadFrame.arg(n).arg(read.message));
        break;
    case usb::PanelRead::Outcome::Read:
        report(true, msg::kFrameReceived.arg(n).arg(read.config.serialNumber, read.config.firmwareVersion));
        report(true, msg::kUsbWorks);
        end(true);
        return;
    }
    end(false);
}

// --- Station -----------------------------------------------------------------------------------

QString stationHost(const QString& serverIP) {
    QString compact = serverIP;
    compact.remove(QLatin1Char(' '));
    const std::optional<QString> normal = rules::NormalizeIP(compact);
    if (!normal || normal->isEmpty() || *normal == model::kZeroAddress)
        return QString();
    QStringList groups = normal->split(QLatin1Char('.'));
    for (QString& g : groups)
        g = QString::number(g.toInt());
    return groups.join(QLatin1Char('.'));
}

bool tcpConnects(const QString& host, int port, int timeoutMs, QString& error) {
    const remote::CurlApi* api = nullptr;
    try {
        api = &remote::curlApi();
    } catch (const Error& e) {
        error = e.text();
        return false;
    }
    CURL* curl = api->easy_init();
    if (!curl) {
        error = QStringLiteral("libcurl");
        return false;
    }
    char message[CURL_ERROR_SIZE] = {};
    const QByteArray url = QStringLiteral("http://%1:%2/").arg(host).arg(port).toLatin1();
    api->easy_setopt(curl, CURLOPT_URL, url.constData());
    api->easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
    api->easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(timeoutMs));
    api->easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    const CURLcode rc = api->easy_perform(curl);
    api->easy_cleanup(curl);
    if (rc == CURLE_OK)
        return true;
    error = message[0] ? QString::fromLocal8Bit(message) : QString::fromLatin1(api->easy_strerror(rc));
    return false;
}

StationCheck::StationCheck(std::unique_ptr<remote::HttpClient> http, StationTarget target,
                           StationTimings timings, QObject* parent)
    : ConnectionCheck(parent), m_http(std::move(http)), m_target(std::move(target)), m_timings(timings) {}

StationCheck::~StationCheck() {
    m_cancel = true;
    if (m_http)
        m_http->shutdown();
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void StationCheck::start() {
    if (m_running || m_thread)
        return;
    m_running = true;
    m_thread = QThread::create([this] { run(); });
    m_thread->start();
}

void StationCheck::post(bool ok, const QString& text) {
    QMetaObject::invokeMethod(
        this, [this, ok, text] { report(ok, text); }, Qt::QueuedConnection);
}

void StationCheck::postEnd(bool ok) {
    QMetaObject::invokeMethod(
        this, [this, ok] { end(ok); }, Qt::QueuedConnection);
}

bool StationCheck::sleep(int ms) {
    QDeadlineTimer until(ms);
    while (!until.hasExpired()) {
        if (m_cancel)
            return false;
        QThread::msleep(quint64(std::clamp<qint64>(until.remainingTime(), 1, 20)));
    }
    return !m_cancel;
}

void StationCheck::run() {
    const controller::TController ctl;
    const StationTarget& t = m_target;
    const QString host = stationHost(t.serverIP);
    if (host.isEmpty()) {
        post(false, rules::msg::kBadRemoteServerIP);
        return postEnd(false);
    }
    if (t.serverPort < 1 || t.serverPort > 65535) {
        post(false, rules::msg::kRemotePortRange);
        return postEnd(false);
    }
    post(true, msg::kAddress.arg(host).arg(t.serverPort));

    QString error;
    if (!tcpConnects(host, t.serverPort, m_timings.connectMs, error)) {
        post(false, msg::kTcpFailed.arg(host).arg(t.serverPort).arg(error));
        return postEnd(false);
    }
    post(true, msg::kTcpConnected.arg(host).arg(t.serverPort));
    if (m_cancel)
        return postEnd(false);

    // A read request asks the station for nothing new and writes nothing.
    const quint16 panel = quint16(t.panel >= 0 && t.panel <= 65535 ? t.panel : 0);
    try {
        const QString reply =
            ctl.ReadServerConf(*m_http, host, t.serverPort, panel, QStringLiteral("1"), m_timings.requestMs);
        post(true, msg::kHttpAnswered.arg(quoted(reply)));
    } catch (const Error& e) {
        post(false, msg::kHttpFailed.arg(host).arg(t.serverPort).arg(e.text()));
        return postEnd(false);
    }

    if (t.panel == 0 && t.password.isEmpty()) {
        post(true, msg::kNoPanelGiven);
        return postEnd(true);
    }
    if (t.panel < 1 || t.panel > 65535) {
        post(false, rules::msg::kNumPPKRange);
        return postEnd(false);
    }
    if (t.password.isEmpty()) {
        post(false, rules::msg::kRemotePwdMissing);
        return postEnd(false);
    }

    try {
        const QString reply = ctl.SetQueryPPKConf(*m_http, host, t.serverPort, panel, t.password,
                                                  QStringLiteral("1"), m_timings.requestMs);
        if (reply != QLatin1String("ok")) {
            post(false, msg::kQueryRefused.arg(t.panel).arg(quoted(reply)));
            return postEnd(false);
        }
    } catch (const Error& e) {
        post(false, msg::kQueryFailed.arg(t.panel).arg(e.text()));
        return postEnd(false);
    }
    post(true, msg::kQueryAccepted.arg(t.panel));

    // The panel's block 1 comes back through the station; its status tells whether the password is taken.
    QDeadlineTimer deadline(m_timings.answerMs);
    for (;;) {
        if (!sleep(int(std::min<qint64>(m_timings.pollMs, std::max<qint64>(0, deadline.remainingTime())))))
            return postEnd(false);
        QString reply;
        try {
            reply = ctl.ReadServerConf(*m_http, host, t.serverPort, panel, QStringLiteral("1"),
                                       m_timings.requestMs);
        } catch (const Error& e) {
            post(false, msg::kPollFailed.arg(t.panel).arg(e.text()));
            return postEnd(false);
        }
        if (reply == QLatin1String("no_data")) {
            if (deadline.hasExpired()) {
                post(false, msg::kPanelSilent.arg(t.panel).arg(seconds(m_timings.answerMs)));
                return postEnd(false);
            }
            continue;
        }
        if (reply.isEmpty()) {
            post(false, msg::kPollFailed.arg(t.panel).arg(remote::msg::kServerBusy));
            return postEnd(false);
        }
        QString n, ip, port, apn, apn2, pwd;
        int status = 0;
        try {
            status = ctl.ParseBlock1Conf(model::ConnectionType::Internet, reply, n, ip, port, apn, apn2, pwd);
        } catch (const Error& e) {
            post(false, msg::kPanelRefused.arg(t.panel) + e.text());
            return postEnd(false);
        }
        if (status == 0) {
            post(true, msg::kPanelAnswered.arg(t.panel));
            post(true, msg::kStationWorks);
            return postEnd(true);
        }
        post(false, msg::kPanelRefused.arg(t.panel) +
                        (status == 1 ? remote::msg::kNoAccess
                                     : remote::msg::kStationErrorPrefix + QString::number(status)));
        return postEnd(false);
    }
}

} // namespace zorel8z::check
