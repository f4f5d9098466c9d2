#pragma once

#include <QString>

namespace zorel8z::gui {

// The three values that outlive a run, in the per-user settings store.
struct StoredSettings {
    int defaultCom = 0;
    QString defaultIP = QStringLiteral("127.000.000.001");
    int defaultPort = 15001;
};

namespace settings {
extern const QString kOrganisation;
extern const QString kApplication;
extern const QString kDefaultCom;
extern const QString kDefaultIP;
extern const QString kDefaultPort;
extern const QString kVerifyAfterWrite;
} // namespace settings

// Nothing stored yet: the defaults. Stored but a value missing: "DefaultIP" empties the field,
// "DefaultPort" gives 15001, and a "DefaultCom" that is not a whole number counts as 0.
StoredSettings readSettings();
// Each value is written as a string; a store that cannot be written loses them silently.
void writeSettings(int comIndex, const QString& ip, int port);

// "Перевіряти після запису": on unless turned off and stored so. Written when the user switches it.
bool readVerifyAfterWrite();
void writeVerifyAfterWrite(bool on);

// The panel-port entry to choose at start: the stored position when the list has it, else the last
// entry, else none (-1).
int panelPortIndex(int stored, int count);

} // namespace zorel8z::gui
