#pragma once

#include "common/Ui.h"
#include "controller/TController.h"
#include "model/PanelConfig.h"

#include <QByteArray>
#include <QString>

namespace zorel8z::model {

// The .c8z file: one line of base64 of the write frame, no line end.
namespace configfile {
extern const QString kExtension;
extern const QString kDefaultName;
extern const QString kFilter;
} // namespace configfile

// The file's content for a record (the frame's characters taken as bytes).
QByteArray configFileContent(const controller::TController& ctl, const PanelConfig& cfg);

// Writes the record to `path` through a temporary file renamed over the target, so a failure never
// destroys an earlier file; a new file is its owner's only. A record that would not read back the
// same is refused before anything is written. On failure reports through `ui` and returns false.
bool saveConfigFile(const controller::TController& ctl, const QString& path, const PanelConfig& cfg, Ui& ui);

// Decodes a file's content into `cfg`: all or nothing. Returns false (and has told `ui`) when the content
// is not a configuration file; `cfg` is then unchanged. The identity values, the page marks and
// `passwordsHidden` are not touched; while that flag is set the passwords go to `hiddenPasswords`.
bool loadConfigFileContent(const controller::TController& ctl, const QByteArray& content, PanelConfig& cfg,
                           Ui& ui);

// Reads `path` and loads it as above; an unreadable file, one above a megabyte or one that is not a
// regular file (FIFO, device) is reported and changes nothing.
bool openConfigFile(const controller::TController& ctl, const QString& path, PanelConfig& cfg, Ui& ui);

} // namespace zorel8z::model
