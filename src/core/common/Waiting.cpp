#include "common/Waiting.h"

#include <algorithm>

namespace zorel8z {

QString waitingText(Peer peer, qint64 elapsedMs, int limitMs) {
    // A limit of 2.5 s still reads as "із 3": the command may well take its third second.
    const qint64 limit = std::max<qint64>(0, (qint64(limitMs) + 999) / 1000);
    const qint64 elapsed = std::clamp<qint64>(elapsedMs / 1000, 0, limit);
    const QString& text = peer == Peer::Panel ? texts::kWaitingForPanel : texts::kWaitingForStation;
    return text.arg(elapsed).arg(limit);
}

} // namespace zorel8z

// The texts declared in Waiting.h: defined once here, not in every file that includes it.
namespace zorel8z::texts {

const QString kWaitingForPanel = QStringLiteral("Очікування відповіді ППК… %1 с із %2");
const QString kWaitingForStation = QStringLiteral("Очікування відповіді ПЦС… %1 с із %2");

} // namespace zorel8z::texts
