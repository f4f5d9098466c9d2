#include "Settings.h"

#include "common/Errors.h"

#include <QSettings>

namespace zorel8z::gui {

StoredSettings readSettings() {
    StoredSettings out;
    QSettings store(settings::kOrganisation, settings::kApplication);
    // Only the three values count: a store that holds nothing but the check after a write is as new.
    if (!store.contains(settings::kDefaultCom) && !store.contains(settings::kDefaultIP) &&
        !store.contains(settings::kDefaultPort))
        return out;
    int com = 0;
    out.defaultCom = tryStrToInt(store.value(settings::kDefaultCom).toString(), com) ? com : 0;
    out.defaultIP = store.value(settings::kDefaultIP).toString();
    int port = 0;
    const QString portText = store.value(settings::kDefaultPort).toString();
    out.defaultPort = (!portText.isEmpty() && tryStrToInt(portText, port)) ? port : 15001;
    return out;
}

void writeSettings(int comIndex, const QString& ip, int port) {
    QSettings store(settings::kOrganisation, settings::kApplication);
    store.setValue(settings::kDefaultCom, QString::number(comIndex));
    store.setValue(settings::kDefaultIP, ip);
    store.setValue(settings::kDefaultPort, QString::number(port));
    store.sync();
}

bool readVerifyAfterWrite() {
    QSettings store(settings::kOrganisation, settings::kApplication);
    return store.value(settings::kVerifyAfterWrite).toString() != QLatin1String("0");
}

void writeVerifyAfterWrite(bool on) {
    QSettings store(settings::kOrganisation, settings::kApplication);
    store.setValue(settings::kVerifyAfterWrite, on ? QStringLiteral("1") : QStringLiteral("0"));
    store.sync();
}

int panelPortIndex(int stored, int count) {
    if (stored >= 0 && stored < count)
        return stored;
    return count > 0 ? count - 1 : -1;
}

} // namespace zorel8z::gui

// The texts declared in Settings.h: defined once here, not in every file that includes it.
namespace zorel8z::gui::settings {

const QString kOrganisation = QStringLiteral("QuendalSoftware");
const QString kApplication = QStringLiteral("Settings");
const QString kDefaultCom = QStringLiteral("DefaultCom");
const QString kDefaultIP = QStringLiteral("DefaultIP");
const QString kDefaultPort = QStringLiteral("DefaultPort");
const QString kVerifyAfterWrite = QStringLiteral("VerifyAfterWrite");

} // namespace zorel8z::gui::settings
