#include "cli/Commands.h"

#include "archive/Archive.h"
#include "cli/Extras.h"
#include "cli/Listing.h"
#include "cli/Password.h"
#include "common/Errors.h"
#include "common/Ui.h"
#include "controller/TController.h"
#include "export/ConfExport.h"
#include "export/ZoneSummary.h"
#include "journal/Journal.h"
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "model/SaveCheck.h"
#include "remote/CurlHttpClient.h"
#include "remote/RemoteCommands.h"
#include "remote/RemoteMode.h"
#include "rules/EditorState.h"
#include "rules/Sequences.h"
#include "usb/CommandWatchdog.h"
#include "usb/SystemSerialPort.h"
#include "usb/UsbCommands.h"
#include "usb/WriteVerifier.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <QFileInfo>
#include <QMap>
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
    "  zorel8z read --port DEV [-o FILE] [--no-archive]\n"
    "                                        зчитати конфігурацію з ППК по USB (.c8z, .json; без -o: JSON)\n"
    "  zorel8z write --port DEV [--verify] FILE\n"
    "                                        записати конфігурацію з FILE у ППК по USB; --verify: зчитати\n"
    "                                        назад і порівняти (код 4, якщо відрізняється)\n"
    "  zorel8z remote-read --server IP:PORT --panel N [--password P|-] --block 1..4 [--in FILE] [-o FILE]\n"
    "                                        зчитати блок через сервер ПЦС поверх --in FILE (або типових\n"
    "                                        значень); без -o: JSON\n"
    "  zorel8z remote-write --server IP:PORT --panel N [--password P|-] --block 1..4 FILE\n"
    "                                        записати блок з FILE у ППК через сервер ПЦС\n"
    "  zorel8z diff [--json] A B             порівняти дві конфігурації (код 0: однакові, 1: різні)\n"
    "  zorel8z sheet FILE -o OUT.pdf [--with-secrets] [--changed-only]\n"
    "                                        паспорт конфігурації (PDF, A4)\n"
    "  zorel8z journal [--since DATE] [--json]\n"
    "                                        журнал зчитувань, записів, збережень і експорту\n"
    "  zorel8z check --port DEV | --server IP:PORT [--panel N --password P]\n"
    "                                        перевірити з'єднання крок за кроком (нічого не записує)\n"
    "Зчитане (read, remote-read) зберігається в архів; --no-archive вимикає це.\n"
    "  Інтервали в мілісекундах (ціле число від 1): --delay-ms N, --watchdog-ms N для read і write,\n"
    "  --poll-ms N, --watchdog-ms N для remote-read і remote-write\n"
    "  Пароль ПЦС: --password -  читає його з першого рядка стандартного входу; без --password\n"
    "  він береться зі змінної середовища ZOREL8Z_PASSWORD.\n");

int usage(const QString& problem = QString()) {
    if (!problem.isEmpty())
        write(stderr, problem + QLatin1Char('\n'));
    write(stderr, kUsageText);
    return Exit::kUsage;
}

bool isJson(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}
bool isC8z(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("c8z"), Qt::CaseInsensitive) == 0;
}

const controller::TController& ctl() {
    static const controller::TController instance;
    return instance;
}

// Loads a configuration from a .c8z or .json file, reporting problems through `ui`.
bool load(const QString& path, model::PanelConfig& cfg, Ui& ui) {
    if (!isJson(path))
        return model::openConfigFile(ctl(), path, cfg, ui);
    return model::openConfigJsonFile(path, cfg, ui);
}

bool store(const QString& path, const model::PanelConfig& cfg, Ui& ui) {
    if (!isJson(path))
        return model::saveConfigFile(ctl(), path, cfg, ui);
    return model::saveConfigJsonFile(path, cfg, ui);
}

