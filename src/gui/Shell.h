#pragma once

#include "common/Ui.h"

#include <QString>

class QWidget;

namespace zorel8z::gui {

// Everything the window asks of the desktop: modal message boxes, the file dialogs and opening a
// document with its associated program. The window takes it as a parameter so that tests can answer
// the dialogs and record the messages instead of blocking on them.
class Shell : public Ui {
public:
    // Empty text: the user cancelled.
    virtual QString askOpenPath(const QString& filter) = 0;
    virtual QString askSavePath(const QString& filter, const QString& defaultName, const QString& defaultSuffix) = 0;
    virtual QString askExportPath(const QString& filter) = 0;
    // Opens `path` with the program the system associates with it; false and `error` set on failure.
    virtual bool openDocument(const QString& path, QString& error) = 0;
};

// The real desktop: QMessageBox, QFileDialog, QDesktopServices.
class DesktopShell : public Shell {
public:
    explicit DesktopShell(QWidget* parent = nullptr) : m_parent(parent) {}

    void showMessage(MsgIcon icon, const QString& text) override;
    QString askOpenPath(const QString& filter) override;
    QString askSavePath(const QString& filter, const QString& defaultName, const QString& defaultSuffix) override;
    QString askExportPath(const QString& filter) override;
    bool openDocument(const QString& path, QString& error) override;

private:
    QWidget* m_parent;
};

} // namespace zorel8z::gui
