#include "sim/StationSim.h"

#include "model/FrameCodec.h"

#include "common/Errors.h"
#include "common/Ui.h"
#include "controller/TController.h"
#include "model/Packing.h"
#include "rules/Checks.h"
#include "sim/SimConfigIo.h"

#include <QDir>
#include <QStringEncoder>

#include <httplib.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace zorel8z::sim {

namespace {

using Fields = std::vector<std::pair<QString, QString>>;

const char* const kTextType = "text/plain; charset=utf-8";

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QString formDecode(const std::string& s) {
    QByteArray out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 && hexDigit(s[i + 2]) >= 0) {
            out += char(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return QString::fromUtf8(out);
}

const QString* field(const Fields& fields, const char* name) {
    for (const auto& f : fields)
        if (f.first == QLatin1String(name))
            return &f.second;
    return nullptr;
}

// The panel keeps its remote password in a six-character field; trailing blanks are padding.
bool passwordMatches(const model::PanelConfig& cfg, const QString& typed) {
    QString stored = cfg.pwd;
    while (stored.endsWith(QLatin1Char(' ')))
        stored.chop(1);
    return !stored.isEmpty() && typed == stored;
}

// What the panel's frame can carry in an APN: printable ASCII other than the JSON quote and escape.
bool apnFits(const QString& text) {
    if (text.size() > model::widths::apn)
        return false;
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || u > 0x7E || c == QLatin1Char('"') || c == QLatin1Char('\\'))
            return false;
    }
    return true;
}

bool digitsOnly(const QString& text, int count) {
    if (text.size() != count)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

class CollectingUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString&) override { ++count; }
    int count = 0;
};

// cpp-httplib hands no socket to a handler; the connection is found by its two ports.
int findConnection(int localPort, int remotePort) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int found = -1;
    while (dirent* entry = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(dir))
            continue;
        sockaddr_in local{};
        sockaddr_in peer{};
        socklen_t localLen = sizeof local;
        socklen_t peerLen = sizeof peer;
        if (getsockname(int(fd), reinterpret_cast<sockaddr*>(&local), &localLen) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != localPort)
            continue;
        if (getpeername(int(fd), reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0 ||
            ntohs(peer.sin_port) != remotePort)
            continue;
        found = int(fd);
        break;
    }
    closedir(dir);
    return found;
}

} // namespace

// --- StationRequest --------------------------------------------------------------------------------

std::string StationRequest::header(const std::string& name) const {
    for (const auto& h : headers)
        if (sameName(h.first, name))
            return h.second;
    return {};
}

std::size_t StationRequest::headerCount(const std::string& name) const {
    return std::size_t(std::count_if(headers.begin(), headers.end(),
                                     [&](const auto& h) { return sameName(h.first, name); }));
}

std::string StationRequest::text() const {
    std::string out = "--> " + requestLine() + "   (port " + std::to_string(remotePort) + ")\n";
    for (const auto& h : headers)
        out += h.first + ": " + h.second + '\n';
    out += '\n' + body + '\n';
    if (cookieReturned)
        out += "(session cookie sent back)\n";
    if (status == 0) {
        out += "<-- connection dropped\n";
    } else {
        constexpr std::size_t kShown = 300;
        out += "<-- " + std::to_string(status) + ' ' + reply.substr(0, kShown);
        if (reply.size() > kShown)
            out += "... (" + std::to_string(reply.size()) + " bytes)";
        out += '\n';
    }
    if (!cookieSet.empty())
        out += "<-- Set-Cookie: " + cookieSet + '\n';
    return out;
}

// --- StationSim ------------------------------------------------------------------------------------

