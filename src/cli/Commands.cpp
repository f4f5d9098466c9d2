#include "cli/Commands.h"

#include "cli/Listing.h"
#include "common/Errors.h"
#include "common/Ui.h"
#include "controller/TController.h"
#include "export/ConfExport.h"
#include "export/ZoneSummary.h"
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "rules/EditorState.h"
#include "rules/Sequences.h"
#include "usb/QtSerialPort.h"
#include "usb/UsbCommands.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <cstdio>

namespace zorel8z::cli {

namespace {

void write(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

// Messages of the core go to stderr, one per line, exactly as the window would show them.
class StderrUi : public Ui {
public:
    void showMessage(MsgIcon, const QString& text) override {
        shown << text;
        write(stderr, text + QLatin1Char('\n'));
    }
    QStringList shown;
};

const QString kUsageText = QStringLiteral(
    "Використання:\n"
    "  zorel8z show [--json] FILE            показати конфігурацію з FILE (.c8z або .json)\n"
    "  zorel8z convert [--no-check] IN OUT   перетворити між .c8z і .json (за розширенням);\n"
    "                                        .c8z записується лише після перевірок збереження\n"
    "  zorel8z summary FILE                  зведення шлейфів за групами (JSON)\n"
    "  zorel8z export FILE -o OUT.conf       експорт для програмного забезпечення ПЦС\n"
    "  zorel8z read --port DEV [-o FILE]     зчитати конфігурацію з ППК по USB (.c8z, .json; без -o: JSON)\n"
    "  zorel8z write --port DEV FILE         записати конфігурацію з FILE у ППК по USB\n");

int usage(const QString& problem = QString()) {
    if (!problem.isEmpty())
        write(stderr, problem + QLatin1Char('\n'));
    write(stderr, kUsageText);
    return Exit::kUsage;
}

bool isJson(const QString& path) { return QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0; }
bool isC8z(const QString& path) { return QFileInfo(path).suffix().compare(QLatin1String("c8z"), Qt::CaseInsensitive) == 0; }

const controller::TController& ctl() {
    static const controller::TController instance;
    return instance;
}

// Loads a configuration from a .c8z or .json file, reporting problems through `ui`.
bool load(const QString& path, model::PanelConfig& cfg, Ui& ui) {
    if (!isJson(path))
        return model::openConfigFile(ctl(), path, cfg, ui);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showMessage(MsgIcon::Error, QStringLiteral("Не вдалося відкрити файл\r\n") + file.errorString());
        return false;
    }
    QString error;
    if (!model::configFromJson(file.readAll(), cfg, error)) {
        ui.showMessage(MsgIcon::Error, error);
        return false;
    }
    return true;
}

bool store(const QString& path, const model::PanelConfig& cfg, Ui& ui) {
    if (!isJson(path))
        return model::saveConfigFile(ctl(), path, cfg, ui);
    QSaveFile file(path);
    const QByteArray json = model::configToJson(cfg);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        ui.showMessage(MsgIcon::Error, QStringLiteral("Не вдалося зберегти файл\r\n") + file.errorString());
        return false;
    }
    return true;
}

// Splits options from positional arguments; unknown options are a usage error.
bool split(const QStringList& args, const QStringList& flags, const QStringList& valued, QStringList& positional,
           QMap<QString, QString>& options) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (flags.contains(a)) {
            options[a] = QStringLiteral("1");
        } else if (valued.contains(a)) {
            if (i + 1 >= args.size())
                return false;
            options[a] = args[++i];
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return false;
        } else {
            positional << a;
        }
    }
    return true;
}

int show(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {QStringLiteral("--json")}, {}, pos, opt) || pos.size() != 1)
        return usage();
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    write(stdout, opt.contains(QStringLiteral("--json")) ? QString::fromUtf8(model::configToJson(cfg)) : listing(cfg));
    return kDone;
}

int convert(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {QStringLiteral("--no-check")}, {}, pos, opt) || pos.size() != 2)
        return usage();
    for (const QString& p : pos)
        if (!isJson(p) && !isC8z(p))
            return usage(QStringLiteral("Невідоме розширення файлу: %1 (потрібно .c8z або .json)").arg(p));
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    // A .c8z is what the window's save writes: it runs the same checks first, unless tooling opts out.
    if (isC8z(pos[1]) && !opt.contains(QStringLiteral("--no-check"))) {
        const rules::EditorState state;
        if (rules::saveSequence(cfg, state, ui) == rules::Verdict::Stop)
            return kRefused;
    }
    return store(pos[1], cfg, ui) ? kDone : kRefused;
}