// The JSON form on standard output, which is as good as a file: what would not read back the same
// is refused with the same message as a file.
bool printJson(const model::PanelConfig& cfg, Ui& ui) {
    const QString refusal = model::jsonRefusal(cfg);
    if (!refusal.isEmpty()) {
        ui.showMessage(MsgIcon::Error, refusal);
        return false;
    }
    write(stdout, QString::fromUtf8(model::configToJson(cfg)));
    return true;
}

// The journal's line of a file saved or exported.
void journalFile(const QString& operation, const QString& path, bool ok, const StderrUi& ui) {
    journal::Record line;
    line.operation = operation;
    line.file = QFileInfo(path).absoluteFilePath();
    line.outcome = ok ? journal::outcome::kOk : journal::outcome::kFailed;
    if (!ok)
        line.message = ui.shown.join(QLatin1Char('\n'));
    journalAppend(line);
}

// Splits options from positional arguments; unknown options are a usage error.
bool split(const QStringList& args, const QStringList& flags, const QStringList& valued,
           QStringList& positional, QMap<QString, QString>& options) {
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
    if (opt.contains(QStringLiteral("--json")))
        return printJson(cfg, ui) ? kDone : kRefused;
    write(stdout, listing(cfg));
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
    const bool saved = store(pos[1], cfg, ui);
    journalFile(journal::op::kSave, pos[1], saved, ui);
    return saved ? kDone : kRefused;
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
    if (!split(args, {}, {QStringLiteral("-o")}, pos, opt) || pos.size() != 1 ||
        !opt.contains(QStringLiteral("-o")))
        return usage();
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    try {
        exporting::GetConfFile(opt[QStringLiteral("-o")], exporting::GetConfig(cfg.lines));
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        journalFile(journal::op::kExport, opt[QStringLiteral("-o")], false, ui);
        return kRefused;
    }
    journalFile(journal::op::kExport, opt[QStringLiteral("-o")], true, ui);
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

// A timer interval given on the command line: a whole number of milliseconds, at least 1. Anything
// else is a usage error (read as 0 it would end every command at once).
bool intervalOption(const QMap<QString, QString>& opt, const char* name, int& out, QString& problem) {
    const QString key = QLatin1String(name);
    if (!opt.contains(key))
        return true;
    bool ok = false;
    const int value = opt[key].toInt(&ok);
    if (!ok || value < 1 || value > 24 * 3600 * 1000) {
        problem = QStringLiteral("%1: потрібно ціле число мілісекунд від 1 до 86400000, а не \"%2\"")
                      .arg(key, opt[key]);
        return false;
    }
    out = value;
    return true;
}

bool timings(const QMap<QString, QString>& opt, usb::UsbTimings& t, QString& problem) {
    return intervalOption(opt, "--delay-ms", t.delayCheckMs, problem) &&
           intervalOption(opt, "--watchdog-ms", t.watchdogMs, problem);
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

// Runs the event loop until the write, and the check after it, have given the buttons back.
void waitForWrite(usb::UsbCommands& commands, usb::WriteVerifier& verifier, const rules::EditorState& state) {
    QEventLoop loop;
    const auto ended = [&] { return state.commandsEnabled && !verifier.verifying(); };
    QObject::connect(&commands, &usb::UsbCommands::stateChanged, &loop, [&] {
        if (ended())
            loop.quit();
    });
    QObject::connect(&verifier, &usb::WriteVerifier::stateChanged, &loop, [&] {
        if (ended())
            loop.quit();
    });
    if (!ended())
        loop.exec();
}

const QStringList kUsbValued = {QStringLiteral("--port"), QStringLiteral("-o"), QStringLiteral("--delay-ms"),
                                QStringLiteral("--watchdog-ms")};

int readPanel(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {QStringLiteral("--no-archive")}, kUsbValued, pos, opt) || !pos.isEmpty() ||
        !opt.contains(QStringLiteral("--port")))
        return usage();
    const QString out = opt.value(QStringLiteral("-o"));
    if (!out.isEmpty() && !isJson(out) && !isC8z(out))
        return usage(QStringLiteral("Невідоме розширення файлу: %1 (потрібно .c8z або .json)").arg(out));
    usb::UsbTimings t;
    QString problem;
    if (!timings(opt, t, problem))
        return usage(problem);
    StderrUi ui;
    model::PanelConfig cfg;
    rules::EditorState state;
    usb::SystemSerialPort port;
    usb::CommandWatchdog watchdog(state, ui, t.watchdogMs);
    usb::UsbCommands commands(cfg, state, port, ui, watchdog, t);
    commands.choosePort(opt[QStringLiteral("--port")]);
    bool replaced = false;
    QObject::connect(&commands, &usb::UsbCommands::configReplaced, [&] { replaced = true; });
    commands.readCommand();
    // A port that does not open has been reported; there is nothing to wait for.
    if (!port.isOpen())
        return kRefused;
    waitForEnd(commands, state);
    journal::Record line;
    line.operation = journal::op::kRead;
    line.link = journal::usbLink(opt[QStringLiteral("--port")]);
    line.block = QStringLiteral("1-5");
    if (!replaced) {
        line.outcome = journal::outcome::kFailed;
        line.message = ui.shown.join(QLatin1Char('\n'));
        journalAppend(line);
        return noAnswer(ui.shown) ? kNoAnswer : kRefused;
    }
    line.serial = cfg.serialNumber;
    line.outcome = journal::outcome::kOk;
    if (!opt.contains(QStringLiteral("--no-archive")))
        line.archive = archiveRead(archive::Archive::usbPanel(cfg.serialNumber), cfg);
    journalAppend(line);
    write(stdout, QStringLiteral("Серійний номер ППК: %1\nПрошивка ППК: %2\n")
                      .arg(cfg.serialNumber, cfg.firmwareVersion));
    if (out.isEmpty()) {
        return printJson(cfg, ui) ? kDone : kRefused;
    }
    return store(out, cfg, ui) ? kDone : kRefused;
}