struct StationSim::Impl {
    struct Pending {
        int block = 0;
        bool granted = false;
        int noDataLeft = 0;
    };
    struct Panel {
        model::PanelConfig cfg;
        std::optional<Pending> pending;
    };
    struct Answer {
        int status = 200;
        std::string body;
        std::string contentType = kTextType;
    };

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::map<quint16, Panel> panels;
    StationFaults faults;
    QString saveDir;
    FILE* echo = nullptr;
    std::vector<StationRequest> log;
    std::set<std::string> redirected;
    std::set<std::string> cookies;
    int nextCookie = 1;
    QString error;
    bool stopping = false;
    const controller::TController ctl{};

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    std::atomic<bool> listenEnded{false};
    int port = 0;
    QString host;

    void handle(const httplib::Request& req, httplib::Response& res);
    Answer endpoint(const std::string& method, const std::string& path, const Fields& fields);
    Answer query(const Fields& fields);
    Answer read(const Fields& fields);
    Answer write(int block, const Fields& fields);
    // 0: applied to `cfg`; else the code the station reports.
    int apply(int block, const Fields& fields, model::PanelConfig& cfg, quint16 number);
    void save(const model::PanelConfig& cfg);
    void record(const StationRequest& r);
};

void StationSim::Impl::record(const StationRequest& r) {
    log.push_back(r);
    if (echo) {
        const std::string text = r.text() + '\n';
        std::fwrite(text.data(), 1, text.size(), echo);
        std::fflush(echo);
    }
}

void StationSim::Impl::handle(const httplib::Request& req, httplib::Response& res) {
    StationRequest r;
    r.method = req.method;
    r.target = req.target;
    r.version = req.version;
    for (const auto& h : req.headers) {
        // The library adds these to what the client sent.
        if (h.first == "REMOTE_ADDR" || h.first == "REMOTE_PORT" || h.first == "LOCAL_ADDR" ||
            h.first == "LOCAL_PORT")
            continue;
        r.headers.emplace_back(h.first, h.second);
    }
    r.body = req.body;
    r.remotePort = req.remote_port;

    std::unique_lock<std::mutex> lock(mutex);
    const StationFaults f = faults;

    for (const auto& h : r.headers) {
        if (!sameName(h.first, "Cookie"))
            continue;
        for (const QByteArray& part : QByteArray::fromStdString(h.second).split(';')) {
            const QByteArray pair = part.trimmed();
            const QByteArray prefix = QByteArray(kCookieName) + '=';
            if (pair.startsWith(prefix) && cookies.count(pair.mid(prefix.size()).toStdString()))
                r.cookieReturned = true;
        }
    }

    if (f.closeConnection) {
        const int fd = findConnection(req.local_port, req.remote_port);
        if (fd >= 0)
            ::shutdown(fd, SHUT_RDWR);
        r.status = 0;
        record(r);
        return;
    }
    if (f.slowMs > 0) {
        // Held back, but a stop does not wait for the whole pause.
        wake.wait_for(lock, std::chrono::milliseconds(f.slowMs), [this] { return stopping; });
    }

    Answer a;
    bool raw = false;
    if (f.redirectStatus > 0 && redirected.insert(req.path).second) {
        a.status = f.redirectStatus;
        a.body = "moved";
        res.set_header("Location", req.target);
    } else if (f.status500) {
        a.status = 500;
        a.body = "Internal Server Error";
    } else if (f.htmlError) {
        const QString page = QStringLiteral("<html><head><title>") + kErrorTitle +
                             QStringLiteral("</title></head><body><h1>") + kErrorTitle +
                             QStringLiteral("</h1></body></html>");
        if (f.htmlCharset.isEmpty()) {
            a.body = page.toUtf8().toStdString();
            a.contentType = "text/html";
        } else {
            QStringEncoder encoder(f.htmlCharset.toLatin1().constData());
            a.body = QByteArray(encoder.encode(page)).toStdString();
            a.contentType = "text/html; charset=" + f.htmlCharset.toStdString();
        }
    } else if (const auto it = f.rawReplies.find(req.path); it != f.rawReplies.end()) {
        a.body = it->second;
        raw = true;
    } else {
        a = endpoint(req.method, req.path, StationSim::parseForm(req.body));
    }

    if (f.setCookie && !r.cookieReturned) {
        const std::string value = 's' + std::to_string(nextCookie++);
        cookies.insert(value);
        r.cookieSet = std::string(kCookieName) + '=' + value;
        res.set_header("Set-Cookie", r.cookieSet + "; Path=/");
    }
    if (!raw && f.replyBytes > qint64(a.body.size()))
        a.body.append(std::size_t(f.replyBytes) - a.body.size(), ' ');

    res.status = a.status;
    res.set_content(a.body, a.contentType.c_str());
    r.status = a.status;
    r.reply = a.body;
    record(r);
}

