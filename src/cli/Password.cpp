#include "cli/Password.h"

#include <QByteArray>
#include <QFile>
#include <cstdio>

#include "platform/Platform.h"

namespace zorel8z::cli {

namespace {

// Far more than any password; a stream that never ends (a device) is not read beyond it.
constexpr qint64 kMaxLine = 256;

QByteArray readStdinLine() {
    QByteArray line;
    {
        // Typed at a terminal: asked for, and not shown on the screen.
        const platform::HiddenTyping hidden;
        if (hidden.interactive()) {
            std::fputs("Пароль: ", stderr);
            std::fflush(stderr);
        }
        QFile in;
        // By descriptor: a line read through the C library would end at the first NUL byte.
        if (in.open(0, QIODevice::ReadOnly))
            line = in.readLine(kMaxLine);
        if (hidden.interactive())
            std::fputs("\n", stderr);
    }
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

bool remotePassword(const QMap<QString, QString>& options, QString& password, QString& problem) {
    const QString option = QStringLiteral("--password");
    if (options.contains(option)) {
        const QString value = options.value(option);
        password = value == QLatin1String("-") ? QString::fromUtf8(readStdinLine()) : value;
        return true;
    }
    if (qEnvironmentVariableIsSet(kPasswordVariable)) {
        password = qEnvironmentVariable(kPasswordVariable);
        return true;
    }
    problem = QStringLiteral("Не вказано --password (або змінну %1)").arg(QLatin1String(kPasswordVariable));
    return false;
}

} // namespace zorel8z::cli