int writePanel(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {QStringLiteral("--verify")}, kUsbValued, pos, opt) || pos.size() != 1 ||
        !opt.contains(QStringLiteral("--port")))
        return usage();
    usb::UsbTimings t;
    QString problem;
    if (!timings(opt, t, problem))
        return usage(problem);
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    rules::EditorState state;
    usb::SystemSerialPort port;
    usb::CommandWatchdog watchdog(state, ui, t.watchdogMs);
    usb::UsbCommands commands(cfg, state, port, ui, watchdog, t);
    commands.choosePort(opt[QStringLiteral("--port")]);
    usb::WriteVerifier verifier(commands, state, ui, t.delayCheckMs);
    verifier.setEnabled(opt.contains(QStringLiteral("--verify")));
    bool verified = false;
    QObject::connect(&verifier, &usb::WriteVerifier::finished, [&] { verified = true; });
    verifier.writeCommand();
    if (state.commandsEnabled)
        return kRefused; // the checks stopped it; they said why
    // A port that does not open has been reported; no acknowledgement can come.
    if (port.isOpen())
        waitForWrite(commands, verifier, state);
    journal::Record line;
    line.operation = journal::op::kWrite;
    line.link = journal::usbLink(opt[QStringLiteral("--port")]);
    line.block = QStringLiteral("1-5");
    line.serial = verified && verifier.last().read.outcome == usb::PanelRead::Outcome::Read
                      ? verifier.last().read.config.serialNumber
                      : lastSerial(line.link);
    line.changed = changedSinceLastRead(line.link, line.block, cfg);
    int code = kDone;
    if (verified && verifier.last().outcome != usb::Verification::Outcome::Verified)
        code = kNotVerified;
    else if (!ui.shown.contains(usb::msg::kWritten))
        code = noAnswer(ui.shown) ? kNoAnswer : kRefused;
    line.outcome = code == kDone          ? journal::outcome::kOk
                   : code == kNotVerified ? journal::outcome::kNotVerified
                                          : journal::outcome::kFailed;
    if (code != kDone)
        line.message = ui.shown.join(QLatin1Char('\n'));
    journalAppend(line);
    return code;
}