int summary(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {}, {}, pos, opt) || pos.size() != 1)
        return usage();
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    write(stdout, exporting::GetConfig(cfg.lines) + QLatin1Char('\n'));
    return kDone;
}

int exportConf(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {}, {QStringLiteral("-o")}, pos, opt) || pos.size() != 1 || !opt.contains(QStringLiteral("-o")))
        return usage();
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    try {
        exporting::GetConfFile(opt[QStringLiteral("-o")], exporting::GetConfig(cfg.lines));
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        return kRefused;
    }
    return kDone;
}

// True when the panel never answered (as opposed to answering with something unusable).
bool noAnswer(const QStringList& shown) {
    for (const QString& m : shown)
        if (m.startsWith(usb::msg::kNoAccessPrefix) || m.startsWith(usb::msg::kRepeatRead) ||
            m == usb::msg::kNoAnswer || m == usb::msg::kLineBroken)
            return true;
    return false;
}

usb::UsbTimings timings(const QMap<QString, QString>& opt) {
    usb::UsbTimings t;
    if (opt.contains(QStringLiteral("--delay-ms")))
        t.delayCheckMs = opt[QStringLiteral("--delay-ms")].toInt();
    if (opt.contains(QStringLiteral("--watchdog-ms")))
        t.watchdogMs = opt[QStringLiteral("--watchdog-ms")].toInt();
    return t;
}

// Runs the event loop until the command has given the buttons back.
void waitForEnd(usb::UsbCommands& commands, const rules::EditorState& state) {
    QEventLoop loop;
    QObject::connect(&commands, &usb::UsbCommands::stateChanged, &loop, [&] {
        if (state.commandsEnabled)
            loop.quit();
    });
    if (!state.commandsEnabled)
        loop.exec();
}

const QStringList kUsbValued = {QStringLiteral("--port"), QStringLiteral("-o"), QStringLiteral("--delay-ms"),
                                QStringLiteral("--watchdog-ms")};

int readPanel(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {}, kUsbValued, pos, opt) || !pos.isEmpty() || !opt.contains(QStringLiteral("--port")))
        return usage();
    const QString out = opt.value(QStringLiteral("-o"));
    if (!out.isEmpty() && !isJson(out) && !isC8z(out))
        return usage(QStringLiteral("Невідоме розширення файлу: %1 (потрібно .c8z або .json)").arg(out));
    StderrUi ui;
    model::PanelConfig cfg;
    rules::EditorState state;
    usb::QtSerialPort port;
    usb::UsbCommands commands(cfg, state, port, ui, timings(opt));
    commands.choosePort(opt[QStringLiteral("--port")]);
    bool replaced = false;
    QObject::connect(&commands, &usb::UsbCommands::configReplaced, [&] { replaced = true; });
    commands.readCommand();
    waitForEnd(commands, state);
    if (!replaced)
        return noAnswer(ui.shown) ? kNoAnswer : kRefused;
    write(stdout, QStringLiteral("Серійний номер ППК: %1\nПрошивка ППК: %2\n").arg(cfg.serialNumber, cfg.firmwareVersion));
    if (out.isEmpty()) {
        write(stdout, QString::fromUtf8(model::configToJson(cfg)));
        return kDone;
    }
    return store(out, cfg, ui) ? kDone : kRefused;
}

int writePanel(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {}, kUsbValued, pos, opt) || pos.size() != 1 || !opt.contains(QStringLiteral("--port")))
        return usage();
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    rules::EditorState state;
    usb::QtSerialPort port;
    usb::UsbCommands commands(cfg, state, port, ui, timings(opt));
    commands.choosePort(opt[QStringLiteral("--port")]);
    commands.writeCommand();
    if (state.commandsEnabled)
        return kRefused; // the checks stopped it; they said why
    waitForEnd(commands, state);
    if (ui.shown.contains(usb::msg::kWritten))
        return kDone;
    return noAnswer(ui.shown) ? kNoAnswer : kRefused;
}

} // namespace

int run(const QStringList& args) {
    if (args.isEmpty())
        return usage();
    const QString command = args[0];
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("show"))
        return show(rest);
    if (command == QLatin1String("convert"))
        return convert(rest);
    if (command == QLatin1String("summary"))
        return summary(rest);
    if (command == QLatin1String("export"))
        return exportConf(rest);
    if (command == QLatin1String("read"))
        return readPanel(rest);
    if (command == QLatin1String("write"))
        return writePanel(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        write(stdout, kUsageText);
        return kDone;
    }
    return usage(QStringLiteral("Невідома команда: %1").arg(command));
}

} // namespace zorel8z::cli
