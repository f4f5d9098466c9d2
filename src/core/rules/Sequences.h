#pragma once

#include "common/Ui.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"

// The check sequences that stand before a write or a save. A sequence that stops has shown why;
// the command then does nothing further.
namespace zorel8z::rules {

enum class Verdict { GoOn, Stop };

// Both modes: the main, redundant and remote server addresses are normalised and written back.
// A normalised address stays even when a later address or step stops the command.
Verdict writeStart(model::PanelConfig& cfg, EditorState& state, Ui& ui);

// After the start, in local mode: the entry checks, the port choice, then the page checks.
Verdict localWriteChecks(const model::PanelConfig& cfg, const EditorState& state, Ui& ui);

// After the start, in remote mode: the remote access, then the checks of the open page. On the users
// page, fresh passwords typed into the cells are copied into the hidden passwords first; that copy
// stays even when a later check stops the command.
Verdict remoteWriteChecks(model::PanelConfig& cfg, const EditorState& state, Ui& ui);

// The whole sequence of the write command: the start, then the checks of the current mode.
Verdict writeSequence(model::PanelConfig& cfg, EditorState& state, Ui& ui);

// The save command: no address normalisation and no port choice.
Verdict saveSequence(const model::PanelConfig& cfg, const EditorState& state, Ui& ui);

} // namespace zorel8z::rules