StationSim::Impl::Answer StationSim::Impl::endpoint(const std::string& method, const std::string& path,
                                                    const Fields& fields) {
    static const std::map<std::string, int> kWrites = {
        {"/set_config1", 1}, {"/set_config2", 2}, {"/set_config3", 3}, {"/set_config4", 4}};
    const bool known = path == "/get_config" || path == "/read_config" || kWrites.count(path);
    if (!known)
        return {404, "Not Found"};
    if (method != "POST")
        return {405, "Method Not Allowed"};
    if (path == "/get_config")
        return query(fields);
    if (path == "/read_config")
        return read(fields);
    return write(kWrites.at(path), fields);
}

namespace {
// The panel number of a request; nothing when the field is missing or out of range.
std::optional<quint16> panelNumber(const Fields& fields) {
    const QString* text = field(fields, "ppk_num");
    int value = 0;
    if (!text || !tryStrToInt(*text, value) || value < 0 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

int blockNumber(const Fields& fields) {
    const QString* text = field(fields, "block");
    int value = 0;
    if (!text || !tryStrToInt(*text, value) || value < 1 || value > 4)
        return 0;
    return value;
}
} // namespace

StationSim::Impl::Answer StationSim::Impl::query(const Fields& fields) {
    const std::optional<quint16> number = panelNumber(fields);
    const int block = blockNumber(fields);
    const QString* pc = field(fields, "pc");
    if (faults.refuseQuery || !number || !panels.count(*number) || block == 0 || !pc)
        return {200, "err"};
    // The station relays the query whatever the password; the panel is the one that refuses.
    Panel& panel = panels[*number];
    panel.pending = Pending{block, passwordMatches(panel.cfg, *pc), faults.noDataReplies};
    return {200, "ok"};
}

StationSim::Impl::Answer StationSim::Impl::read(const Fields& fields) {
    const std::optional<quint16> number = panelNumber(fields);
    const int block = blockNumber(fields);
    if (!number || !panels.count(*number))
        return {200, "no_data"};
    Panel& panel = panels[*number];
    if (!panel.pending || panel.pending->block != block || faults.noDataForever)
        return {200, "no_data"};
    if (panel.pending->noDataLeft > 0) {
        --panel.pending->noDataLeft;
        return {200, "no_data"};
    }
    const Pending done = *panel.pending;
    panel.pending.reset();
    if (!done.granted)
        return {200, "{\"err_conf\":1}"};
    if (!faults.blockText.empty())
        return {200, faults.blockText};
    try {
        return {200, model::blockObject(ctl, panel.cfg, done.block).toUtf8().toStdString()};
    } catch (const Error&) {
        // A loaded configuration the panel could not hold (a group cell that is no number).
        return {200, "{\"err_conf\":2}"};
    }
}

StationSim::Impl::Answer StationSim::Impl::write(int block, const Fields& fields) {
    const std::optional<quint16> number = panelNumber(fields);
    const QString* pc = field(fields, "pc");
    if (!number || !panels.count(*number))
        return {200, "err"};
    Panel& panel = panels[*number];
    if (!pc || !passwordMatches(panel.cfg, *pc))
        return {200, "{\"err_wconf\":1}"};
    model::PanelConfig next = panel.cfg;
    const int code = apply(block, fields, next, *number);
    if (code != 0)
        return {200, "{\"err_wconf\":" + std::to_string(code) + '}'};

    const quint16 newNumber = quint16(next.numPPK);
    if (newNumber != *number) {
        panels.erase(*number);
        panels[newNumber] = Panel{next, std::nullopt};
    } else {
        panel.cfg = next;
        panel.pending.reset();
    }
    save(next);
    return {200, "{\"w_conf\":1}"};
}

int StationSim::Impl::apply(int block, const Fields& fields, model::PanelConfig& cfg, quint16 number) {
    constexpr int kRefused = 2;
    const auto get = [&fields](const char* name) -> std::optional<QString> {
        const QString* v = field(fields, name);
        return v ? std::optional<QString>(*v) : std::nullopt;
    };
    try {
        switch (block) {
        case 1: {
            const auto n = get("n"), a = get("a"), i = get("i"), p = get("p"), q = get("q");
            if (!n || !a || !i || !p || !q)
                return kRefused;
            int newNumber = 0;
            int port = 0;
            if (!tryStrToInt(*n, newNumber) || newNumber < 1 || newNumber > 65535 ||
                (newNumber != number && panels.count(quint16(newNumber))))
                return kRefused;
            if (!tryStrToInt(*p, port) || !model::ranges::port.contains(port))
                return kRefused;
            if (!apnFits(*a) || !apnFits(*q) || i->size() > model::widths::address ||
                !rules::NormalizeIP(*i) || i->isEmpty())
                return kRefused;
            model::unpackNetwork(cfg, {*n, *a, *i, *p, *q, cfg.pwd});
            return 0;
        }
        case 2: {
            const auto u = get("u");
            if (!u || u->size() != 4 * model::kUserCount)
                return kRefused;
            for (QChar c : *u) {
                const ushort x = c.unicode();
                if (!((x >= 0x40 && x <= 0x49) || (x >= 0x50 && x <= 0x59)))
                    return kRefused;
            }
            model::unpackUsers(ctl, cfg, *u);
            return 0;
        }
        case 3: {
            const auto l = get("l");
            if (!l)
                return kRefused;
            model::unpackZones(cfg, *l);
            return 0;
        }
        default: {
            const auto p1 = get("p1"), p2 = get("p2"), z = get("z"), x = get("x"), g = get("g"), s = get("s"),
                       v = get("v"), f = get("f"), t = get("t"), h = get("h"), l = get("l");
            if (!p1 || !p2 || !z || !x || !g || !s || !v || !f || !t || !h || !l)
                return kRefused;
            for (const QString* five : {&*p1, &*p2, &*z, &*x})
                if (!digitsOnly(*five, model::widths::fiveDigits))
                    return kRefused;
            if (!digitsOnly(*g, 1) || !digitsOnly(*h, 1) || !digitsOnly(*t, 6))
                return kRefused;
            CollectingUi ui;
            model::unpackParams(cfg, {*p1, *p2, *z, *x, *g, *s, *v, *f, *t, *h, *l}, ui);
            return ui.count == 0 ? 0 : kRefused;
        }
        }
    } catch (const Error&) {
        return kRefused;
    }
}

void StationSim::Impl::save(const model::PanelConfig& cfg) {
    if (saveDir.isEmpty())
        return;
    const QString path = QDir(saveDir).filePath(QStringLiteral("panel-%1.json").arg(cfg.numPPK));
    QString why;
    if (!savePanelConfig(path, cfg, why) && echo) {
        const QByteArray text = (QStringLiteral("save failed: ") + why + QLatin1Char('\n')).toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()), echo);
        std::fflush(echo);
    }
}

