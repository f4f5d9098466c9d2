#pragma once

#include "common/Ui.h"

#include <QApplication>

namespace zorel8z::gui {

// The program's application object. An error that no command catches ends up here instead of
// ending the program: it is shown with its text and the window stays usable.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);

    // Where the report goes; nullptr: a modal error box.
    void setReporter(Ui* reporter) { m_reporter = reporter; }

    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's own texts (file dialogs, standard buttons) in Ukrainian; false when the translation is not
    // installed, and Qt's texts stay English.
    bool loadUkrainianTranslations();

    // The font the window is designed for (its sizes and positions assume it), on every platform.
    static void useProgramFont();

  private:
    void report(const QString& text);

    Ui* m_reporter = nullptr;
};

} // namespace zorel8z::gui
