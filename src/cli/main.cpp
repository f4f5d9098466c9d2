// zorel8z: the configurator's command-line tool, for tooling, scripts and tests.

#include "cli/Commands.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return zorel8z::cli::run(args);
}
