#include "rules/Sequences.h"

#include "model/Packing.h"
#include "rules/Checks.h"
#include "rules/Messages.h"

namespace zorel8z::rules {

using model::PanelConfig;

namespace {

Verdict stop(Ui& ui, const QString& text) {
    ui.showMessage(MsgIcon::Error, text);
    return Verdict::Stop;
}

bool normalizeInto(QString& field, const QString& failure, Ui& ui) {
    const std::optional<QString> normal = NormalizeIP(field);
    if (!normal) {
        ui.showMessage(MsgIcon::Error, failure);
        return false;
    }
    field = *normal;
    return true;
}

Verdict remoteUsersChecks(PanelConfig& cfg, Ui& ui) {
    if (!CheckUsersFilled(cfg, ui) || !CheckUserGroups(cfg, ui))
        return Verdict::Stop;
    if (!CheckPasswordCells(cfg, true, ui))
        return Verdict::Stop;
    // What the user typed over a hidden password replaces it; the server gets the hidden list.
    for (int k = 0; k < model::kUserCount; ++k)
        if (model::isFreshPassword(cfg.users[size_t(k)].password))
            cfg.hiddenPasswords[size_t(k)] = cfg.users[size_t(k)].password;
    if (!CheckPwdLeadingZero(cfg, PasswordSource::Packed, ui))
        return Verdict::Stop;
    if (!CheckPwdUnique(cfg, PasswordSource::Packed))
        return stop(ui, msg::kPwdNotUnique);
    if (!CheckPwdNeighbours(cfg, PasswordSource::Packed, ui) ||
        !CheckPwd9999(cfg, PasswordSource::Packed, ui))
        return Verdict::Stop;
    return Verdict::GoOn;
}

} // namespace

Verdict writeStart(PanelConfig& cfg, EditorState& state, Ui& ui) {
    if (!normalizeInto(cfg.serverIP, msg::kBadServerIP, ui))
        return Verdict::Stop;
    if (!normalizeInto(cfg.redIP, msg::kBadRedServerIP, ui))
        return Verdict::Stop;
    // Also in local mode, where the field is hidden: it is what the next remote command uses.
    if (!normalizeInto(state.meRemoteServerIP, msg::kBadRemoteServerIP, ui))
        return Verdict::Stop;
    return Verdict::GoOn;
}

Verdict localWriteChecks(const PanelConfig& cfg, const EditorState& state, Ui& ui) {
    // The entry checks read every password as a number and every key code at a fixed width;
    // hidden or malformed cells would also be packed as they stand and shift the fields after them.
    // An APN character the frame cannot carry would break its block.
    if (!CheckPasswordCells(cfg, false, ui) || !CheckKeyCodeFormat(cfg, ui) || !CheckApnChars(cfg, ui))
        return Verdict::Stop;
    if (!CheckEntries(cfg, PasswordSource::Grid, ui))
        return Verdict::Stop;
    if (!state.portSelected)
        return stop(ui, msg::kNoComPort);
    if (!CheckNetSettings(cfg, state, ui) || !CheckUsersFilled(cfg, ui) || !CheckUserGroups(cfg, ui) ||
        !CheckParamsFilled(cfg, state, ui))
        return Verdict::Stop;
    return Verdict::GoOn;
}

Verdict remoteWriteChecks(PanelConfig& cfg, const EditorState& state, Ui& ui) {
    if (!CheckRemoteAccess(state, ui) || !CheckRemoteServerIP(state.meRemoteServerIP, ui))
        return Verdict::Stop;
    // A remote write carries the block of the open page only; only block 1 carries the APNs.
    switch (state.openPage) {
    case Page::Network:
        return CheckApnChars(cfg, ui) && CheckNetSettings(cfg, state, ui) ? Verdict::GoOn : Verdict::Stop;
    case Page::Users:
        return remoteUsersChecks(cfg, ui);
    case Page::Params:
        return CheckParamsFilled(cfg, state, ui) && CheckAdminPwd(cfg, ui) ? Verdict::GoOn : Verdict::Stop;
    case Page::Zones:
    case Page::Keys:
        break;
    }
    return Verdict::GoOn;
}

Verdict writeSequence(PanelConfig& cfg, EditorState& state, Ui& ui) {
    if (writeStart(cfg, state, ui) == Verdict::Stop)
        return Verdict::Stop;
    return state.mode == Mode::Local ? localWriteChecks(cfg, state, ui) : remoteWriteChecks(cfg, state, ui);
}

Verdict saveSequence(const PanelConfig& cfg, const EditorState& state, Ui& ui) {
    // The file takes the hidden password of a "****" cell, so the checks read what is saved.
    if (!CheckPasswordCells(cfg, true, ui) || !CheckKeyCodeFormat(cfg, ui) || !CheckApnChars(cfg, ui))
        return Verdict::Stop;
    if (!CheckEntries(cfg, PasswordSource::Packed, ui))
        return Verdict::Stop;
    if (!CheckNetSettings(cfg, state, ui) || !CheckUsersFilled(cfg, ui) || !CheckUserGroups(cfg, ui) ||
        !CheckParamsFilled(cfg, state, ui))
        return Verdict::Stop;
    return Verdict::GoOn;
}

} // namespace zorel8z::rules
