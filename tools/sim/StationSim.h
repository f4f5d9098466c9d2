#pragma once

#include "model/PanelConfig.h"

#include <QString>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zorel8z::sim {

// Ways a simulated station can misbehave; the defaults give a well-behaved station. A request meets
// them in this order: dropped connection, slow answer, redirect, status 500, HTML page, raw reply,
// then the endpoint itself; the cookie applies to whatever is answered, the padding to all but a raw
// reply.
struct StationFaults {
    bool refuseQuery = false;     // "/get_config" never answers "ok"
    int noDataReplies = 1;        // "no_data" answers to the polls after a query before the block comes
    bool noDataForever = false;   // every poll answers "no_data"
    bool closeConnection = false; // every connection is dropped without a reply
    int slowMs = 0;               // every answer is held back this long
    int redirectStatus = 0;       // 301, 302, 303, 307, 308: the first request to each path is sent
                                  // back to the same path with this status
    bool status500 = false;       // every request answers status 500
    bool htmlError = false;       // every request answers an HTML error page with status 200...
    QString htmlCharset = QStringLiteral("windows-1251"); // ...in this charset; empty: UTF-8 bytes and
                                                          // no charset named in Content-Type
    bool setCookie = false; // answers set a session cookie until the client sends it back
    qint64 replyBytes = 0;  // > 0: every reply body is padded with blanks to this many bytes
    // Not empty: the block a poll hands over (where the panel's own block would come) is these exact
    // bytes, whatever they hold (escapes, other blocks' keys, broken JSON).
    std::string blockText;
    // Every request to one of these paths ("/read_config") is answered with exactly these bytes,
    // status 200, whatever the form holds and whatever the panels are.
    std::map<std::string, std::string> rawReplies;
};

// One request as the station saw it, and what it answered.
struct StationRequest {
    std::string method;
    std::string target;  // as in the request line
    std::string version; // "HTTP/1.0"
    // The request's headers, ordered by name (the server library keeps no other order).
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body; // raw bytes
    int remotePort = 0;
    bool cookieReturned = false; // the request carried a session cookie this station had set
    std::string cookieSet;       // the cookie the answer set ("zstation=s1"), empty when none
    int status = 0;              // 0: the connection was dropped without a reply
    std::string reply;

    std::string requestLine() const { return method + ' ' + target + ' ' + version; }
    // First value of a header (names compared without case); empty when absent.
    std::string header(const std::string& name) const;
    std::size_t headerCount(const std::string& name) const;
    // The request and the start of the reply as the log shows them.
    std::string text() const;
};

// A simulated monitoring-station server on a loopback address. It holds panels (number, remote password,
// configuration) and answers the configurator's requests as if each panel were online:
//   "/get_config"   ppk_num, pc, block -> "ok" for a known panel and block 1..4, else "err";
//   "/read_config"  ppk_num, block     -> "no_data" (StationFaults::noDataReplies times after a
//                   query), then the block object, or {"err_conf":1} when the query's password was
//                   wrong; "no_data" when no query for that block is pending;
//   "/set_config1".."/set_config4"     -> {"w_conf":1} when applied, {"err_wconf":1} for a wrong
//                   password, {"err_wconf":2} for values the panel cannot take; "err" for an unknown
//                   panel. Writing block 1 with a new "n" renumbers the panel.
// The server runs on threads of its own; every member may be called from any thread.
class StationSim {
public:
    static constexpr const char* kCookieName = "zstation";
    // Title and heading of the page that StationFaults::htmlError answers.
    static const QString kErrorTitle;

    StationSim();
    ~StationSim(); // stops the server
    StationSim(const StationSim&) = delete;
    StationSim& operator=(const StationSim&) = delete;

    // A panel with `cfg` (factory values by default) under `number`; the password becomes the
    // configuration's remote password. Replaces a panel with the same number.
    void addPanel(quint16 number, const QString& password, model::PanelConfig cfg = model::PanelConfig());
    // The same with the configuration read from a .c8z or .json file; false: see errorString().
    bool loadPanel(quint16 number, const QString& password, const QString& path);
    std::optional<model::PanelConfig> panel(quint16 number) const;
    std::vector<quint16> panelNumbers() const;

    StationFaults faults() const;
    void setFaults(const StationFaults& faults);
    // After every applied write the panel is saved to DIR/panel-N.json; empty: not saved.
    void setSaveDir(const QString& dir);
    // Each request and its answer is written there as it is handled; nullptr: nowhere.
    void setEcho(FILE* stream);

    // Listens on `host`:`port` (0: any free port). The host is meant to be a loopback address; tests
    // use others than 127.0.0.1 to tell how an address was read. False: see errorString().
    bool start(int port = 0, const QString& host = QStringLiteral("127.0.0.1"));
    void stop();
    bool isRunning() const;
    int port() const;
    QString url() const; // "http://HOST:PORT"
    QString errorString() const;

    // Every request handled so far, in the order they were answered.
    std::vector<StationRequest> requests() const;
    void clearRequests();

    // The form fields of a body in their order, "+" and "%XX" decoded, the bytes read as UTF-8.
    static std::vector<std::pair<QString, QString>> parseForm(const std::string& body);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace zorel8z::sim
