#include "rules/ZoneRules.h"

#include "rules/Messages.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace zorel8z::rules {

using model::PanelConfig;
using model::ZoneEntry;
using model::ZoneModifier;
using model::ZoneType;

namespace {

bool isType(int raw, ZoneType t) {
    return raw == int(t);
}

bool isOneOf(int raw, std::initializer_list<ZoneModifier> modifiers) {
    return std::any_of(modifiers.begin(), modifiers.end(), [raw](ZoneModifier m) { return raw == int(m); });
}

// The modifiers an entry point or an exit path may carry.
bool entryModifier(int m) {
    return isOneOf(
        m, {ZoneModifier::NoChange, ZoneModifier::Silent, ZoneModifier::Bypass, ZoneModifier::Disabled});
}

template <typename Zones> bool anyOfType(const Zones& zones, int group, ZoneType type) {
    return std::any_of(zones.begin(), zones.end(),
                       [&](const ZoneEntry& z) { return z.group == group && isType(z.type, type); });
}

// The refusal of the group rule, or nothing when the change is accepted.
const QString* groupRule(const PanelConfig&, const EditorState& state, const ZoneEntry& z) {
    if (isType(z.type, ZoneType::EntryPoint) && anyOfType(state.zoneSnapshot, z.group, ZoneType::EntryPoint))
        return &msg::kOneEntryPoint;
    return nullptr;
}

const QString* typeRule(const PanelConfig& cfg, const EditorState& state, const ZoneEntry& z) {
    const int g = z.group;
    const int m = z.modifier;
    switch (z.type) {
    case int(ZoneType::EntryPoint):
        if (!entryModifier(m))
            return &msg::kEntryModifier;
        return anyOfType(state.zoneSnapshot, g, ZoneType::EntryPoint) ? &msg::kOneEntryPoint : nullptr;
    case int(ZoneType::EntryPath):
        if (!HasEntryPoint(cfg, g))
            return &msg::kPathNeedsEntry;
        return entryModifier(m) ? nullptr : &msg::kEntryModifier;
    case int(ZoneType::AllDay):
    case int(ZoneType::Normal):
        // The zone already counts with its new type: it may have been the group's only entry point.
        if (HasEntryPath(cfg, g) && !HasEntryPoint(cfg, g))
            return &msg::kPathLeftAlone;
        if (isType(z.type, ZoneType::AllDay))
            return isOneOf(m, {ZoneModifier::Silent, ZoneModifier::NoUK1}) ? &msg::kAllDayModifier : nullptr;
        return isOneOf(m, {ZoneModifier::Silent, ZoneModifier::Fire}) ? &msg::kNormalTypeModifier : nullptr;
    }
    return nullptr;
}

const QString* modifierRule(const PanelConfig&, const EditorState&, const ZoneEntry& z) {
    const int t = z.type;
    const int m = z.modifier;
    if (isType(t, ZoneType::AllDay))
        return isOneOf(m, {ZoneModifier::Silent, ZoneModifier::NoUK1}) ? &msg::kAllDayModifier : nullptr;
    if (isOneOf(m, {ZoneModifier::PanicButton}))
        return &msg::kPanicNeedsAllDay;
    if (isType(t, ZoneType::EntryPoint) || isType(t, ZoneType::EntryPath))
        return entryModifier(m) ? nullptr : &msg::kEntryModifier;
    if (isType(t, ZoneType::Normal) && isOneOf(m, {ZoneModifier::Silent, ZoneModifier::Fire}))
        return &msg::kNormalModifier;
    return nullptr;
}

using Rule = const QString* (*)(const PanelConfig&, const EditorState&, const ZoneEntry&);

ChangeResult judge(PanelConfig& cfg, EditorState& state, int zone, int ZoneEntry::*choice, Rule rule,
                   Ui& ui) {
    if (zone < 1 || zone > model::kZoneCount)
        throw std::out_of_range("zone number out of range");
    ZoneEntry& z = cfg.lines[size_t(zone - 1)];
    const ZoneEntry& before = state.zoneSnapshot[size_t(zone - 1)];
    if (z.*choice == before.*choice)
        return ChangeResult::Unchanged;
    state.markEdited(Page::Zones);
    if (const QString* refusal = rule(cfg, state, z)) {
        ui.showMessage(MsgIcon::Error, *refusal);
        z.*choice = before.*choice;
        return ChangeResult::Refused;
    }
    TakeZoneSnapshot(cfg, state);
    return ChangeResult::Accepted;
}

} // namespace

void TakeZoneSnapshot(const PanelConfig& cfg, EditorState& state) {
    state.zoneSnapshot = cfg.lines;
}

bool OneEntryPoint(const EditorState& state, int group, Ui& ui) {
    if (!anyOfType(state.zoneSnapshot, group, ZoneType::EntryPoint))
        return true;
    ui.showMessage(MsgIcon::Error, msg::kOneEntryPoint);
    return false;
}

bool HasEntryPoint(const PanelConfig& cfg, int group) {
    return anyOfType(cfg.lines, group, ZoneType::EntryPoint);
}

bool HasEntryPath(const PanelConfig& cfg, int group) {
    return anyOfType(cfg.lines, group, ZoneType::EntryPath);
}

ChangeResult onZoneGroupChanged(PanelConfig& cfg, EditorState& state, int zone, Ui& ui) {
    return judge(cfg, state, zone, &ZoneEntry::group, groupRule, ui);
}

ChangeResult onZoneTypeChanged(PanelConfig& cfg, EditorState& state, int zone, Ui& ui) {
    return judge(cfg, state, zone, &ZoneEntry::type, typeRule, ui);
}

ChangeResult onZoneModifierChanged(PanelConfig& cfg, EditorState& state, int zone, Ui& ui) {
    return judge(cfg, state, zone, &ZoneEntry::modifier, modifierRule, ui);
}

} // namespace zorel8z::rules
