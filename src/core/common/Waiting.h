#pragma once

#include <QString>

namespace zorel8z {

// Whom a running command waits for: the panel over USB, or the monitoring station.
enum class Peer { Panel, Station };

namespace texts {
extern const QString kWaitingForPanel;
extern const QString kWaitingForStation;
} // namespace texts

// What the window shows while a command waits: whom for, the whole seconds gone and the command's
// limit in whole seconds ("Очікування відповіді ПЦС… 8 с із 20"). The seconds gone never exceed the
// limit, so a late tick cannot show "21 с із 20".
QString waitingText(Peer peer, qint64 elapsedMs, int limitMs);

} // namespace zorel8z