const QString StationSim::kErrorTitle = QStringLiteral("Сервер ПЦС тимчасово недоступний");

StationSim::StationSim() : d(std::make_unique<Impl>()) {}

StationSim::~StationSim() {
    stop();
}

void StationSim::addPanel(quint16 number, const QString& password, model::PanelConfig cfg) {
    cfg.numPPK = number;
    cfg.pwd = password;
    std::lock_guard<std::mutex> lock(d->mutex);
    d->panels[number] = Impl::Panel{std::move(cfg), std::nullopt};
}

bool StationSim::loadPanel(quint16 number, const QString& password, const QString& path) {
    model::PanelConfig cfg;
    QString why;
    if (!loadPanelConfig(path, cfg, why)) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->error = why;
        return false;
    }
    addPanel(number, password, cfg);
    return true;
}

std::optional<model::PanelConfig> StationSim::panel(quint16 number) const {
    std::lock_guard<std::mutex> lock(d->mutex);
    const auto it = d->panels.find(number);
    if (it == d->panels.end())
        return std::nullopt;
    return it->second.cfg;
}

std::vector<quint16> StationSim::panelNumbers() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    std::vector<quint16> out;
    for (const auto& p : d->panels)
        out.push_back(p.first);
    return out;
}

StationFaults StationSim::faults() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->faults;
}

