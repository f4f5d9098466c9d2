// What the installer types for the station: its address, its port, the panel number and the
// password, as the remote commands check them and the requests carry them; and the same given to the
// command-line tool as IP:PORT and numbers.
//
// Properties: the command's own check lets through exactly the panel numbers and ports of 1..65535
// and a password that is not empty; a request goes to the address read group by group as decimal
// (never octal), in its canonical form, or is refused with the address message before anything is
// sent; the tool answers a usage error or a refusal and never reaches a station it was not given.
#include "FuzzSupport.h"
#include "cli/Commands.h"
#include "common/Errors.h"
#include "controller/TController.h"
#include "remote/HttpClient.h"
#include "rules/Checks.h"
#include "rules/EditorState.h"

#include <fcntl.h>
#include <unistd.h>

using namespace zorel8z;

namespace {

class RecordingHttp : public remote::HttpClient {
  public:
    QString post(const QString& url, const QByteArray& body, int) override {
        urls << url;
        bodies << body;
        return QStringLiteral("ok");
    }
    QStringList urls;
    QByteArrayList bodies;
};

// The address as the documents define it: blanks removed, four groups of decimal digits below 256
// (an empty group is 0), not all zero.
QString expectedHost(const QString& field) {
    QString text = field;
    text.remove(QLatin1Char(' '));
    const QStringList groups = text.split(QLatin1Char('.'));
    if (text.isEmpty() || groups.size() != 4)
        return QString();
    QStringList out;
    bool allZero = true;
    for (const QString& g : groups) {
        int value = 0;
        for (QChar c : g) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QString();
            value = value * 10 + (c.unicode() - '0');
            if (value > 255)
                return QString();
        }
        allZero = allZero && value == 0;
        out << QString::number(value);
    }
    return allZero ? QString() : out.join(QLatin1Char('.'));
}

// The tool's messages go nowhere while it runs; a crash still ends the run and keeps the input.
int runQuietly(const QStringList& args) {
    const int saved = ::dup(2);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, 2);
    std::fflush(stdout);
    const int code = cli::run(args);
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(devNull);
    ::close(saved);
    return code;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApp();
    fuzz::Input in(data, size);
    // Around both ends of 1..65535 and beyond them, as the spin edits can hold.
    const int panel = int(in.word()) - 2 + (in.byte() & 1) * 65536;
    const int port = int(in.word()) - 2 + (in.byte() & 1) * 65536;
    const QString password = QString::fromLatin1(in.untilZero().left(8));
    const QString address = QString::fromLatin1(in.untilZero().left(40));
    const QByteArray serverArg = in.untilZero().left(60);
    const QByteArray panelArg = in.untilZero().left(20);

    // The command's check of the connection values.
    rules::EditorState state;
    state.seNumPPK = panel;
    state.seRemoteServerPort = port;
    state.edPwd = password;
    state.meRemoteServerIP = address;
    fuzz::RecordingUi ui;
    const bool accepted = rules::CheckRemoteAccess(state, ui);
    const bool inRange = panel >= 1 && panel <= 65535 && port >= 1 && port <= 65535 && !password.isEmpty();
    fuzz::require(accepted == inRange, "panel, port and password are checked by their ranges");
    fuzz::require(accepted == ui.shown.isEmpty(), "a refusal says why, an acceptance says nothing");

    // The request: to the address read as decimal, or refused before anything is sent.
    if (accepted) {
        const controller::TController ctl;
        RecordingHttp http;
        QString refusal;
        try {
            ctl.SetQueryPPKConf(http, address, port, quint16(panel), password, QStringLiteral("1"), 1000);
        } catch (const Error& e) {
            refusal = e.text();
        }
        const QString host = expectedHost(address);
        if (host.isEmpty()) {
            fuzz::require(refusal == QStringLiteral("Не коректний IP серверу ПЦС") && http.urls.isEmpty(),
                          "an address that does not read is refused before any request");
        } else {
            fuzz::require(refusal.isEmpty() && http.urls.size() == 1, "a good address gets its request");
            fuzz::require(http.urls[0] == QStringLiteral("http://%1:%2/get_config").arg(host).arg(port),
                          "the request goes to the decimal address and the port");
            fuzz::require(http.bodies[0].startsWith("ppk_num=" + QByteArray::number(panel) + "&pc="),
                          "the panel number leads the form");
        }
    }

    // The tool: a usage error, or a refusal at the missing --in file; never a request.
    const QStringList args = {
        QStringLiteral("remote-read"), QStringLiteral("--server"), QString::fromLatin1(serverArg),
        QStringLiteral("--panel"), QString::fromLatin1(panelArg),
        // "-" would read the password from standard input.
        QStringLiteral("--password"),
        password.isEmpty() || password == QLatin1String("-") ? QStringLiteral("1") : password,
        QStringLiteral("--block"), QString::number(1 + panel % 4), QStringLiteral("--in"),
        QStringLiteral("/nonexistent/zorel-fuzz/in.json")};
    const int code = runQuietly(args);
    fuzz::require(code == cli::kUsage || code == cli::kRefused,
                  "the tool stops at its arguments or the file");
    return 0;
}
