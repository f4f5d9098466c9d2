#include "Application.h"

#include "common/Errors.h"

#include <QFont>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <exception>

namespace zorel8z::gui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    loadUkrainianTranslations();
}

bool Application::loadUkrainianTranslations() {
    // The program speaks Ukrainian whatever the system's language: Qt's own dialogs and buttons too.
    auto* translator = new QTranslator(this);
    if (!translator->load(QStringLiteral("qtbase_uk"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    installTranslator(translator);
    return true;
}

void Application::useProgramFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(15);
    setFont(font);
}

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
