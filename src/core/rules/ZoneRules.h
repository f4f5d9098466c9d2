#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

// The combinations of group, type and modifier a zone may take, enforced as the user changes one
// of the three choices: a change that breaks a rule is reported and undone from the snapshot.
namespace zorel8z::rules {

// Copies all eight zones into the snapshot: the last accepted state of the zones page.
void TakeZoneSnapshot(const model::PanelConfig& cfg, EditorState& state);

// Passes unless the snapshot already holds an entry point in `group`; shows the refusal itself.
// The zone being changed is counted by what it was before the change.
bool OneEntryPoint(const EditorState& state, int group, Ui& ui);

// Whether some zone of `group` has type EntryPoint (EntryPath) on the page as it now stands.
bool HasEntryPoint(const model::PanelConfig& cfg, int group);
bool HasEntryPath(const model::PanelConfig& cfg, int group);

// The user changed the group, type or modifier of zone `zone` (1..8); `cfg` already holds the new
// choice. Accepted: the snapshot is retaken. Refused: one message, and only the changed choice
// returns to its snapshot value. Either way the zones page is marked as edited; a choice equal to
// the snapshot's changes nothing and runs no rule. Throws std::out_of_range for another zone number.
ChangeResult onZoneGroupChanged(model::PanelConfig& cfg, EditorState& state, int zone, Ui& ui);
ChangeResult onZoneTypeChanged(model::PanelConfig& cfg, EditorState& state, int zone, Ui& ui);
ChangeResult onZoneModifierChanged(model::PanelConfig& cfg, EditorState& state, int zone, Ui& ui);

} // namespace zorel8z::rules
