// The three stored settings, whatever another program or a broken disk left in the store.
//
// Properties: "DefaultCom" is its whole number or 0, "DefaultPort" its whole number or 15001 when
// empty or not a number, "DefaultIP" the stored text; an empty store gives the defaults; and what the
// program writes back it reads again as the same values.
#include "FuzzSupport.h"
#include "Settings.h"
#include "common/Errors.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: the store syncs its file on every write.
    static QTemporaryDir home(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        QStringLiteral("/zorel-fuzz-XXXXXX"));
    static const bool once = [] {
        // The per-user store under a folder of the run's own.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        fuzz::ensureApp();
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        return true;
    }();
    (void)once;
    fuzz::Input in(data, size);
    const int present = in.byte(); // which of the three are stored
    const QString com = QString::fromUtf8(in.untilZero().left(40));
    const QString ip = QString::fromUtf8(in.untilZero().left(40));
    const QString port = QString::fromUtf8(in.untilZero().left(40));
    {
        QSettings store(gui::settings::kOrganisation, gui::settings::kApplication);
        store.clear();
        if (present & 1)
            store.setValue(gui::settings::kDefaultCom, com);
        if (present & 2)
            store.setValue(gui::settings::kDefaultIP, ip);
        if (present & 4)
            store.setValue(gui::settings::kDefaultPort, port);
        store.sync();
    }
    const gui::StoredSettings read = gui::readSettings();
    if ((present & 7) == 0) {
        const gui::StoredSettings defaults;
        fuzz::require(read.defaultCom == defaults.defaultCom && read.defaultIP == defaults.defaultIP &&
                          read.defaultPort == defaults.defaultPort,
                      "an empty store gives the defaults");
    } else {
        int value = 0;
        const int expectedCom = (present & 1) && tryStrToInt(com, value) ? value : 0;
        fuzz::require(read.defaultCom == expectedCom, "DefaultCom is its number or 0");
        fuzz::require(read.defaultIP == ((present & 2) ? ip : QString()), "DefaultIP is the stored text");
        const int expectedPort = (present & 4) && !port.isEmpty() && tryStrToInt(port, value) ? value : 15001;
        fuzz::require(read.defaultPort == expectedPort, "DefaultPort is its number or 15001");
    }
    gui::writeSettings(read.defaultCom, read.defaultIP, read.defaultPort);
    const gui::StoredSettings again = gui::readSettings();
    fuzz::require(again.defaultCom == read.defaultCom && again.defaultIP == read.defaultIP &&
                      again.defaultPort == read.defaultPort,
                  "what is written reads back the same");
    return 0;
}
