#pragma once

#include <QString>

namespace zorel8z {

// Icon of a message box; the window maps these onto its modal boxes.
enum class MsgIcon { Error, Warning, Information };

// How the core talks to whoever drives it (the window, the command-line tool, a test).
// The core never opens dialogs or prints by itself.
class Ui {
public:
    virtual ~Ui() = default;
    virtual void showMessage(MsgIcon icon, const QString& text) = 0;
};

} // namespace zorel8z
