#include "export/ZoneSummary.h"

namespace zorel8z::exporting {

QString zoneCode(const model::ZoneEntry& zone) {
    if (!zone.typeValid() || !zone.modifierValid() || zone.zoneType() != model::ZoneType::AllDay)
        return QStringLiteral("0");
    switch (zone.zoneModifier()) {
    case model::ZoneModifier::NoChange:
    case model::ZoneModifier::PanicButton:
    case model::ZoneModifier::Bypass:
    case model::ZoneModifier::Disabled:
        return QStringLiteral("6");
    case model::ZoneModifier::Fire:
        return QStringLiteral("2");
    case model::ZoneModifier::Silent:
    case model::ZoneModifier::NoUK1:
        break;
    }
    return QStringLiteral("0");
}

QString GetConfig(const std::array<model::ZoneEntry, model::kZoneCount>& lines) {
    // Built as text so the member order is exactly the one the station export reads back.
    QString groups;
    QString gp;
    for (int g = 1; g <= 8; ++g) {
        QString zones;
        for (int z = 0; z < model::kZoneCount; ++z) {
            const model::ZoneEntry& zone = lines[z];
            if (zone.group != g)
                continue;
            if (!zones.isEmpty())
                zones += QLatin1Char(',');
            zones += QStringLiteral("{\"p\":\"%1\",\"t\":\"%2\"}").arg(z + 1).arg(zoneCode(zone));
        }
        if (zones.isEmpty())
            continue;
        if (!groups.isEmpty()) {
            groups += QLatin1Char(',');
            gp += QLatin1Char(',');
        }
        groups += QString::number(g);
        gp += QStringLiteral("{\"gp_%1\":[%2]}").arg(g).arg(zones);
    }
    return QStringLiteral("{\"device\":\"ppk\",\"groups\":[%1],\"gp\":[%2]}").arg(groups, gp);
}

} // namespace zorel8z::exporting
