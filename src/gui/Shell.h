#pragma once

#include "common/Ui.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace zorel8z::gui {

// Everything the window asks of the desktop: modal message boxes, the file dialogs and opening a
// document with its associated program. The window takes it as a parameter so that tests can answer
// the dialogs and record the messages instead of blocking on them.
class Shell : public Ui {
  public:
    // Empty text: the user cancelled.
    virtual QString askOpenPath(const QString& filter) = 0;
    virtual QString askSavePath(const QString& filter, const QString& defaultName,
                                const QString& defaultSuffix) = 0;
    virtual QString askExportPath(const QString& filter) = 0;
    // Opens `path` with the program the system associates with it; false and `error` set on failure.
    virtual bool openDocument(const QString& path, QString& error) = 0;
};

// Hands everything on to another shell and keeps the texts of the messages shown, in order.
class TappedShell : public Shell {
  public:
    explicit TappedShell(Shell& inner) : m_inner(inner) {}

    void showMessage(MsgIcon icon, const QString& text) override {
        m_shown << text;
        m_inner.showMessage(icon, text);
    }
    QString askOpenPath(const QString& filter) override { return m_inner.askOpenPath(filter); }
    QString askSavePath(const QString& filter, const QString& defaultName,
                        const QString& defaultSuffix) override {
        return m_inner.askSavePath(filter, defaultName, defaultSuffix);
    }
    QString askExportPath(const QString& filter) override { return m_inner.askExportPath(filter); }
    bool openDocument(const QString& path, QString& error) override {
        return m_inner.openDocument(path, error);
    }

    const QStringList& shown() const { return m_shown; }

  private:
    Shell& m_inner;
    QStringList m_shown;
};

// The real desktop: QMessageBox, QFileDialog, QDesktopServices.
class DesktopShell : public Shell {
  public:
    explicit DesktopShell(QWidget* parent = nullptr) : m_parent(parent) {}

    void showMessage(MsgIcon icon, const QString& text) override;
    QString askOpenPath(const QString& filter) override;
    QString askSavePath(const QString& filter, const QString& defaultName,
                        const QString& defaultSuffix) override;
    QString askExportPath(const QString& filter) override;
    bool openDocument(const QString& path, QString& error) override;

  private:
    QWidget* m_parent;
};

} // namespace zorel8z::gui
