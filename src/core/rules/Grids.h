#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QChar>
#include <QString>

// What the users grid and the key-code grid accept while they are edited, and how they are brought
// into shape whenever editing moves on. Rows are users 1..24, column 0 the fixed user number.
namespace zorel8z::rules {

// Edit masks: "0" a digit that must be given, "A" a letter or digit that must be given, a leading
// "!" puts blanks of unfilled optional positions first, ";1" keeps the literals in the text and the
// character after the second ";" fills positions not yet given.
namespace masks {
extern const QString kUserGroup;
extern const QString kUserPassword;
extern const QString kKeyCode;
extern const QString kServerIP;
extern const QString kRedServerIP;
extern const QString kRemoteServerIP;
extern const QString kPassword5;
extern const QString kFiveDigits;
} // namespace masks

// Edit mask of a users-grid column: the group, the password, none for the others.
QString usersEditMask(int column);
// Edit mask of a key-code-grid column: the code, none for the others.
QString keyCodesEditMask(int column);

// Users grid, when a cell is selected, the grid loses the focus or Enter is typed: a group that is
// 0, 9 or no number returns to the text the last editor opened with; blanks leave the passwords and
// short ones are filled with "0" on the right. Silent.
void NormalizeUserCells(model::PanelConfig& cfg, const EditorState& state);

// An editor opens on a users-grid cell: remember its text as the undo of a bad group.
void onUsersEditStart(EditorState& state, const QString& cellText);

// A character typed into the users grid: Enter normalises; every character marks the users page.
void onUsersKeyPress(model::PanelConfig& cfg, EditorState& state, QChar c);

// Key-code grid, when a cell is selected, the grid loses the focus or Enter is typed: blanks leave
// the codes and short ones are filled with "0" on the right; a code whose first 13 characters are
// "0" but which is not empty is refused (one message per such row, in row order) and emptied.
void NormalizeKeyCodes(model::PanelConfig& cfg, Ui& ui);

// Whether a character typed into the key-code grid reaches the cell: Enter, "0".."9" and "A".."F".
bool keyCodeCharKept(QChar c);

// A character typed into the key-code grid: Enter normalises; every character, kept or not, marks
// the key-code page. Returns whether the character reaches the cell.
bool onKeyCodesKeyPress(model::PanelConfig& cfg, EditorState& state, QChar c, Ui& ui);

// A cell of row `row` (1..24) of the key-code grid is selected: the codes are normalised and the key
// reader fills in that row's user from now on.
void onKeyCodesCellSelected(model::PanelConfig& cfg, EditorState& state, int row, Ui& ui);

} // namespace zorel8z::rules
