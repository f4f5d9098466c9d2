#include "rules/Grids.h"

#include "common/Errors.h"
#include "rules/Messages.h"

namespace zorel8z::rules {

using model::PanelConfig;

namespace {

const QChar kEnter(13);

QString withoutBlanks(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

} // namespace

QString usersEditMask(int column) {
    if (column == 1)
        return masks::kUserGroup;
    if (column == 2)
        return masks::kUserPassword;
    return QString();
}

QString keyCodesEditMask(int column) {
    return column == 1 ? masks::kKeyCode : QString();
}

void NormalizeUserCells(PanelConfig& cfg, const EditorState& state) {
    for (model::UserEntry& u : cfg.users) {
        int group = 0;
        // The mask asks for one digit; 0 and 9 are no group, and an emptied cell is no number.
        if (!tryStrToInt(u.group, group) || group == 0 || group == 9)
            u.group = state.editStartText;
        const QString p = withoutBlanks(u.password);
        if (p.size() < model::widths::userPassword)
            u.password = p.leftJustified(model::widths::userPassword, QLatin1Char('0'));
    }
}

void onUsersEditStart(EditorState& state, const QString& cellText) {
    state.editStartText = cellText;
}

void onUsersKeyPress(PanelConfig& cfg, EditorState& state, QChar c) {
    if (c == kEnter)
        NormalizeUserCells(cfg, state);
    state.markEdited(Page::Users);
}

void NormalizeKeyCodes(PanelConfig& cfg, Ui& ui) {
    for (QString& code : cfg.UVICode) {
        const QString c = withoutBlanks(code);
        if (c.size() < model::kKeyCodeLength)
            code = c.leftJustified(model::kKeyCodeLength, QLatin1Char('0'));
        // A real key never has 13 leading zeros: such a code is what a short entry left behind.
        if (code.left(13) == QString(13, QLatin1Char('0')) && code != model::kEmptyKeyCode) {
            ui.showMessage(MsgIcon::Error, msg::kBadKeyCode);
            code = model::kEmptyKeyCode;
        }
    }
}

bool keyCodeCharKept(QChar c) {
    return c == kEnter || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool onKeyCodesKeyPress(PanelConfig& cfg, EditorState& state, QChar c, Ui& ui) {
    const bool kept = keyCodeCharKept(c);
    if (c == kEnter)
        NormalizeKeyCodes(cfg, ui);
    state.markEdited(Page::Keys);
    return kept;
}

void onKeyCodesCellSelected(PanelConfig& cfg, EditorState& state, int row, Ui& ui) {
    NormalizeKeyCodes(cfg, ui);
    if (row >= 1 && row <= model::kUserCount)
        state.readerUser = row;
}

} // namespace zorel8z::rules

// The texts declared in Grids.h: defined once here, not in every file that includes it.
namespace zorel8z::rules::masks {

const QString kUserGroup = QStringLiteral("0");
const QString kUserPassword = QStringLiteral("0000");
const QString kKeyCode = QStringLiteral("AAAAAAAAAAAAAAAA");
const QString kServerIP = QStringLiteral("099.099.099.099;1;");
const QString kRedServerIP = QStringLiteral("!099.099.099.099;1; ");
const QString kRemoteServerIP = QStringLiteral("!099.099.099.099;1; ");
const QString kPassword5 = QStringLiteral("000000");
const QString kFiveDigits = QStringLiteral("00000");

} // namespace zorel8z::rules::masks
