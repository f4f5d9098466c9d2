#pragma once

#include "model/PanelConfig.h"
#include "rules/EditorState.h"

#include <QString>

// The two connection modes of the window and the renumbering of a panel at the station: what each
// switch does to the record and the editor state. The window shows and hides its controls after
// these have run, reading `state.mode` and `state.changePPKNumVisible`.
namespace zorel8z::remote {

namespace msg {
extern const QString kLocalCaption;
extern const QString kRemoteCaption;
extern const QString kNumConfLocal;
extern const QString kNumConfRemote;
extern const QString kRenumberPrefix;
extern const QString kRenumberSuffix;
} // namespace msg

// Tab caption of a page ("Налаштування зв'язку", "Користувачі", "Шлейфи", "Параметри ППК",
// "Налаштування QKL").
QString pageCaption(rules::Page page);

struct ButtonCaptions {
    QString read;
    QString write;
};
// Captions of btnReadConf and btnWriteConf for the mode and the open page; in remote mode this also
// shows the renumbering button (state.changePPKNumVisible).
ButtonCaptions buttonCaptions(rules::EditorState& state);

// The mode switches; either may run when its mode is already on. Remote: the identity values are
// emptied, the key page (if open) gives way to the parameters page, the first four marks become None,
// the renumbering button shows. Local: all five marks None, the renumbering button hides.
void switchToRemote(model::PanelConfig& cfg, rules::EditorState& state);
void switchToLocal(rules::EditorState& state);

// The panel number for remote access changed: the configuration's number follows and the first four
// marks become None.
void onNumPPKChanged(model::PanelConfig& cfg, rules::EditorState& state, int value);

// The renumbering button: returns the warning to show and hides the button. Sends nothing.
QString renumberWarning(rules::EditorState& state);

} // namespace zorel8z::remote
