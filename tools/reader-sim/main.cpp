// zorel8z-reader-sim: a simulated key reader on a pseudo-terminal, for demos and tests.

#include "sim/QuitOnSignal.h"
#include "sim/ToolOptions.h"
#include "sim/ReaderSim.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using zorel8z::sim::KeyOptions;
using zorel8z::sim::ReaderSim;

using zorel8z::sim::die;
using zorel8z::sim::intValue;
using zorel8z::sim::print;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zorel8z-reader-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated key reader on a pseudo-terminal. Prints the device path, then sends each --key as\n"
        "one burst and keeps the device open until stopped (or exits with --exit)."));
    parser.addHelpOption();
    const auto opt = [&parser](const char* name, const char* help, const char* valueName = nullptr) {
        zorel8z::sim::addOption(parser, name, help, valueName);
    };
    opt("key", "A key text to send (usually 16 hex digits); repeat for more keys.", "TEXT");
    opt("split", "Send each key as two halves with a pause between them.");
    opt("split-gap", "Pause between the halves, in milliseconds (default 300).", "MS");
    opt("crlf", "Append CR LF to each key.");
    opt("interval", "Pause between keys, in milliseconds (default 1000).", "MS");
    opt("delay", "Pause before the first key, in milliseconds (default 0).", "MS");
    opt("link", "Also make a symlink to the device at PATH (removed on exit).", "PATH");
    opt("wait-open", "Send nothing until a client opens the device.");
    opt("exit", "Exit once every key is sent.");
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        die(QStringLiteral("unexpected argument ") + parser.positionalArguments().first());

    KeyOptions options;
    options.split = parser.isSet(QStringLiteral("split"));
    if (parser.isSet(QStringLiteral("split-gap")))
        options.splitGapMs = intValue(parser, QStringLiteral("split-gap"), 0, 600000);
    options.crlf = parser.isSet(QStringLiteral("crlf"));
    const int interval = parser.isSet(QStringLiteral("interval"))
                             ? intValue(parser, QStringLiteral("interval"), 0, 600000)
                             : 1000;
    const int delay =
        parser.isSet(QStringLiteral("delay")) ? intValue(parser, QStringLiteral("delay"), 0, 600000) : 0;
    const QStringList keys = parser.values(QStringLiteral("key"));

    zorel8z::sim::QuitOnSignal quitOnSignal;
    ReaderSim reader;
    if (!reader.open(parser.value(QStringLiteral("link")), parser.isSet(QStringLiteral("wait-open"))))
        die(reader.errorString());

    QObject::connect(&reader, &ReaderSim::burstSent, [](const QByteArray& bytes) {
        print(stderr, QStringLiteral("sent %1 bytes").arg(bytes.size()));
    });
    // With --exit, leave once everything is sent and read: unread bytes vanish with the device.
    QTimer drained;
    drained.setInterval(20);
    int drainTicks = 0;
    QObject::connect(&drained, &QTimer::timeout, [&] {
        if (reader.pty().pendingInput() <= 0 || ++drainTicks > 250)
            QCoreApplication::quit();
    });
    if (parser.isSet(QStringLiteral("exit")))
        QObject::connect(&reader, &ReaderSim::idle, &drained, qOverload<>(&QTimer::start));

    if (delay > 0)
        reader.pause(delay);
    for (int k = 0; k < keys.size(); ++k) {
        if (k > 0)
            reader.pause(interval);
        reader.sendKey(keys[k], options);
    }

    if (parser.isSet(QStringLiteral("exit")) && reader.isIdle() && reader.clientSeen())
        drained.start();

    print(stdout, reader.devicePath());
    return app.exec();
}
