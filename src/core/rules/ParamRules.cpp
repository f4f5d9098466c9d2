#include "rules/ParamRules.h"

#include "rules/Messages.h"

#include <algorithm>
#include <stdexcept>

namespace zorel8z::rules {

using model::PanelConfig;
using model::SetInput;

namespace {

SetInput& setInput(PanelConfig& cfg, int input) {
    if (input != 1 && input != 2)
        throw std::out_of_range("SET input number out of range");
    return input == 1 ? cfg.Set1 : cfg.Set2;
}

// Returns the input to its last accepted group; the box goes with an unassigned input.
void undo(PanelConfig& cfg, EditorState& state, int input, const QString& why, Ui& ui) {
    ui.showMessage(MsgIcon::Error, why);
    const int saved = state.setSaved(input);
    setInput(cfg, input).group = saved;
    if (saved == 0)
        state.indicatorVisible[size_t(input - 1)] = false;
}

} // namespace

void onPPKTypeChanged(PanelConfig& cfg, EditorState& state, Ui& ui) {
    if (cfg.ppkType == 0)
        ui.showMessage(MsgIcon::Warning, msg::kStandAloneWarning);
    state.markEdited(Page::Params);
}

void onSetIndicatorSwitched(PanelConfig& cfg, EditorState& state, int input) {
    const QString caption = setRowCaption(input, setInput(cfg, input).indicator);
    state.setCaption[size_t(input - 1)] = caption;
    state.markEdited(Page::Params);
}

ChangeResult onSetInputChanged(PanelConfig& cfg, EditorState& state, int input, Ui& ui) {
    SetInput& in = setInput(cfg, input);
    if (in.group == 0) {
        // Switching the box off runs its own reaction, so the caption returns to the input's.
        if (in.indicator) {
            in.indicator = false;
            onSetIndicatorSwitched(cfg, state, input);
        }
        state.indicatorVisible[size_t(input - 1)] = false;
    } else {
        state.indicatorVisible[size_t(input - 1)] = true;
    }

    ChangeResult result = ChangeResult::Accepted;
    const int v = in.group;
    if (cfg.Set1.group != 0 && cfg.Set2.group != 0 && cfg.Set1.group == cfg.Set2.group) {
        undo(cfg, state, input, msg::kSetGroupTaken, ui);
        result = ChangeResult::Refused;
    } else if (v == 0 || std::any_of(cfg.lines.begin(), cfg.lines.end(),
                                     [v](const model::ZoneEntry& z) { return z.group == v; })) {
        state.setSaved(input) = v;
    } else {
        undo(cfg, state, input, msg::kSetGroupAbsent, ui);
        result = ChangeResult::Refused;
    }
    state.markEdited(Page::Params);
    return result;
}

} // namespace zorel8z::rules
