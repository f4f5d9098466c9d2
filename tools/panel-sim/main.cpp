// zorel8z-panel-sim: a simulated control panel on a pseudo-terminal, for demos and tests.

#include "sim/PanelSim.h"
#include "sim/QuitOnSignal.h"
#include "sim/ToolOptions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using zorel8z::sim::PanelFaults;
using zorel8z::sim::PanelSim;

using zorel8z::sim::die;
using zorel8z::sim::intValue;
using zorel8z::sim::print;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorel8z-panel-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Zorel-8Z control panel on a pseudo-terminal. Prints the device path, then answers\n"
        "\"@\" CR LF with its configuration frame and write frames with \"-<\" CR LF until stopped."));
    parser.addHelpOption();
    const auto opt = [&parser](const char* name, const char* help, const char* valueName = nullptr) {
        zorel8z::sim::addOption(parser, name, help, valueName);
    };
    opt("link", "Also make a symlink to the device at PATH (removed on exit).", "PATH");
    opt("config", "Start with the configuration in FILE (.c8z or .json).", "FILE");
    opt("serial", "Serial number, 0..65535 (default 0).", "N");
    opt("firmware", "Firmware byte, 0..255; the configurator shows it plus one (default 0).", "N");
    opt("save", "Save the configuration to PATH (.c8z or .json) after every accepted write.", "PATH");
    opt("pieces", "Send every reply in pieces of N bytes.", "N");
    opt("gap", "Pause between pieces, in milliseconds (default 100).", "MS");
    opt("paced", "Send no faster than a 9600-baud line.");
    opt("silent", "Answer nothing.");
    opt("short", "Send only the first N bytes of the frame.", "N");
    opt("garbage", "Send N random bytes instead of the frame.", "N");
    opt("seed", "Seed for --garbage, to repeat a run.", "N");
    opt("no-ack", "Apply writes but do not acknowledge them.");
    opt("frame-for-ack", "Apply writes and answer them with the configuration frame instead of \"-<\".");
    opt("broken-block", "Send block N (1..5, default 3) of the frame as invalid JSON.", "N");
    opt("tail", "Send N extra bytes after the frame.", "N");
    opt("hangup-after", "Hang up after sending N bytes of the next reply.", "N");
    opt("alter-writes", "Acknowledge writes but keep them changed (the delay of groups 1-4 one second off).");
    opt("split-at", "Pause after the first N bytes of every reply (repeatable).", "N");
    opt("split-gap", "That pause, in milliseconds (default 20).", "MS");

    // --broken-block may come without a number.
    QStringList args = QCoreApplication::arguments();
    for (int k = 1; k < args.size(); ++k) {
        if (args[k] == QLatin1String("--broken-block") &&
            (k + 1 == args.size() || args[k + 1].startsWith(QLatin1Char('-'))))
            args.insert(k + 1, QStringLiteral("3"));
    }
    parser.process(args);
    if (!parser.positionalArguments().isEmpty())
        die(QStringLiteral("unexpected argument ") + parser.positionalArguments().first());

    PanelSim sim;
    if (parser.isSet(QStringLiteral("config")) && !sim.loadConfig(parser.value(QStringLiteral("config"))))
        die(sim.errorString());
    if (parser.isSet(QStringLiteral("serial")))
        sim.setSerialNumber(quint16(intValue(parser, QStringLiteral("serial"), 0, 65535)));
    if (parser.isSet(QStringLiteral("firmware")))
        sim.setFirmwareByte(quint8(intValue(parser, QStringLiteral("firmware"), 0, 255)));
    if (parser.isSet(QStringLiteral("save")))
        sim.setSavePath(parser.value(QStringLiteral("save")));

    PanelFaults f;
    if (parser.isSet(QStringLiteral("pieces"))) {
        f.pieceSize = intValue(parser, QStringLiteral("pieces"), 1, 1 << 20);
        f.pieceGapMs = 100;
    }
    if (parser.isSet(QStringLiteral("gap")))
        f.pieceGapMs = intValue(parser, QStringLiteral("gap"), 0, 600000);
    f.paced = parser.isSet(QStringLiteral("paced"));
    f.silent = parser.isSet(QStringLiteral("silent"));
    if (parser.isSet(QStringLiteral("short")))
        f.shortReply = intValue(parser, QStringLiteral("short"), 1, 1 << 20);
    if (parser.isSet(QStringLiteral("garbage")))
        f.garbage = intValue(parser, QStringLiteral("garbage"), 1, 1 << 20);
    if (parser.isSet(QStringLiteral("seed")))
        f.garbageSeed = quint32(intValue(parser, QStringLiteral("seed"), 1, 0x7FFFFFFF));
    f.noAck = parser.isSet(QStringLiteral("no-ack"));
    f.frameForAck = parser.isSet(QStringLiteral("frame-for-ack"));
    if (parser.isSet(QStringLiteral("broken-block")))
        f.brokenBlock = intValue(parser, QStringLiteral("broken-block"), 1, 5);
    if (parser.isSet(QStringLiteral("tail")))
        f.tail = intValue(parser, QStringLiteral("tail"), 1, 1 << 20);
    if (parser.isSet(QStringLiteral("hangup-after")))
        f.hangUpAfter = intValue(parser, QStringLiteral("hangup-after"), 0, 1 << 20);
    f.alterWrites = parser.isSet(QStringLiteral("alter-writes"));
    for (const QString& value : parser.values(QStringLiteral("split-at"))) {
        bool ok = false;
        const int at = value.toInt(&ok);
        if (!ok || at < 1 || at > (1 << 20))
            die(QStringLiteral("--split-at wants a number from 1 to %1").arg(1 << 20));
        f.splitAt.push_back(at);
    }
    if (parser.isSet(QStringLiteral("split-gap")))
        f.splitGapMs = intValue(parser, QStringLiteral("split-gap"), 0, 600000);
    sim.setFaults(f);

    zorel8z::sim::QuitOnSignal quitOnSignal;
    if (!sim.open(parser.value(QStringLiteral("link"))))
        die(sim.errorString());

    QObject::connect(&sim, &PanelSim::notice, [](const QString& text) { print(stderr, text); });
    QObject::connect(&sim, &PanelSim::writeRejected,
                     [](const QString& why) { print(stderr, QStringLiteral("write refused: ") + why); });
    // An unplugged panel is gone for good; a new run plays the device plugged in again.
    QObject::connect(&sim, &PanelSim::hungUp, [] {
        print(stderr, QStringLiteral("hung up"));
        QCoreApplication::quit();
    });

    print(stdout, sim.devicePath());
    return app.exec();
}
