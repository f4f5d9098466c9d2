#include "rules/RulesSupport.h"
#include "rules/ZoneRules.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PageMark;
using model::PanelConfig;
using test::RecordingUi;

namespace {

// The refusals by id, typed out as the installers see them.
const std::map<std::string, QString>& refusals() {
    static const std::map<std::string, QString> m = {
        {"M1", U("В групі повинна бути тільки одна \"Точка входу\"!")},
        {"M2", U("Шлейф \"Точка входу\" чи \"Шлях виходу\" повинен бути тільки з модифікатором "
                 "\"Без змін\"/\"Тихий\"/\"Вимкнено\"/\"Обхід\"!")},
        {"M3", U("Шлейф \"Шлях виходу\" залишается без \"Точки входу\"!")},
        {"M4", U("Цілодобовий шлейф повинен бути тільки з модифікатором "
                 "\"Без змін\"/\"Тривожна кнопка\"/\"Вимкнено\"/\"Обхід\"/\"Пожежний\"!")},
        {"M5", U("Шлейф \"Шлях виходу\" повинен мати \"Точку входу\"!")},
        {"M6", U("Шлейф \"Нормальний\" не може бути з модифікатором \"Тихий\"/\"Пожежний\"!")},
        {"M7", U("Модифікатор шлейфу \"Тривожна кнопка\" повинен бути тільки з типом \"Цілодобовий\"")},
        {"M8", U("Шлейф з типом \"Нормальний\" не може мати модифікатор \"Тихий\"/\"Пожежний\"!")},
    };
    return m;
}

QStringList expectedTexts(const std::string& id) {
    return id == "ok" ? QStringList() : QStringList{refusals().at(id)};
}

// Zones as eight "group type modifier" digit triples separated by blanks.
QString zonesText(const PanelConfig& c) {
    QStringList out;
    for (const auto& z : c.lines)
        out << QString::number(z.group) + QString::number(z.type) + QString::number(z.modifier);
    return out.join(QLatin1Char(' '));
}
void setZones(PanelConfig& c, const char* text) {
    const QStringList triples = U(text).split(QLatin1Char(' '));
    for (int n = 0; n < model::kZoneCount; ++n)
        c.lines[size_t(n)] = {triples[n][0].digitValue(), triples[n][1].digitValue(),
                              triples[n][2].digitValue()};
}

enum class Choice { Group, Type, Modifier };

ChangeResult change(PanelConfig& cfg, EditorState& state, Choice choice, int zone, int value,
                    RecordingUi& ui) {
    model::ZoneEntry& z = cfg.lines[size_t(zone - 1)];
    switch (choice) {
    case Choice::Group:
        z.group = value;
        return onZoneGroupChanged(cfg, state, zone, ui);
    case Choice::Type:
        z.type = value;
        return onZoneTypeChanged(cfg, state, zone, ui);
    case Choice::Modifier:
        z.modifier = value;
        return onZoneModifierChanged(cfg, state, zone, ui);
    }
    return ChangeResult::Unchanged;
}

const char* const kTypeNames[] = {"Normal", "AllDay", "EntryPoint", "EntryPath"};

// Judges one change from a page that was accepted as it stands, and checks the outcome either way:
// an accepted change is kept and becomes the snapshot; a refused one shows its one message and
// returns exactly the changed choice.
void expectJudged(PanelConfig cfg, Choice choice, int zone, int value, const std::string& id,
                  const std::string& where) {
    EditorState state;
    state.setAllMarks(PageMark::Synced);
    TakeZoneSnapshot(cfg, state);
    const PanelConfig before = cfg;
    RecordingUi ui;
    const ChangeResult result = change(cfg, state, choice, zone, value, ui);
    EXPECT_EQ(ui.texts(), expectedTexts(id)) << where;
    EXPECT_EQ(state.mark(Page::Zones), PageMark::Edited) << where;
    EXPECT_EQ(state.mark(Page::Users), PageMark::Synced) << where;
    if (id == "ok") {
        EXPECT_EQ(result, ChangeResult::Accepted) << where;
        EXPECT_NE(zonesText(cfg), zonesText(before)) << where;
        EXPECT_EQ(state.zoneSnapshot, cfg.lines) << where;
    } else {
        EXPECT_EQ(result, ChangeResult::Refused) << where;
        EXPECT_EQ(zonesText(cfg), zonesText(before)) << where;
        EXPECT_EQ(state.zoneSnapshot, before.lines) << where;
        for (const auto& m : ui.messages)
            EXPECT_EQ(m.first, MsgIcon::Error) << where;
    }
}
} // namespace

