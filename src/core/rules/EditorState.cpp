#include "rules/EditorState.h"

namespace zorel8z::rules {

using model::PageMark;

void EditorState::markEdited(Page page) {
    if (mark(page) == PageMark::Synced)
        setMark(page, PageMark::Edited);
}

QString EditorState::spinText(Control control, int value) const {
    return blankSpinEdits.count(control) ? QString() : QString::number(value);
}

void EditorState::retakeFrom(const model::PanelConfig& cfg) {
    zoneSnapshot = cfg.lines;
    setSaved1 = cfg.Set1.group;
    setSaved2 = cfg.Set2.group;
    // A box belongs to an assigned input; the caption follows the tick the fill brought.
    indicatorVisible = {cfg.Set1.group != 0, cfg.Set2.group != 0};
    setCaption = {setRowCaption(1, cfg.Set1.indicator), setRowCaption(2, cfg.Set2.indicator)};
}

QString setRowCaption(int input, bool indicator) {
    if (input == 1)
        return indicator ? msg::kSet1Indicator : msg::kSet1Input;
    return indicator ? msg::kSet2Indicator : msg::kSet2Input;
}

Page pageOf(Control control) {
    switch (control) {
    case Control::seNumConfPPK:
    case Control::meServerIP:
    case Control::seServerPort:
    case Control::meRedServerIP:
    case Control::seRedServerPort:
    case Control::edPassword5:
    case Control::edAPNname:
    case Control::edAPNname2:
        return Page::Network;
    case Control::cbPPKtype:
    case Control::mePwdLevel1:
    case Control::mePwdLevel2:
    case Control::meLowLevel:
    case Control::meHiLevel:
    case Control::seUKworkTime:
    case Control::seUKon:
    case Control::seUKoff:
    case Control::cbUKinvert:
    case Control::cbSet1:
    case Control::cbSet2:
    case Control::cbInd1:
    case Control::cbInd2:
    case Control::sePPKDelayTime:
    case Control::sePPKDelayTime2:
        return Page::Params;
    }
    return Page::Network;
}

void onFieldEdited(EditorState& state, Control control) {
    state.markEdited(pageOf(control));
}

} // namespace zorel8z::rules