// The connection values and the block of a remote command. A value that is not even a number is a
// usage error; the ranges are the remote commands' own checks, with their messages.
struct RemoteArgs {
    QString serverIP;
    int serverPort = 0;
    int panel = 0;
    QString password;
    int block = 0;
    remote::RemoteTimings timings;
    int watchdogMs = 20000;
};

const QStringList kRemoteValued = {QStringLiteral("--server"),   QStringLiteral("--panel"),
                                   QStringLiteral("--password"), QStringLiteral("--block"),
                                   QStringLiteral("--in"),       QStringLiteral("-o"),
                                   QStringLiteral("--poll-ms"),  QStringLiteral("--watchdog-ms")};

bool remoteArgs(const QMap<QString, QString>& opt, RemoteArgs& out, QString& problem) {
    for (const char* required : {"--server", "--panel", "--block"}) {
        if (!opt.contains(QLatin1String(required))) {
            problem = QStringLiteral("Не вказано %1").arg(QLatin1String(required));
            return false;
        }
    }
    const QString server = opt[QStringLiteral("--server")];
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    bool ok = colon > 0;
    if (ok)
        out.serverPort = server.mid(colon + 1).toInt(&ok);
    if (!ok) {
        problem = QStringLiteral("--server: потрібно IP:PORT");
        return false;
    }
    out.serverIP = server.left(colon);
    out.panel = opt[QStringLiteral("--panel")].toInt(&ok);
    if (!ok) {
        problem = QStringLiteral("--panel: потрібно число");
        return false;
    }
    if (!remotePassword(opt, out.password, problem))
        return false;
    // The window's password field holds at most six characters.
    if (out.password.size() > model::widths::pwd) {
        problem = QStringLiteral("--password: не більше 6 символів");
        return false;
    }
    out.block = opt[QStringLiteral("--block")].toInt(&ok);
    if (!ok || out.block < 1 || out.block > 4) {
        problem = QStringLiteral("--block: потрібно 1, 2, 3 або 4");
        return false;
    }
    return intervalOption(opt, "--poll-ms", out.timings.pollMs, problem) &&
           intervalOption(opt, "--watchdog-ms", out.watchdogMs, problem);
}

// Remote mode on the page of the block, with the connection values as the window's fields would hold them.
void remoteState(const RemoteArgs& a, model::PanelConfig& cfg, rules::EditorState& state) {
    remote::switchToRemote(cfg, state);
    state.openPage = rules::Page(a.block - 1);
    // Only the number the station knows the panel by; the configuration keeps its own number, which
    // is how a write from a file renumbers the panel.
    state.seNumPPK = a.panel;
    state.edPwd = a.password;
    state.meRemoteServerIP = a.serverIP;
    state.seRemoteServerPort = a.serverPort;
}

// Runs one remote command to its end; a refused one ends before the loop would start.
template <typename Start> void runRemote(remote::RemoteCommands& commands, Start start) {
    bool ended = false;
    QEventLoop loop;
    QObject::connect(&commands, &remote::RemoteCommands::commandEnded, &loop, [&] {
        ended = true;
        loop.quit();
    });
    start();
    if (!ended)
        loop.exec();
}

int remoteExit(const QStringList& shown) {
    return shown.contains(usb::msg::kNoAnswer) || shown.contains(remote::msg::kServerBusy) ? kNoAnswer
                                                                                           : kRefused;
}

