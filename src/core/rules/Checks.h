#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QString>
#include <optional>

// The checks a configuration passes before it is written or saved. Each returns true when it
// passes and shows its own messages (error boxes) through the Ui unless said otherwise.
namespace zorel8z::rules {

// Which passwords the user-password checks read.
enum class PasswordSource {
    // The password cells as they stand.
    Grid,
    // What the packing sends or saves for each user: while passwords are hidden, a cell holding a
    // fresh password, else the user's hidden password; otherwise the cell.
    Packed,
};

// The password of user `index` (0-based) that `source` reads.
QString passwordOf(const model::PanelConfig& cfg, int index, PasswordSource source);

// Four dot-separated groups, blanks trimmed, an empty group counting as 0, each a decimal number
// below 256, written back as three zero-filled digits per group. An empty text stays empty.
// Nothing when the text does not split into four such groups.
std::optional<QString> NormalizeIP(const QString& text);

// Characters 1-3, 5-7, 9-11 and 13-15 each read as an integer 0..255. Shows nothing.
bool CheckIPFormat(const QString& text);

// The network page is complete; the redundant address and port only in local mode. Stops at the
// first failing test.
bool CheckNetSettings(const model::PanelConfig& cfg, const EditorState& state, Ui& ui);

// Every user has a one-character group 1..8 and a four-character password, user by user.
bool CheckUsersFilled(const model::PanelConfig& cfg, Ui& ui);

// Every user's group is the group of some zone; one message per user that is not.
bool CheckUserGroups(const model::PanelConfig& cfg, Ui& ui);

// The five numeric parameter fields are not empty and the four five-digit fields hold five digits.
bool CheckParamsFilled(const model::PanelConfig& cfg, const EditorState& state, Ui& ui);

// No password starts with "0" other than "0000".
bool CheckPwdLeadingZero(const model::PanelConfig& cfg, PasswordSource source, Ui& ui);
// No two users of one group share a password other than "0000". Shows nothing: the callers do.
bool CheckPwdUnique(const model::PanelConfig& cfg, PasswordSource source);
// No two active passwords differ by exactly one (the duress password of one would be the other).
bool CheckPwdNeighbours(const model::PanelConfig& cfg, PasswordSource source, Ui& ui);
// No password is "9999" (its duress password would not exist).
bool CheckPwd9999(const model::PanelConfig& cfg, PasswordSource source, Ui& ui);

// No key code other than the empty one occurs twice. Shows nothing: the caller does.
bool CheckCodesUnique(const model::PanelConfig& cfg);

// The administrator password does not start with "0".
bool CheckAdminPwd(const model::PanelConfig& cfg, Ui& ui);

// Runs all eight entry checks whatever each returns, so several messages may appear.
bool CheckEntries(const model::PanelConfig& cfg, PasswordSource source, Ui& ui);

// A key code of exactly sixteen upper-case hexadecimal digits.
bool isKeyCode(const QString& code);

// Every key code is sixteen hexadecimal digits: anything else would shift every later code in the
// packed field. One message at most.
bool CheckKeyCodeFormat(const model::PanelConfig& cfg, Ui& ui);

// Every password cell holds four digits. "****" is let through only when `allowHidden` and the
// passwords are in fact hidden (the packing then takes the hidden password, which must itself be
// four digits); otherwise it is refused with its own message, since it carries no digits to send.
// One message at most.
bool CheckPasswordCells(const model::PanelConfig& cfg, bool allowHidden, Ui& ui);

// The panel number and password of a remote command, and the 16-bit limits of a request's panel
// number and server port. For the remote read and write commands alike.
bool CheckRemoteAccess(const EditorState& state, Ui& ui);

// The station's address names a server: blanks removed, four decimal groups, not all of them zero.
// For the remote read and write commands alike, before any request.
bool CheckRemoteServerIP(const QString& text, Ui& ui);

// Both APNs hold only such characters. A value read from a panel, a file or the station may hold
// others; it is shown as it is, but never sent on. One message at most.
bool CheckApnChars(const model::PanelConfig& cfg, Ui& ui);

} // namespace zorel8z::rules
