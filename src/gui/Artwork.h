#pragma once

#include "model/PanelConfig.h"

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn at run time so that they stay sharp at any screen scale.
namespace zorel8z::gui::art {

QPixmap emblem(const QSize& size);
// The emblem as the window's icon, drawn at whatever size the system asks for.
QIcon emblemIcon();
QIcon pageMark(model::PageMark mark);

enum class Glyph { Read, Write, Refresh, Open, Save, Exit, Usb, Internet, Page, Export, Help, Key };
QIcon glyph(Glyph which);

} // namespace zorel8z::gui::art
