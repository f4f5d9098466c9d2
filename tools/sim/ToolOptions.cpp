#include "sim/ToolOptions.h"

#include <QCoreApplication>
#include <cstdlib>

namespace zorel8z::sim {

void print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

void die(const QString& text) {
    print(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + text);
    std::exit(2);
}

int intValue(const QCommandLineParser& parser, const QString& name, int min, int max) {
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    if (!ok || v < min || v > max)
        die(QStringLiteral("--%1 wants a number from %2 to %3").arg(name).arg(min).arg(max));
    return v;
}

void addOption(QCommandLineParser& parser, const char* name, const char* help, const char* valueName) {
    parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                        valueName ? QString::fromLatin1(valueName) : QString()));
}

} // namespace zorel8z::sim
