#include "rules/EditorState.h"
#include "rules/ParamRules.h"
#include "rules/RulesSupport.h"
#include "rules/ZoneRules.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PageMark;
using model::PanelConfig;
using test::RecordingUi;

TEST(PageMarks, StartNoneAndOnlySyncedTurnsEdited) {
    EditorState state;
    for (int p = 0; p < model::kPageCount; ++p)
        EXPECT_EQ(state.mark(Page(p)), PageMark::None);

    const struct {
        PageMark before;
        PageMark after;
    } cases[] = {{PageMark::None, PageMark::None},
                 {PageMark::Edited, PageMark::Edited},
                 {PageMark::Synced, PageMark::Edited}};
    for (const auto& c : cases) {
        state.setAllMarks(PageMark::Synced);
        state.setMark(Page::Zones, c.before);
        state.markEdited(Page::Zones);
        EXPECT_EQ(state.mark(Page::Zones), c.after) << int(c.before);
        EXPECT_EQ(state.mark(Page::Params), PageMark::Synced);
    }
}

TEST(PageMarks, FieldEditsMarkTheirPage) {
    const struct {
        Control control;
        Page page;
    } cases[] = {
        {Control::seNumConfPPK, Page::Network},    {Control::meServerIP, Page::Network},
        {Control::seServerPort, Page::Network},    {Control::meRedServerIP, Page::Network},
        {Control::seRedServerPort, Page::Network}, {Control::edPassword5, Page::Network},
        {Control::edAPNname, Page::Network},       {Control::edAPNname2, Page::Network},
        {Control::cbPPKtype, Page::Params},        {Control::mePwdLevel1, Page::Params},
        {Control::mePwdLevel2, Page::Params},      {Control::meLowLevel, Page::Params},
        {Control::meHiLevel, Page::Params},        {Control::seUKworkTime, Page::Params},
        {Control::seUKon, Page::Params},           {Control::seUKoff, Page::Params},
        {Control::cbUKinvert, Page::Params},       {Control::cbSet1, Page::Params},
        {Control::cbSet2, Page::Params},           {Control::cbInd1, Page::Params},
        {Control::cbInd2, Page::Params},           {Control::sePPKDelayTime, Page::Params},
        {Control::sePPKDelayTime2, Page::Params},
    };
    for (const auto& c : cases) {
        EditorState state;
        state.setAllMarks(PageMark::Synced);
        onFieldEdited(state, c.control);
        for (int p = 0; p < model::kPageCount; ++p)
            EXPECT_EQ(state.mark(Page(p)), Page(p) == c.page ? PageMark::Edited : PageMark::Synced)
                << int(c.control) << " page " << p;
    }
}

TEST(EditorState, SpinTextReadsEmptyOnlyWhileEmptied) {
    EditorState state;
    EXPECT_EQ(state.spinText(Control::seUKon, 5), QStringLiteral("5"));
    EXPECT_EQ(state.spinText(Control::seServerPort, 0), QStringLiteral("0"));
    state.blankSpinEdits.insert(Control::seUKon);
    EXPECT_EQ(state.spinText(Control::seUKon, 5), QString());
    EXPECT_EQ(state.spinText(Control::seUKoff, 5), QStringLiteral("5"));
}

TEST(EditorState, AFillBecomesTheSourceOfLaterUndos) {
    PanelConfig cfg;
    cfg.lines[0] = {4, int(model::ZoneType::EntryPoint), 0};
    cfg.lines[1] = {4, int(model::ZoneType::EntryPath), 0};
    cfg.Set1 = {4, true};
    cfg.Set2 = {0, false};
    EditorState state;
    state.retakeFrom(cfg);
    EXPECT_EQ(state.indicatorVisible, (std::array<bool, 2>{true, false}));
    EXPECT_EQ(state.setCaption[0], QStringLiteral("Індикатор взяття PV1 : "));
    EXPECT_EQ(state.setCaption[1], QStringLiteral("Вхід SET2 : "));

    RecordingUi ui;
    // The filled entry point is known to the snapshot: its exit path holds it.
    cfg.lines[0].type = int(model::ZoneType::Normal);
    EXPECT_EQ(onZoneTypeChanged(cfg, state, 1, ui), ChangeResult::Refused);
    EXPECT_EQ(cfg.lines[0].type, int(model::ZoneType::EntryPoint));
    // And the filled SET assignment is where a refused pick returns.
    cfg.Set1.group = 6;
    EXPECT_EQ(onSetInputChanged(cfg, state, 1, ui), ChangeResult::Refused);
    EXPECT_EQ(cfg.Set1, (model::SetInput{4, true}));
    EXPECT_EQ(ui.messages.size(), 2u);
}
