#include "remote/RemoteCommands.h"

#include "common/Errors.h"
#include "model/FrameCodec.h"
#include "model/Packing.h"
#include "rules/Checks.h"
#include "rules/Messages.h"
#include "rules/Sequences.h"
#include "usb/UsbCommands.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <exception>

namespace zorel8z::remote {

using model::PageMark;
using model::PanelConfig;
using rules::Page;

namespace {

// A poll has two outcomes besides the block, and a refused query still has to hand its worker back:
// these travel the same way as the three message identifiers, with numbers next to theirs.
enum Outcome : int {
    PollNoData = 0x0404,
    PollEmpty = 0x0405,
    QueryRefused = 0x0406,
};

const QEvent::Type kResultEvent = QEvent::Type(QEvent::registerEventType());

const QString kOk = QStringLiteral("ok");
const QString kNoData = QStringLiteral("no_data");

// What a worker hands back to the commands' thread: the result and the reply it came with.
class ResultEvent : public QEvent {
  public:
    ResultEvent(const void* worker, int id, QString reply)
        : QEvent(kResultEvent), worker(worker), id(id), reply(std::move(reply)) {}
    const void* worker;
    int id;
    QString reply;
};

Page pageOfBlock(int block) {
    return Page(block - 1);
}

} // namespace

// Each field's text as the write request sends it; taken on the commands' thread when the command
// starts, so the worker never reads the record.
struct RemoteCommands::Request {
    enum class Kind { Query, Poll, Write };
    Kind kind = Kind::Query;
    QString serverIP;
    int serverPort = 0;
    quint16 numPPK = 0;
    QString pwd;
    int block = 0;
    int timeoutMs = 0;
    QStringList fields;
};

// One request on a thread of its own. It touches nothing of the commands but the shared client, and
// reports by posting exactly one result event, whatever happened.
class RemoteCommands::Worker : public QThread {
  public:
    Worker(QObject* target, HttpClient& http, Request request)
        : m_target(target), m_http(http), m_request(std::move(request)) {}

  protected:
    void run() override {
        QString reply;
        try {
            reply = perform();
        } catch (const std::exception&) {
            // A failed request counts as an empty reply.
            reply.clear();
        } catch (...) {
            reply.clear();
        }
        QCoreApplication::postEvent(m_target, new ResultEvent(this, classify(reply), reply));
    }

  private:
    QString perform() const {
        const controller::TController ctl;
        const Request& r = m_request;
        const QString block = QString::number(r.block);
        switch (r.kind) {
        case Request::Kind::Query:
            return ctl.SetQueryPPKConf(m_http, r.serverIP, r.serverPort, r.numPPK, r.pwd, block, r.timeoutMs);
        case Request::Kind::Poll:
            return ctl.ReadServerConf(m_http, r.serverIP, r.serverPort, r.numPPK, block, r.timeoutMs);
        case Request::Kind::Write:
            break;
        }
        const QStringList& f = r.fields;
        switch (r.block) {
        case 1:
            return ctl.WriteConf1(m_http, r.serverIP, r.serverPort, r.numPPK, r.pwd, f[0], f[1], f[2], f[3],
                                  f[4], r.timeoutMs);
        case 2:
            return ctl.WriteConf2(m_http, r.serverIP, r.serverPort, r.numPPK, r.pwd, f[0], r.timeoutMs);
        case 3:
            return ctl.WriteConf3(m_http, r.serverIP, r.serverPort, r.numPPK, r.pwd, f[0], r.timeoutMs);
        default:
            return ctl.WriteConf4(m_http, r.serverIP, r.serverPort, r.numPPK, r.pwd, f[0], f[1], f[2], f[3],
                                  f[4], f[5], f[6], f[7], f[8], f[9], f[10], r.timeoutMs);
        }
    }

    int classify(const QString& reply) const {
        switch (m_request.kind) {
        case Request::Kind::Query:
            // Only the whole body "ok" is an acceptance; nothing else is read into it.
            return reply == kOk ? int(WM_REMOTE_SET_QUERY_READ) : int(QueryRefused);
        case Request::Kind::Poll:
            if (reply.isEmpty())
                return PollEmpty;
            return reply == kNoData ? int(PollNoData) : int(WM_REMOTE_READ_DONE);
        case Request::Kind::Write:
            break;
        }
        return WM_REMOTE_WRITE_DONE;
    }