int remoteRead(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {QStringLiteral("--no-archive")}, kRemoteValued, pos, opt) || !pos.isEmpty())
        return usage();
    RemoteArgs a;
    QString problem;
    if (!remoteArgs(opt, a, problem))
        return usage(problem);
    const QString out = opt.value(QStringLiteral("-o"));
    if (!out.isEmpty() && !isJson(out) && !isC8z(out))
        return usage(QStringLiteral("Невідоме розширення файлу: %1 (потрібно .c8z або .json)").arg(out));
    StderrUi ui;
    model::PanelConfig cfg;
    if (opt.contains(QStringLiteral("--in")) && !load(opt[QStringLiteral("--in")], cfg, ui))
        return kRefused;
    rules::EditorState state;
    remoteState(a, cfg, state);
    bool filled = false;
    try {
        remote::CurlHttpClient http;
        usb::CommandWatchdog watchdog(state, ui, a.watchdogMs);
        remote::RemoteCommands commands(cfg, state, http, ui, watchdog, a.timings);
        QObject::connect(&commands, &remote::RemoteCommands::pageFilled, [&] { filled = true; });
        runRemote(commands, [&] { commands.readCommand(); });
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        return kRefused;
    }
    journal::Record line;
    line.operation = journal::op::kRead;
    line.link = journal::stationLink(a.serverIP, a.serverPort, a.panel);
    line.block = QString::number(a.block);
    line.outcome = filled ? journal::outcome::kOk : journal::outcome::kFailed;
    if (!filled) {
        line.message = ui.shown.join(QLatin1Char('\n'));
        journalAppend(line);
        return remoteExit(ui.shown);
    }
    if (!opt.contains(QStringLiteral("--no-archive")))
        line.archive = archiveRead(archive::Archive::stationPanel(a.panel), cfg);
    journalAppend(line);
    if (out.isEmpty()) {
        return printJson(cfg, ui) ? kDone : kRefused;
    }
    return store(out, cfg, ui) ? kDone : kRefused;
}

int remoteWrite(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!split(args, {}, kRemoteValued, pos, opt) || pos.size() != 1 ||
        opt.contains(QStringLiteral("--in")) || opt.contains(QStringLiteral("-o")))
        return usage();
    RemoteArgs a;
    QString problem;
    if (!remoteArgs(opt, a, problem))
        return usage(problem);
    StderrUi ui;
    model::PanelConfig cfg;
    if (!load(pos[0], cfg, ui))
        return kRefused;
    rules::EditorState state;
    remoteState(a, cfg, state);
    try {
        remote::CurlHttpClient http;
        usb::CommandWatchdog watchdog(state, ui, a.watchdogMs);
        remote::RemoteCommands commands(cfg, state, http, ui, watchdog, a.timings);
        runRemote(commands, [&] { commands.writeCommand(); });
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        return kRefused;
    }
    const bool written = ui.shown.contains(usb::msg::kWritten);
    journal::Record line;
    line.operation = journal::op::kWrite;
    line.link = journal::stationLink(a.serverIP, a.serverPort, a.panel);
    line.block = QString::number(a.block);
    line.outcome = written ? journal::outcome::kOk : journal::outcome::kFailed;
    line.changed = changedSinceLastRead(line.link, line.block, cfg, {rules::Page(a.block - 1)});
    if (!written)
        line.message = ui.shown.join(QLatin1Char('\n'));
    journalAppend(line);
    return written ? kDone : remoteExit(ui.shown);
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
    if (command == QLatin1String("remote-read"))
        return remoteRead(rest);
    if (command == QLatin1String("remote-write"))
        return remoteWrite(rest);
    if (command == QLatin1String("diff"))
        return diffCommand(rest);
    if (command == QLatin1String("sheet"))
        return sheetCommand(rest);
    if (command == QLatin1String("journal"))
        return journalCommand(rest);
    if (command == QLatin1String("check"))
        return checkCommand(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        write(stdout, kUsageText);
        return kDone;
    }
    return usage(QStringLiteral("Невідома команда: %1").arg(command));
}

bool loadConfig(const QString& path, model::PanelConfig& cfg, Ui& ui) {
    return load(path, cfg, ui);
}

bool splitArgs(const QStringList& args, const QStringList& flags, const QStringList& valued,
               QStringList& positional, QMap<QString, QString>& options) {
    return split(args, flags, valued, positional, options);
}

} // namespace zorel8z::cli
