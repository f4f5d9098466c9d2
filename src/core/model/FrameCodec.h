#pragma once

#include "common/Ui.h"
#include "controller/TController.h"
#include "model/PanelConfig.h"

namespace zorel8z::model {

// The whole write frame of a record. The USB write removes the blanks from both addresses; the file
// keeps the address texts as they stand.
QString buildWriteFrame(const controller::TController& ctl, const PanelConfig& cfg,
                        bool removeAddressBlanks = false);

// Block 1..4 of a record as one JSON object, the form in which the station relays a block.
QString blockObject(const controller::TController& ctl, const PanelConfig& cfg, int block);

// Parse one block out of `text` (a received-form frame with USB, one block object with Internet) and
// unpack it into `cfg`. Each returns the parser's status (0 or the "err_conf" value; when it is not 0
// nothing is unpacked) and throws FormatError or ConversionError on a malformed block.
int decodeNetworkBlock(const controller::TController& ctl, ConnectionType type, const QString& text,
                       PanelConfig& cfg);
int decodeUsersBlock(const controller::TController& ctl, ConnectionType type, const QString& text,
                     PanelConfig& cfg);
int decodeZonesBlock(const controller::TController& ctl, ConnectionType type, const QString& text,
                     PanelConfig& cfg);
int decodeParamsBlock(const controller::TController& ctl, ConnectionType type, const QString& text,
                      PanelConfig& cfg, Ui& ui);
int decodeKeyCodesBlock(const controller::TController& ctl, ConnectionType type, const QString& text,
                        PanelConfig& cfg);

// Blocks 1..5 of a received-form frame (a file's text or what a panel sent), each required to decode;
// an "err_conf" inside a frame is as bad as a broken block. Throws on the first step that fails.
void decodeFrameBlocks(const controller::TController& ctl, const QString& text, PanelConfig& cfg, Ui& ui);

// Everything a configuration file holds, from its decoded text with the two-character prefix dropped:
// blocks 1..5, then the redundant block. Throws on the first step that fails; `cfg` may then be half
// written, so callers decode into a copy.
void decodeFileText(const controller::TController& ctl, const QString& text, PanelConfig& cfg, Ui& ui);

} // namespace zorel8z::model
