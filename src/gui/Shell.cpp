#include "Shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include <cerrno>
#include <cstring>

namespace zorel8z::gui {

void DesktopShell::showMessage(MsgIcon icon, const QString& text) {
    QMessageBox::Icon boxIcon = QMessageBox::Critical;
    QString title = QApplication::applicationDisplayName();
    switch (icon) {
    case MsgIcon::Error:
        boxIcon = QMessageBox::Critical;
        break;
    case MsgIcon::Warning:
        boxIcon = QMessageBox::Warning;
        break;
    case MsgIcon::Information:
        boxIcon = QMessageBox::Information;
        break;
    }
    QMessageBox box(boxIcon, title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

QString DesktopShell::askOpenPath(const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, QString(), QString(), filter);
}

QString DesktopShell::askSavePath(const QString& filter, const QString& defaultName, const QString& defaultSuffix) {
    QFileDialog dialog(m_parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(defaultName);
    // Saving over an earlier file is the point of "Зберегти як...": no question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString DesktopShell::askExportPath(const QString& filter) {
    // No default extension: a name typed without one is used as typed.
    return QFileDialog::getSaveFileName(m_parent, QString(), QString(), filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

bool DesktopShell::openDocument(const QString& path, QString& error) {
    // The desktop's opener reports a missing file only in its own window, if at all.
    if (!QFileInfo::exists(path)) {
        error = QString::fromLocal8Bit(std::strerror(ENOENT));
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        error = QStringLiteral("Немає програми для перегляду цього файла");
        return false;
    }
    return true;
}

} // namespace zorel8z::gui
