#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace zorel8z::test {

// One run of the zorel8z tool as a process of its own.
struct CliResult {
    int code;
    QString out;
    QString err;
};

// Every exit other than 0 must say why on stderr: checked here, so every test that runs the tool
// checks it for each exit it meets.
// `program`: a copy of the tool elsewhere, for what depends on the tool's folder.
inline CliResult runCli(const QStringList& args, const QString& program = QStringLiteral(ZOREL_CLI_PATH)) {
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    CliResult r{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    if (r.code != 0 && r.err.trimmed().isEmpty())
        ADD_FAILURE() << "exit " << r.code << " without a word on stderr: zorel8z "
                      << args.join(QLatin1Char(' ')).toStdString();
    return r;
}

// A simulator tool (panel, station) as a process of its own; what it serves (a device path, a URL)
// is the first line it prints. Stopped when it goes out of scope.
struct SimProcess {
    SimProcess(const QString& program, const QStringList& args) {
        process.start(program, args);
        EXPECT_TRUE(process.waitForReadyRead(10000)) << program.toStdString();
        served = QString::fromUtf8(process.readLine()).trimmed();
    }
    ~SimProcess() {
        process.terminate();
        process.waitForFinished(10000);
    }
    QProcess process;
    QString served;
};

} // namespace zorel8z::test
