// zorel8z-station-sim: a simulated monitoring-station server on 127.0.0.1, for demos and tests.

#include "sim/QuitOnSignal.h"
#include "sim/StationSim.h"
#include "sim/ToolOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringConverter>

#include <cstdio>

using zorel8z::sim::StationFaults;
using zorel8z::sim::StationSim;

using zorel8z::sim::die;
using zorel8z::sim::intValue;
using zorel8z::sim::print;

namespace {

// N:PASSWORD[:FILE], the file part may hold colons of its own.
void addPanel(StationSim& sim, const QString& arg) {
    const qsizetype first = arg.indexOf(QLatin1Char(':'));
    if (first < 0)
        die(QStringLiteral("--panel wants N:PASSWORD[:FILE], not ") + arg);
    const qsizetype second = arg.indexOf(QLatin1Char(':'), first + 1);
    bool ok = false;
    const int number = arg.left(first).toInt(&ok);
    if (!ok || number < 1 || number > 65535)
        die(QStringLiteral("--panel: the panel number must be 1..65535 in ") + arg);
    const QString password = second < 0 ? arg.mid(first + 1) : arg.mid(first + 1, second - first - 1);
    if (password.isEmpty() || password.size() > 6)
        die(QStringLiteral("--panel: the password must have 1 to 6 characters in ") + arg);
    if (second < 0) {
        sim.addPanel(quint16(number), password);
    } else if (!sim.loadPanel(quint16(number), password, arg.mid(second + 1))) {
        die(sim.errorString());
    }
}

// The whole content of a file an option names, as bytes.
std::string fileBytes(const QString& option, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die(option + QStringLiteral(": cannot read ") + path + QStringLiteral(": ") + file.errorString());
    return file.readAll().toStdString();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorel8z-station-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated monitoring-station server on 127.0.0.1. Prints its URL, then answers the\n"
        "configurator's /get_config, /read_config and /set_config1..4 for its panels until stopped.\n"
        "Every request is logged on stderr."));
    parser.addHelpOption();
    const auto opt = [&parser](const char* name, const char* help, const char* valueName = nullptr) {
        zorel8z::sim::addOption(parser, name, help, valueName);
    };
    opt("port", "TCP port to listen on, 0 for any free one (default 0).", "N");
    opt("panel",
        "A panel: number, remote password and optionally a .c8z or .json configuration (else factory "
        "values). Repeatable; default 1:123456.",
        "N:PASSWORD[:FILE]");
    opt("save", "After every applied write save the panel to DIR/panel-N.json.", "DIR");
    opt("no-data", "Answer \"no_data\" to N polls after a query before the block (default 1).", "N");
    opt("no-data-forever", "Answer \"no_data\" to every poll.");
    opt("refuse-query", "Never accept a query (\"err\" instead of \"ok\").");
    opt("close-connection", "Drop every connection without a reply.");
    opt("slow", "Hold every answer back MS milliseconds.", "MS");
    opt("redirect", "Send the first request to each path back to it with status CODE (default 307).", "CODE");
    opt("status-500", "Answer every request with status 500.");
    opt("html-error", "Answer every request with an HTML error page and status 200.");
    opt("html-charset", "Charset of that page (default windows-1251; \"none\": UTF-8 without a charset).",
        "NAME");
    opt("set-cookie", "Set a session cookie and log whether later requests send it back.");
    opt("reply-bytes", "Pad every reply body with blanks to N bytes.", "N");
    opt("block-text", "Hand over TEXT (UTF-8, sent as it is) as the block a poll collects.", "TEXT");
    opt("block-file", "Hand over the bytes of FILE as the block a poll collects.", "FILE");
    opt("raw-reply", "Answer every request to PATH with exactly the bytes of FILE (repeatable).",
        "PATH=FILE");
    opt("quiet", "Do not log the requests.");

    // --redirect may come without a status.
    QStringList args = QCoreApplication::arguments();
    for (int k = 1; k < args.size(); ++k) {
        if (args[k] == QLatin1String("--redirect") &&
            (k + 1 == args.size() || args[k + 1].startsWith(QLatin1Char('-'))))
            args.insert(k + 1, QStringLiteral("307"));
    }
    parser.process(args);
    if (!parser.positionalArguments().isEmpty())
        die(QStringLiteral("unexpected argument ") + parser.positionalArguments().first());

    StationSim sim;
    const QStringList panels = parser.values(QStringLiteral("panel"));
    for (const QString& arg : panels)
        addPanel(sim, arg);
    if (panels.isEmpty())
        sim.addPanel(1, QStringLiteral("123456"));
    if (parser.isSet(QStringLiteral("save"))) {
        const QString dir = parser.value(QStringLiteral("save"));
        if (!QDir(dir).exists())
            die(QStringLiteral("--save: no directory ") + dir);
        sim.setSaveDir(dir);
    }

    StationFaults f;
    if (parser.isSet(QStringLiteral("no-data")))
        f.noDataReplies = intValue(parser, QStringLiteral("no-data"), 0, 1000000);
    f.noDataForever = parser.isSet(QStringLiteral("no-data-forever"));
    f.refuseQuery = parser.isSet(QStringLiteral("refuse-query"));
    f.closeConnection = parser.isSet(QStringLiteral("close-connection"));
    if (parser.isSet(QStringLiteral("slow")))
        f.slowMs = intValue(parser, QStringLiteral("slow"), 0, 3600000);
    if (parser.isSet(QStringLiteral("redirect"))) {
        f.redirectStatus = intValue(parser, QStringLiteral("redirect"), 301, 308);
        if (f.redirectStatus > 303 && f.redirectStatus < 307)
            die(QStringLiteral("--redirect wants 301, 302, 303, 307 or 308"));
    }
    f.status500 = parser.isSet(QStringLiteral("status-500"));
    f.htmlError = parser.isSet(QStringLiteral("html-error"));
    if (parser.isSet(QStringLiteral("html-charset"))) {
        const QString name = parser.value(QStringLiteral("html-charset"));
        if (name == QLatin1String("none")) {
            f.htmlCharset.clear();
        } else if (!QStringEncoder(name.toLatin1().constData()).isValid()) {
            die(QStringLiteral("--html-charset: unknown charset ") + name);
        } else {
            f.htmlCharset = name;
        }
    }
    f.setCookie = parser.isSet(QStringLiteral("set-cookie"));
    if (parser.isSet(QStringLiteral("reply-bytes")))
        f.replyBytes = intValue(parser, QStringLiteral("reply-bytes"), 1, 1 << 30);
    if (parser.isSet(QStringLiteral("block-text")) && parser.isSet(QStringLiteral("block-file")))
        die(QStringLiteral("--block-text and --block-file: one or the other"));
    if (parser.isSet(QStringLiteral("block-text")))
        f.blockText = parser.value(QStringLiteral("block-text")).toStdString();
    if (parser.isSet(QStringLiteral("block-file")))
        f.blockText = fileBytes(QStringLiteral("--block-file"), parser.value(QStringLiteral("block-file")));
    for (const QString& arg : parser.values(QStringLiteral("raw-reply"))) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq < 1 || !arg.startsWith(QLatin1Char('/')))
            die(QStringLiteral("--raw-reply wants PATH=FILE with PATH starting with /, not ") + arg);
        f.rawReplies[arg.left(eq).toStdString()] = fileBytes(QStringLiteral("--raw-reply"), arg.mid(eq + 1));
    }
    sim.setFaults(f);
    if (!parser.isSet(QStringLiteral("quiet")))
        sim.setEcho(stderr);

    int port = 0;
    if (parser.isSet(QStringLiteral("port")))
        port = intValue(parser, QStringLiteral("port"), 0, 65535);

    zorel8z::sim::QuitOnSignal quitOnSignal;
    if (!sim.start(port))
        die(sim.errorString());

    print(stdout, sim.url());
    const int rc = app.exec();
    sim.stop();
    return rc;
}
