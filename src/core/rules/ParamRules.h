#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

// The interactive rules of the panel parameters page. Each reaction runs on the user's change only,
// with `cfg` already holding the new value; each marks the parameters page as edited.
namespace zorel8z::rules {

// The application type changed: making the panel stand-alone warns that the station stops serving
// the object. The change stands either way.
void onPPKTypeChanged(model::PanelConfig& cfg, EditorState& state, Ui& ui);

// The indicator box of SET input `input` (1 or 2) was ticked or unticked: the row caption follows.
void onSetIndicatorSwitched(model::PanelConfig& cfg, EditorState& state, int input);

// SET input `input` (1 or 2) got a new group. "Не призначено" unticks and hides its indicator box,
// any group shows it. The change is refused when both inputs then serve one group, or when no zone
// is in the chosen group: the input returns to its last accepted group (hiding the box when that is
// "Не призначено"), the tick stays as it is. Throws std::out_of_range for another input number.
ChangeResult onSetInputChanged(model::PanelConfig& cfg, EditorState& state, int input, Ui& ui);

} // namespace zorel8z::rules
