#pragma once

#include "model/PanelConfig.h"

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn at run time so that they stay sharp at any screen scale.
namespace zorel8z::gui::art {

QPixmap emblem(const QSize& size);
QIcon pageMark(model::PageMark mark);

enum class Glyph { Read, Write, Refresh, Open, Save, Exit, Usb, Internet, Page, Export, Help, Key };
QIcon glyph(Glyph which);

} // namespace zorel8z::gui::art
