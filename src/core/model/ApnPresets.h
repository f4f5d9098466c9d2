#pragma once

#include <QStringList>

namespace zorel8z::model {

// The access-point names the two APN lists offer: the common ones of the Ukrainian mobile operators
// and the panel maker's three private ones. Any other name may still be typed.
inline QStringList apnPresets() {
    return {
        QStringLiteral("internet"),
        QStringLiteral("www.kyivstar.net"),
        QStringLiteral("www.ab.kiev.ua"),
        QStringLiteral("www.djuice.com.ua"),
        QStringLiteral("3g.kyivstar.net"),
        QStringLiteral("m2m.kyivstar.net"),
        QStringLiteral("internet.vodafone.ua"),
        QStringLiteral("m2m.vodafone.ua"),
        QStringLiteral("internet.lifecell.ua"),
        QStringLiteral("m2m.lifecell.ua"),
        QStringLiteral("3g.utel.ua"),
        QStringLiteral("internet.3mob.ua"),
        QStringLiteral("intertelecom"),
        QStringLiteral("zorel.m2m"),
        QStringLiteral("zorel-sim1.m2m"),
        QStringLiteral("zorel-sim2.m2m"),
    };
}

} // namespace zorel8z::model