TEST(ZoneRules, ModifierChangeMatrix) {
    const std::string matrix[4][7] = {
        {"ok", "M7", "M8", "ok", "ok", "ok", "M8"},
        {"ok", "ok", "M4", "ok", "ok", "M4", "ok"},
        {"ok", "M7", "ok", "ok", "ok", "M2", "M2"},
        {"ok", "M7", "ok", "ok", "ok", "M2", "M2"},
    };
    for (int t = 0; t < 4; ++t) {
        for (int m = 0; m < 7; ++m) {
            PanelConfig cfg;
            // Disabled and Bypass go with every type, so the zone starts from a state the rules accept.
            cfg.lines[0] = {1, t, m == 4 ? 3 : 4};
            if (t == int(model::ZoneType::EntryPath))
                cfg.lines[1] = {1, int(model::ZoneType::EntryPoint), 0};
            expectJudged(cfg, Choice::Modifier, 1, m, matrix[t][m],
                         std::string(kTypeNames[t]) + " modifier " + std::to_string(m));
        }
    }
}

TEST(ZoneRules, TypeChangeMatrix) {
    const std::string matrix[4][7] = {
        {"ok", "ok", "M6", "ok", "ok", "ok", "M6"},
        {"ok", "ok", "M4", "ok", "ok", "M4", "ok"},
        {"ok", "M2", "ok", "ok", "ok", "M2", "M2"},
        {"ok", "M2", "ok", "ok", "ok", "M2", "M2"},
    };
    for (int t = 0; t < 4; ++t) {
        for (int m = 0; m < 7; ++m) {
            PanelConfig cfg;
            // The group holds an entry point for a new exit path, and no entry point otherwise.
            cfg.lines[0] = {1, t == 0 ? 1 : 0, m};
            if (t == int(model::ZoneType::EntryPath))
                cfg.lines[1] = {1, int(model::ZoneType::EntryPoint), 0};
            expectJudged(cfg, Choice::Type, 1, t, matrix[t][m],
                         std::string(kTypeNames[t]) + " with modifier " + std::to_string(m));
        }
    }
}

TEST(ZoneRules, GroupRulesOverThePage) {
    const struct {
        const char* name;
        const char* zones;
        Choice choice;
        int zone;
        int value;
        std::string id;
    } cases[] = {
        {"second entry point in a group", "120 100 100 100 100 100 100 100", Choice::Type, 2, 2, "M1"},
        {"entry point in another group", "120 200 100 100 100 100 100 100", Choice::Type, 2, 2, "ok"},
        {"exit path without an entry point", "100 100 100 100 100 100 100 100", Choice::Type, 3, 3, "M5"},
        {"exit path with an entry point in its group", "120 100 100 100 100 100 100 100", Choice::Type, 3, 3,
         "ok"},
        {"exit path with an entry point elsewhere only", "220 100 100 100 100 100 100 100", Choice::Type, 3,
         3, "M5"},
        {"entry point made normal leaves its exit path", "120 130 100 100 100 100 100 100", Choice::Type, 1,
         0, "M3"},
        {"entry point made 24-hour leaves its exit path", "120 130 100 100 100 100 100 100", Choice::Type, 1,
         1, "M3"},
        {"entry point made exit path leaves none", "120 130 100 100 100 100 100 100", Choice::Type, 1, 3,
         "M5"},
        {"an exit path with its entry point holds no other zone", "120 130 110 100 100 100 100 100",
         Choice::Type, 3, 0, "ok"},
        {"exit path of another group does not hold it", "120 230 100 100 100 100 100 100", Choice::Type, 1, 0,
         "ok"},
        {"entry point may move away from its exit path", "120 130 100 100 100 100 100 100", Choice::Group, 1,
         2, "ok"},
        {"entry point into a group that has one", "100 100 100 320 520 100 100 100", Choice::Group, 5, 3,
         "M1"},
        {"other zones move freely", "100 100 100 320 510 100 100 100", Choice::Group, 5, 3, "ok"},
        {"exit path may move into a group without entry point", "120 130 100 100 100 100 100 100",
         Choice::Group, 2, 4, "ok"},
        {"panic on 24-hour made silent", "100 100 100 100 100 111 100 100", Choice::Modifier, 6, 2, "M4"},
        {"panic on 24-hour made normal keeps panic", "100 100 100 100 100 111 100 100", Choice::Type, 6, 0,
         "ok"},
        {"no UK1 on an exit path", "120 130 100 100 100 100 100 100", Choice::Modifier, 2, 5, "M2"},
        {"no UK1 on a normal zone", "120 130 100 100 100 100 100 100", Choice::Modifier, 3, 5, "ok"},
        {"fire on a 24-hour zone", "100 100 100 110 100 100 100 100", Choice::Modifier, 4, 6, "ok"},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        setZones(cfg, c.zones);
        expectJudged(cfg, c.choice, c.zone, c.value, c.id, c.name);
    }
}

