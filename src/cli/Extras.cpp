#include "cli/Extras.h"

#include "archive/Archive.h"
#include "check/ConnectionCheck.h"
#include "cli/Commands.h"
#include "cli/SheetLoader.h"
#include "common/Errors.h"
#include "compare/ConfigCompare.h"
#include "journal/ReadHistory.h"
#include "remote/CurlHttpClient.h"
#include "usb/SystemSerialPort.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

namespace zorel8z::cli {

namespace {

void print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

class StderrUi : public Ui {
  public:
    void showMessage(MsgIcon, const QString& text) override { print(stderr, text + QLatin1Char('\n')); }
};

int usage(const QString& text) {
    print(stderr, text + QLatin1Char('\n'));
    return kUsage;
}

// A number option; false (and a usage message) for one that is not a whole number in range.
bool number(const QMap<QString, QString>& opt, const QString& key, int lo, int hi, int& out, int& exitCode) {
    if (!opt.contains(key))
        return true;
    bool ok = false;
    const int v = opt[key].toInt(&ok);
    if (!ok || v < lo || v > hi) {
        exitCode = usage(QStringLiteral("%1: потрібно ціле число від %2 до %3").arg(key).arg(lo).arg(hi));
        return false;
    }
    out = v;
    return true;
}

// Runs a connection check to its end, printing each step as it comes.
int runCheck(check::ConnectionCheck& c) {
    bool ok = false;
    bool ended = false;
    QString stoppedAt;
    QEventLoop loop;
    QObject::connect(&c, &check::ConnectionCheck::step, [&stoppedAt](bool passed, const QString& text) {
        QString line = text;
        line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        print(stdout, (passed ? QStringLiteral("✓ ") : QStringLiteral("✗ ")) + line + QLatin1Char('\n'));
        if (!passed)
            stoppedAt = line;
    });
    QObject::connect(&c, &check::ConnectionCheck::finished, &loop, [&](bool passed) {
        ok = passed;
        ended = true;
        loop.quit();
    });
    c.start();
    if (!ended)
        loop.exec();
    // The steps went to standard output; where the check stopped goes to the error output as well.
    if (!ok)
        print(stderr, QStringLiteral("Перевірку зупинено: ") + stoppedAt + QLatin1Char('\n'));
    return ok ? kDone : kRefused;
}

} // namespace

int diffCommand(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!splitArgs(args, {QStringLiteral("--json")}, {}, pos, opt) || pos.size() != 2)
        return usage(QStringLiteral("Використання: zorel8z diff [--json] A B"));
    StderrUi ui;
    model::PanelConfig a;
    model::PanelConfig b;
    // Trouble is 2, as for diff(1): 1 means only that the two differ.
    if (!loadConfig(pos[0], a, ui) || !loadConfig(pos[1], b, ui))
        return kUsage;
    const std::vector<compare::PageDiff> diffs = compare::compareConfigs(a, b);
    print(stdout, opt.contains(QStringLiteral("--json")) ? QString::fromUtf8(compare::diffJson(diffs))
                                                         : compare::diffText(diffs));
    if (diffs.empty())
        return kDone;
    size_t rows = 0;
    for (const compare::PageDiff& page : diffs)
        rows += page.rows.size();
    // The list went to standard output; the verdict goes to the error output too.
    print(stderr, QStringLiteral("Конфігурації відрізняються (полів: %1)\n").arg(rows));
    return kRefused;
}

int sheetCommand(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!splitArgs(args, {QStringLiteral("--with-secrets"), QStringLiteral("--changed-only")},
                   {QStringLiteral("-o")}, pos, opt) ||
        pos.size() != 1 || !opt.contains(QStringLiteral("-o")))
        return usage(
            QStringLiteral("Використання: zorel8z sheet FILE -o OUT.pdf [--with-secrets] [--changed-only]"));
    StderrUi ui;
    model::PanelConfig cfg;
    if (!loadConfig(pos[0], cfg, ui))
        return kRefused;
    sheet::SheetOptions o;
    o.withSecrets = opt.contains(QStringLiteral("--with-secrets"));
    o.changedOnly = opt.contains(QStringLiteral("--changed-only"));
    const QString out = opt[QStringLiteral("-o")];
    QString error;
    const sheet::SheetModule* module = loadSheetModule(error); // loaded already by main()
    if (!module) {
        ui.showMessage(MsgIcon::Error, QStringLiteral("Не вдалося завантажити модуль паспорта: ") + error);
        return kRefused;
    }
    journal::Record r;
    r.operation = journal::op::kExport;
    r.file = QFileInfo(out).absoluteFilePath();
    if (!module->writeSheetPdf(cfg, o, out, &error)) {
        const QString text = QStringLiteral("Не вдалося зберегти файл\r\n") + error;
        ui.showMessage(MsgIcon::Error, text);
        r.outcome = journal::outcome::kFailed;
        r.message = text;
        journalAppend(r);
        return kRefused;
    }
    r.outcome = journal::outcome::kOk;
    journalAppend(r);
    return kDone;
}