    QObject* m_target;
    HttpClient& m_http;
    const Request m_request;
};

QString remoteTimesField(const QString& ukOn, const QString& ukOff, Ui& ui) {
    QString out;
    for (const QString& text : {ukOn, ukOff}) {
        if (text.isEmpty() || text.size() > 3) {
            ui.showMessage(MsgIcon::Error, texts::kBadConfigFormat);
            continue;
        }
        out += model::zeroFill3(text);
    }
    return out;
}

RemoteCommands::RemoteCommands(PanelConfig& cfg, rules::EditorState& state, HttpClient& http, Ui& ui,
                               usb::CommandWatchdog& watchdog, RemoteTimings timings, QObject* parent)
    : QObject(parent), m_cfg(cfg), m_state(state), m_http(http), m_ui(ui), m_watchdog(watchdog),
      m_timings(timings), m_poll(this) {
    m_poll.setObjectName(QStringLiteral("tiReadConfQuery"));
    // A coarse timer may tick 5 % early or late; the station is polled every 4 s to the millisecond.
    m_poll.setTimerType(Qt::PreciseTimer);
    m_poll.setInterval(m_timings.pollMs);
    connect(&m_poll, &QTimer::timeout, this, &RemoteCommands::onPollTick);
    connect(&m_watchdog, &usb::CommandWatchdog::expiring, this, &RemoteCommands::onWatchdogExpiring);
    connect(&m_watchdog, &usb::CommandWatchdog::stateChanged, this, &RemoteCommands::stateChanged);
    // A USB command that ended while this read still waits for its block.
    connect(&m_watchdog, &usb::CommandWatchdog::stopped, this, [this] {
        if (m_reading)
            m_watchdog.start();
    });
    connect(&m_watchdog, &usb::CommandWatchdog::expired, this, [this] {
        if (!m_endedByWatchdog)
            return;
        m_endedByWatchdog = false;
        emit commandEnded();
    });
}

RemoteCommands::~RemoteCommands() {
    // Closing must not wait out a request's time limit: the client drops it. The result the worker
    // posted goes away with this object.
    if (m_worker) {
        m_http.shutdown();
        m_worker->wait();
    }
}

bool RemoteCommands::busy() const {
    return m_reading || m_writing || m_worker != nullptr;
}

RemoteCommands::Request RemoteCommands::connection(int block, int timeoutMs) const {
    Request r;
    r.serverIP = m_state.meRemoteServerIP;
    r.serverPort = m_state.seRemoteServerPort;
    r.numPPK = quint16(m_state.seNumPPK);
    r.pwd = m_state.edPwd;
    r.block = block;
    r.timeoutMs = timeoutMs;
    return r;
}

void RemoteCommands::startWorker(Request request) {
    m_worker = std::make_unique<Worker>(this, m_http, std::move(request));
    m_worker->start();
}

void RemoteCommands::readCommand() {
    if (busy())
        return;
    // The key codes never travel through the station.
    if (m_state.mode != rules::Mode::Remote || m_state.openPage == Page::Keys ||
        !rules::CheckRemoteAccess(m_state, m_ui)) {
        emit commandEnded();
        return;
    }
    // The address is used as the field holds it, but one that does not name a station would reach
    // none, or the wrong one, and only after the watchdog's time.
    if (!rules::CheckRemoteServerIP(m_state.meRemoteServerIP, m_ui)) {
        emit commandEnded();
        return;
    }
    m_state.commandsEnabled = false;
    m_readBlock = int(m_state.openPage) + 1;
    m_reading = true;
    m_receivedText.clear();
    Request query = connection(m_readBlock, m_timings.queryTimeoutMs);
    query.kind = Request::Kind::Query;
    startWorker(std::move(query));
    // A fresh read gets the whole time, even if an earlier one left the watchdog running.
    m_watchdog.start();
    m_state.changePPKNumVisible = true;
    emit stateChanged();
}

void RemoteCommands::writeCommand() {
    if (busy())
        return;
    if (m_state.mode != rules::Mode::Remote || m_state.openPage == Page::Keys ||
        rules::writeSequence(m_cfg, m_state, m_ui) == rules::Verdict::Stop) {
        emit commandEnded();
        return;
    }

    const int block = int(m_state.openPage) + 1;
    Request write = connection(block, m_timings.writeTimeoutMs);
    write.kind = Request::Kind::Write;
    try {
        write.fields = blockFields(block);
    } catch (const Error& e) {
        m_ui.showMessage(MsgIcon::Error, e.text());
        emit commandEnded();
        return;
    }

    m_state.changePPKNumVisible = true;
    m_state.commandsEnabled = false;
    m_writeBlock = block;
    m_writing = true;
    startWorker(std::move(write));
    emit stateChanged();
}

QStringList RemoteCommands::blockFields(int block) const {
    switch (block) {
    case 1: {
        // The configuration's own remote password and the redundant server are never sent.
        const model::NetworkTexts n = model::packNetwork(m_cfg);
        return {n.n, n.a, n.i, n.p, n.q};
    }
    case 2:
        return {model::packUsers(m_ctl, m_cfg)};
    case 3:
        return {model::packZones(m_cfg)};
    default:
        break;
    }
    const model::ParamTexts p = model::packParams(m_cfg);
    const QString t = remoteTimesField(m_state.spinText(rules::Control::seUKon, m_cfg.UKon),
                                       m_state.spinText(rules::Control::seUKoff, m_cfg.UKoff), m_ui);
    return {p.p1,         p.p2,         p.low, p.hi,       p.ppkType,      p.timeDelay,
            p.timeDelay2, p.UKworkTime, t,     p.UKinvert, p.Set1 + p.Set2};
}

bool RemoteCommands::event(QEvent* e) {
    if (e->type() != kResultEvent)
        return QObject::event(e);
    auto* result = static_cast<ResultEvent*>(e);
    // The worker has posted its last word; let its thread end and release it.
    if (m_worker && m_worker.get() == result->worker) {
        m_worker->wait();
        m_worker.reset();
    }
    switch (result->id) {
    case WM_REMOTE_WRITE_DONE:
        onRemoteWriteDone(result->reply);
        break;
    case WM_REMOTE_SET_QUERY_READ:
        if (m_reading)
            onRemoteSetQueryRead();
        break;
    case WM_REMOTE_READ_DONE:
        if (m_reading) {
            m_poll.stop();
            m_receivedText = result->reply;
            onRemoteReadDone();
        }
        break;
    case PollNoData:
        // The next poll comes a whole interval after this reply.
        if (m_reading)
            m_poll.start();
        break;
    case PollEmpty:
        if (m_reading)
            serverBusy();
        break;
    default:
        // A refused query: the watchdog ends the read.
        break;
    }
    return true;
}

void RemoteCommands::onRemoteSetQueryRead() {
    m_poll.start();
}

void RemoteCommands::onPollTick() {
    // One request at a time on the shared client: a tick while a poll is out is skipped.
    if (!m_reading || m_worker)
        return;
    m_receivedText.clear();
    Request poll = connection(m_readBlock, m_timings.queryTimeoutMs);
    poll.kind = Request::Kind::Poll;
    startWorker(std::move(poll));
}

void RemoteCommands::serverBusy() {
    m_poll.stop();
    m_reading = false;
    // The read has ended; a watchdog left running would only find the commands enabled.
    m_watchdog.stop();
    m_state.setMark(pageOfBlock(m_readBlock), PageMark::None);
    m_state.commandsEnabled = true;
    emit stateChanged();
    m_ui.showMessage(MsgIcon::Error, msg::kServerBusy);
    emit commandEnded();
}

void RemoteCommands::onRemoteReadDone() {
    m_reading = false;
    m_state.commandsEnabled = true;
    m_watchdog.stop();

    // Decode into a copy and take over only this block's fields, and only once it all decoded.
    PanelConfig next = m_cfg;
    int status = 0;
    try {
        switch (m_readBlock) {
        case 1:
            status = model::decodeNetworkBlock(m_ctl, model::ConnectionType::Internet, m_receivedText, next);
            break;
        case 2:
            next.passwordsHidden = true;
            status = model::decodeUsersBlock(m_ctl, model::ConnectionType::Internet, m_receivedText, next);
            break;
        case 3:
            status = model::decodeZonesBlock(m_ctl, model::ConnectionType::Internet, m_receivedText, next);
            break;
        default:
            status =
                model::decodeParamsBlock(m_ctl, model::ConnectionType::Internet, m_receivedText, next, m_ui);
            break;
        }
    } catch (const Error& e) {
        emit stateChanged();
        m_ui.showMessage(MsgIcon::Error, e.text());
        emit commandEnded();
        return;
    }

    if (status != 0) {
        emit stateChanged();
        if (status == 1)
            m_ui.showMessage(MsgIcon::Error, msg::kNoAccess);
        else
            m_ui.showMessage(MsgIcon::Error, msg::kStationErrorPrefix + QString::number(status));
        emit commandEnded();
        return;
    }

    applyBlock(std::move(next));
    const Page page = pageOfBlock(m_readBlock);
    m_state.setMark(page, PageMark::Synced);
    emit pageFilled(page);
    emit stateChanged();
    emit commandEnded();
}

void RemoteCommands::applyBlock(PanelConfig next) {
    // The decoders wrote only this block's fields into the copy; block 1 also brings the
    // configuration's remote password, which stays as it was, and the number the panel reported,
    // where the field shows the number under which the panel was addressed.
    if (m_readBlock == 1) {
        next.pwd = m_cfg.pwd;
        next.numPPK = model::ranges::numPPK.clamp(m_state.seNumPPK);
    }
    m_cfg = std::move(next);
    // The filled fields show values again, and later undos return to what was read.
    const Page page = pageOfBlock(m_readBlock);
    for (auto it = m_state.blankSpinEdits.begin(); it != m_state.blankSpinEdits.end();)
        it = rules::pageOf(*it) == page ? m_state.blankSpinEdits.erase(it) : std::next(it);
    m_state.retakeFrom(m_cfg);
}

void RemoteCommands::onWatchdogExpiring() {
    // The read ends here; if someone else has given the commands back already, without a report.
    // A result that comes after this is dropped.
    if (!m_reading)
        return;
    m_poll.stop();
    m_reading = false;
    m_endedByWatchdog = true;
}

void RemoteCommands::onRemoteWriteDone(const QString& reply) {
    m_writing = false;
    m_state.commandsEnabled = true;
    m_watchdog.stop();
    int result = 0;
    try {
        result = m_ctl.ParseWriteServerConf(reply);
    } catch (const Error& e) {
        emit stateChanged();
        m_ui.showMessage(MsgIcon::Error, e.text());
        emit commandEnded();
        return;
    }
    if (result == 0)
        m_state.setMark(pageOfBlock(m_writeBlock), PageMark::Synced);
    emit stateChanged();
    if (result == 0)
        m_ui.showMessage(MsgIcon::Information, usb::msg::kWritten);
    else if (result == 1)
        m_ui.showMessage(MsgIcon::Error, msg::kNoAccess);
    else
        m_ui.showMessage(MsgIcon::Error, msg::kStationErrorPrefix + QString::number(result));
    emit commandEnded();
}

} // namespace zorel8z::remote

// The texts declared in RemoteCommands.h: defined once here, not in every file that includes it.
namespace zorel8z::remote::msg {

const QString kServerBusy = QStringLiteral("Сервер зайнятий! Повторіть спробу пізніше!");
const QString kNoAccess = QStringLiteral("Не має доступу до ППК! Перевірте активацію режима "
                                         "\"Програмування\", пароль і зняття всіх груп з охорони!");
const QString kStationErrorPrefix = QStringLiteral("Помилка ПЦС! Код помилки : ");

} // namespace zorel8z::remote::msg