TEST(ZoneRules, SnapshotFollowsAcceptedChangesOnly) {
    PanelConfig cfg;
    setZones(cfg, "120 100 100 100 100 100 100 100");
    EditorState state;
    TakeZoneSnapshot(cfg, state);
    RecordingUi ui;

    // Refused: zone 2 returns, and zone 1 still counts as the group's entry point.
    EXPECT_EQ(change(cfg, state, Choice::Type, 2, 2, ui), ChangeResult::Refused);
    // Accepted: zone 1 gives up the entry point, so zone 2 may take it now.
    EXPECT_EQ(change(cfg, state, Choice::Type, 1, 0, ui), ChangeResult::Accepted);
    EXPECT_EQ(change(cfg, state, Choice::Type, 2, 2, ui), ChangeResult::Accepted);
    EXPECT_EQ(change(cfg, state, Choice::Type, 3, 3, ui), ChangeResult::Accepted);
    // A refused modifier returns to the value accepted last, not to the start.
    EXPECT_EQ(change(cfg, state, Choice::Modifier, 3, 2, ui), ChangeResult::Accepted);
    EXPECT_EQ(change(cfg, state, Choice::Modifier, 3, 6, ui), ChangeResult::Refused);
    EXPECT_EQ(zonesText(cfg), U("100 120 132 100 100 100 100 100"));
    EXPECT_EQ(ui.texts(), expectedTexts("M1") + expectedTexts("M2"));
}

TEST(ZoneRules, PickingTheCurrentItemChangesNothing) {
    PanelConfig cfg;
    setZones(cfg, "320 100 100 100 100 100 100 100");
    EditorState state;
    state.setAllMarks(PageMark::Synced);
    TakeZoneSnapshot(cfg, state);
    RecordingUi ui;
    // Judged as changes, both would find the zone itself as the group's entry point.
    EXPECT_EQ(change(cfg, state, Choice::Group, 1, 3, ui), ChangeResult::Unchanged);
    EXPECT_EQ(change(cfg, state, Choice::Type, 1, 2, ui), ChangeResult::Unchanged);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(state.mark(Page::Zones), PageMark::Synced);
}

TEST(ZoneRules, EntryPointTestsReadSnapshotOrPage) {
    PanelConfig cfg;
    EditorState state;
    TakeZoneSnapshot(cfg, state);
    cfg.lines[2] = {2, int(model::ZoneType::EntryPoint), 0};
    cfg.lines[3] = {2, int(model::ZoneType::EntryPath), 0};
    EXPECT_TRUE(HasEntryPoint(cfg, 2));
    EXPECT_TRUE(HasEntryPath(cfg, 2));
    EXPECT_FALSE(HasEntryPoint(cfg, 1));
    EXPECT_FALSE(HasEntryPath(cfg, 3));
    RecordingUi ui;
    EXPECT_TRUE(OneEntryPoint(state, 2, ui));
    TakeZoneSnapshot(cfg, state);
    EXPECT_FALSE(OneEntryPoint(state, 2, ui));
    EXPECT_TRUE(OneEntryPoint(state, 1, ui));
    EXPECT_EQ(ui.texts(), expectedTexts("M1"));
}

TEST(ZoneRules, ZoneNumbersOutsideTheEightAreRefusedAsProgrammingErrors) {
    PanelConfig cfg;
    EditorState state;
    RecordingUi ui;
    EXPECT_THROW(onZoneGroupChanged(cfg, state, 0, ui), std::out_of_range);
    EXPECT_THROW(onZoneTypeChanged(cfg, state, 9, ui), std::out_of_range);
}
