#include "rules/ParamRules.h"
#include "rules/RulesSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PageMark;
using model::PanelConfig;
using test::RecordingUi;

namespace {
const QString kE1 = U("Одній групі можна назначити тільки один SET вхід!");
const QString kE2 = U("Вхід SET повинен бути прив\"язаний до існуючої групи ");
const QString kInput1 = U("Вхід SET1 : ");
const QString kIndicator1 = U("Індикатор взяття PV1 : ");
const QString kInput2 = U("Вхід SET2 : ");
const QString kIndicator2 = U("Індикатор взяття PV2 : ");

model::SetInput& setOf(PanelConfig& c, int input) {
    return input == 1 ? c.Set1 : c.Set2;
}

// The user picks `group` for SET input `input`.
ChangeResult pick(PanelConfig& c, EditorState& s, int input, int group, RecordingUi& ui) {
    setOf(c, input).group = group;
    return onSetInputChanged(c, s, input, ui);
}
} // namespace

TEST(PPKType, StandAloneWarnsAndStands) {
    const struct {
        int type;
        QStringList expected;
    } cases[] = {
        {0,
         {U("Увага! При зміні типу застосування ППК на \"Автономний\" буде припинено обслуговування "
            "об'єкта на ПЦС!")}},
        {1, {}},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        cfg.ppkType = c.type;
        EditorState state;
        state.setAllMarks(PageMark::Synced);
        RecordingUi ui;
        onPPKTypeChanged(cfg, state, ui);
        EXPECT_EQ(ui.texts(), c.expected);
        for (const auto& m : ui.messages)
            EXPECT_EQ(m.first, MsgIcon::Warning);
        EXPECT_EQ(cfg.ppkType, c.type);
        EXPECT_EQ(state.mark(Page::Params), PageMark::Edited);
        EXPECT_EQ(state.mark(Page::Network), PageMark::Synced);
    }
}

TEST(SetRule, AssignmentsJudgedAgainstTheOtherInputAndTheZones) {
    const struct {
        const char* name;
        int zoneGroup; // group of every zone but zone 8
        int zone8Group;
        int other; // the other input's accepted group
        int saved; // this input's accepted group
        int input;
        int picked;
        QStringList expected;
    } cases[] = {
        {"group held by the other input", 1, 3, 3, 0, 1, 3, {kE1}},
        {"group held by the other input, second input", 1, 3, 3, 0, 2, 3, {kE1}},
        {"group without zones", 1, 1, 0, 0, 1, 2, {kE2}},
        {"group of one zone", 1, 1, 0, 0, 1, 1, {}},
        {"group of the last zone", 1, 6, 0, 0, 2, 6, {}},
        {"unassigned always", 1, 1, 0, 4, 1, 0, {}},
        {"unassigned beside unassigned", 1, 1, 0, 1, 2, 0, {}},
        {"held by the other and without zones: the other input speaks first", 1, 1, 5, 0, 1, 5, {kE1}},
        {"back from a refused group to the accepted one", 2, 2, 0, 2, 1, 7, {kE2}},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        for (auto& z : cfg.lines)
            z.group = c.zoneGroup;
        cfg.lines[7].group = c.zone8Group;
        const int other = 3 - c.input;
        setOf(cfg, other).group = c.other;
        setOf(cfg, c.input).group = c.saved;
        EditorState state;
        state.retakeFrom(cfg);
        state.setAllMarks(PageMark::Synced);
        RecordingUi ui;
        const ChangeResult result = pick(cfg, state, c.input, c.picked, ui);
        EXPECT_EQ(ui.texts(), c.expected) << c.name;
        const bool accepted = c.expected.isEmpty();
        EXPECT_EQ(result, accepted ? ChangeResult::Accepted : ChangeResult::Refused) << c.name;
        const int now = accepted ? c.picked : c.saved;
        EXPECT_EQ(setOf(cfg, c.input).group, now) << c.name;
        EXPECT_EQ(state.setSaved(c.input), now) << c.name;
        EXPECT_EQ(state.indicatorVisible[size_t(c.input - 1)], now != 0) << c.name;
        EXPECT_EQ(setOf(cfg, other).group, c.other) << c.name;
        EXPECT_EQ(state.setSaved(other), c.other) << c.name;
        EXPECT_EQ(state.mark(Page::Params), PageMark::Edited) << c.name;
    }
}

TEST(SetRule, IndicatorBoxAndCaptionFollowTheInput) {
    PanelConfig cfg;
    EditorState state;
    RecordingUi ui;
    EXPECT_FALSE(state.indicatorVisible[0]);
    EXPECT_EQ(state.setCaption[0], kInput1);

    EXPECT_EQ(pick(cfg, state, 1, 1, ui), ChangeResult::Accepted);
    EXPECT_TRUE(state.indicatorVisible[0]);
    cfg.Set1.indicator = true;
    onSetIndicatorSwitched(cfg, state, 1);
    EXPECT_EQ(state.setCaption[0], kIndicator1);
    EXPECT_EQ(state.setCaption[1], kInput2);

    // A refused group leaves the tick and the caption; the box stays with the assigned input.
    EXPECT_EQ(pick(cfg, state, 1, 5, ui), ChangeResult::Refused);
    EXPECT_EQ(cfg.Set1, (model::SetInput{1, true}));
    EXPECT_TRUE(state.indicatorVisible[0]);
    EXPECT_EQ(state.setCaption[0], kIndicator1);

    EXPECT_EQ(pick(cfg, state, 1, 0, ui), ChangeResult::Accepted);
    EXPECT_EQ(cfg.Set1, (model::SetInput{0, false}));
    EXPECT_FALSE(state.indicatorVisible[0]);
    EXPECT_EQ(state.setCaption[0], kInput1);
    EXPECT_EQ(ui.texts(), QStringList{kE2});

    cfg.Set2 = {1, true};
    state.retakeFrom(cfg);
    EXPECT_EQ(state.setCaption[1], kIndicator2);
    cfg.Set2.indicator = false;
    onSetIndicatorSwitched(cfg, state, 2);
    EXPECT_EQ(state.setCaption[1], kInput2);
}

TEST(SetRule, ARefusedFirstChoiceHidesTheBoxItShowed) {
    PanelConfig cfg;
    cfg.lines[0].group = 3;
    cfg.Set2.group = 3;
    EditorState state;
    state.retakeFrom(cfg);
    RecordingUi ui;
    EXPECT_EQ(pick(cfg, state, 1, 3, ui), ChangeResult::Refused);
    EXPECT_EQ(cfg.Set1.group, 0);
    EXPECT_FALSE(state.indicatorVisible[0]);
    EXPECT_TRUE(state.indicatorVisible[1]);
    EXPECT_EQ(ui.texts(), QStringList{kE1});
}

TEST(SetRule, InputNumbersOtherThanOneOrTwoAreProgrammingErrors) {
    PanelConfig cfg;
    EditorState state;
    RecordingUi ui;
    EXPECT_THROW(onSetInputChanged(cfg, state, 3, ui), std::out_of_range);
    EXPECT_THROW(onSetIndicatorSwitched(cfg, state, 0), std::out_of_range);
}