void StationSim::setFaults(const StationFaults& faults) {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->faults = faults;
}

void StationSim::setSaveDir(const QString& dir) {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->saveDir = dir;
}

void StationSim::setEcho(FILE* stream) {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->echo = stream;
}

bool StationSim::start(int port, const QString& host) {
    stop();
    // A client that gives up (a time-out, a dropped connection) must not kill the process when the
    // late answer is written to its closed socket.
    std::signal(SIGPIPE, SIG_IGN);

    auto server = std::make_unique<httplib::Server>();
    const auto handler = [this](const httplib::Request& req, httplib::Response& res) { d->handle(req, res); };
    server->Post(".*", handler);
    server->Get(".*", handler);
    server->Put(".*", handler);
    server->Delete(".*", handler);

    const std::string hostName = host.toStdString();
    int bound = -1;
    if (port == 0)
        bound = server->bind_to_any_port(hostName);
    else if (server->bind_to_port(hostName, port))
        bound = port;
    if (bound <= 0) {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->error = QStringLiteral("cannot listen on %1:%2").arg(host).arg(port);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = false;
        d->port = bound;
        d->host = host;
        d->redirected.clear();
    }
    d->listenEnded = false;
    d->server = std::move(server);
    d->thread = std::thread([this] {
        d->server->listen_after_bind();
        d->listenEnded = true;
    });
    // stop() is a no-op until the server runs, so do not hand control back before it does.
    while (!d->server->is_running() && !d->listenEnded)
        std::this_thread::yield();
    return d->server->is_running();
}

void StationSim::stop() {
    if (!d->server)
        return;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_all();
    d->server->stop();
    if (d->thread.joinable())
        d->thread.join();
    d->server.reset();
}

bool StationSim::isRunning() const {
    return d->server && d->server->is_running();
}

int StationSim::port() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->port;
}

QString StationSim::url() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return QStringLiteral("http://%1:%2").arg(d->host).arg(d->port);
}

QString StationSim::errorString() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->error;
}

std::vector<StationRequest> StationSim::requests() const {
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->log;
}

void StationSim::clearRequests() {
    std::lock_guard<std::mutex> lock(d->mutex);
    d->log.clear();
}

std::vector<std::pair<QString, QString>> StationSim::parseForm(const std::string& body) {
    Fields out;
    if (body.empty())
        return out;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string piece = body.substr(start, end - start);
        const std::size_t eq = piece.find('=');
        if (eq == std::string::npos)
            out.emplace_back(formDecode(piece), QString());
        else
            out.emplace_back(formDecode(piece.substr(0, eq)), formDecode(piece.substr(eq + 1)));
        start = end + 1;
    }
    return out;
}

} // namespace zorel8z::sim
