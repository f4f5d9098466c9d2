#pragma once

#include "common/Ui.h"
#include "controller/TController.h"
#include "model/PanelConfig.h"

#include <QString>

namespace zorel8z::model {

// Removes every double quote at the start and at the end of a value's JSON text.
QString unquote(const QString& text);
// Zero fills of a spin field's decimal text (an empty text stays empty, a longer one unchanged).
QString zeroFill3(const QString& text);
QString zeroFill2(const QString& text);
// Exactly four characters, the first 1..9 and the others 0..9.
bool isFreshPassword(const QString& cell);

// Block 1 values by key.
struct NetworkTexts {
    QString n, a, i, p, q, r;
};
// Block 4 values as the builders take them ("t" and "l" as separate halves).
struct ParamTexts {
    QString p1, p2, low, hi, ppkType, timeDelay, timeDelay2, UKworkTime, UKon, UKoff, UKinvert, Set1, Set2;
};
// Block 4 values as the parser returns them.
struct ParsedParams {
    QString PwdLev1, PwdLev2, LowLevelV, HiLevelV, ppkType, timeDelay, timeDelay2, UKworkTime, UKon_off,
        UKinvert, Set12;
};

NetworkTexts packNetwork(const PanelConfig& cfg);
// Throws ConversionError when "n" or "p" is not an integer; numbers are clamped to their spin ranges.
void unpackNetwork(PanelConfig& cfg, const NetworkTexts& texts);

// Throws ConversionError for a group cell that is not an integer.
QString packUsers(const controller::TController& ctl, const PanelConfig& cfg);
void unpackUsers(const controller::TController& ctl, PanelConfig& cfg, const QString& text);

QString packZones(const PanelConfig& cfg);
// Throws FormatError unless the text is 24 digits; the zones stay unchanged then.
void unpackZones(PanelConfig& cfg, const QString& text);

QString setChar(const SetInput& in);
ParamTexts packParams(const PanelConfig& cfg);
// A malformed "t" or "l" is reported through `ui` and skipped; a non-integer number throws
// ConversionError, leaving what was set before it.
void unpackParams(PanelConfig& cfg, const ParsedParams& texts, Ui& ui);

QString packKeyCodes(const PanelConfig& cfg);
void unpackKeyCodes(PanelConfig& cfg, const QString& text);

// Throws ConversionError when the port is not an integer.
void unpackRedundant(PanelConfig& cfg, const QString& ip, const QString& port);

} // namespace zorel8z::model
