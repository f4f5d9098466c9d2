#include "Application.h"

#include "common/Errors.h"

#include <QMessageBox>
#include <exception>

namespace zorel8z::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Error& e) {
        report(e.text());
    } catch (const std::exception& e) {
        report(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

void Application::report(const QString& text) {
    if (m_reporter) {
        m_reporter->showMessage(MsgIcon::Error, text);
        return;
    }
    QMessageBox::critical(activeWindow(), applicationDisplayName(), text);
}

} // namespace zorel8z::gui
