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

inline CliResult runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZOREL_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

} // namespace zorel8z::test