int journalCommand(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    if (!splitArgs(args, {QStringLiteral("--json")}, {QStringLiteral("--since")}, pos, opt) || !pos.isEmpty())
        return usage(QStringLiteral("Використання: zorel8z journal [--since DATE] [--json]"));
    QDateTime since;
    if (opt.contains(QStringLiteral("--since"))) {
        since = journal::parseSince(opt[QStringLiteral("--since")]);
        if (!since.isValid())
            return usage(QStringLiteral("--since: потрібна дата РРРР-ММ-ДД або РРРР-ММ-ДД ГГ:ХХ"));
    }
    const bool json = opt.contains(QStringLiteral("--json"));
    for (const journal::Record& r : journal::Journal().records(since))
        print(stdout,
              (json ? QString::fromUtf8(journal::toLine(r)) : journal::describe(r)) + QLatin1Char('\n'));
    return kDone;
}

int checkCommand(const QStringList& args) {
    QStringList pos;
    QMap<QString, QString> opt;
    const QStringList valued = {QStringLiteral("--port"),       QStringLiteral("--server"),
                                QStringLiteral("--panel"),      QStringLiteral("--password"),
                                QStringLiteral("--delay-ms"),   QStringLiteral("--poll-ms"),
                                QStringLiteral("--watchdog-ms")};
    const QString use =
        QStringLiteral("Використання: zorel8z check --port DEV | --server IP:PORT [--panel N --password P]");
    if (!splitArgs(args, {}, valued, pos, opt) || !pos.isEmpty() ||
        opt.contains(QStringLiteral("--port")) == opt.contains(QStringLiteral("--server")))
        return usage(use);
    int code = kDone;

    if (opt.contains(QStringLiteral("--port"))) {
        int answerMs = 4000;
        if (!number(opt, QStringLiteral("--delay-ms"), 1, 600000, answerMs, code))
            return code;
        usb::SystemSerialPort port;
        port.setPortName(opt[QStringLiteral("--port")]);
        check::UsbCheck c(port, nullptr, answerMs);
        return runCheck(c);
    }

    const QString server = opt[QStringLiteral("--server")];
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    bool ok = colon > 0;
    check::StationTarget t;
    if (ok)
        t.serverPort = server.mid(colon + 1).toInt(&ok);
    if (!ok)
        return usage(QStringLiteral("--server: потрібно IP:PORT"));
    t.serverIP = server.left(colon);
    if (!number(opt, QStringLiteral("--panel"), 0, 999999999, t.panel, code))
        return code;
    t.password = opt.value(QStringLiteral("--password"));
    if (!opt.contains(QStringLiteral("--password")))
        t.password = qEnvironmentVariable("ZOREL8Z_PASSWORD");
    if (t.password == QLatin1String("-"))
        t.password = QTextStream(stdin).readLine();
    if (t.password.size() > model::widths::pwd)
        return usage(QStringLiteral("--password: не більше 6 символів"));
    check::StationTimings timings;
    if (!number(opt, QStringLiteral("--poll-ms"), 1, 600000, timings.pollMs, code) ||
        !number(opt, QStringLiteral("--watchdog-ms"), 1, 600000, timings.answerMs, code))
        return code;
    try {
        check::StationCheck c(std::make_unique<remote::CurlHttpClient>(), t, timings);
        return runCheck(c);
    } catch (const Error& e) {
        print(stderr, e.text() + QLatin1Char('\n'));
        return kRefused;
    }
}

QString archiveRead(const QString& panel, const model::PanelConfig& cfg) {
    QString error;
    const std::optional<archive::Entry> entry =
        archive::Archive().store(panel, cfg, QDateTime::currentDateTime(), &error);
    if (!entry) {
        print(stderr, QStringLiteral("Не вдалося зберегти зчитане в архів: %1\n").arg(error));
        return QString();
    }
    return entry->path;
}

void journalAppend(journal::Record record) {
    QString error;
    if (!journal::Journal().append(std::move(record), &error))
        print(stderr, QStringLiteral("Не вдалося записати журнал: %1\n").arg(error));
}

QStringList changedSinceLastRead(const QString& link, const QString& block, const model::PanelConfig& written,
                                 const std::vector<rules::Page>& pages) {
    return journal::changedSinceLastRead(link, block, written, pages);
}

QString lastSerial(const QString& link) {
    return journal::lastSerial(link);
}

} // namespace zorel8z::cli
