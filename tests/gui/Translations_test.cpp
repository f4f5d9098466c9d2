// Qt's own dialogs speak Ukrainian too: the open dialog as the program shows it through the desktop
// shell. (Ukrainian keeps "OK" on a message box's button.)
#include "gui/GuiSupport.h"

#include "Shell.h"

#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace zorel8z;

namespace {

// Runs `look` on the modal dialog once it is up, then closes it the way a user cancels.
void whileModal(const std::function<void(QWidget*)>& look) {
    QTimer::singleShot(0, [look] {
        QWidget* dialog = nullptr;
        test::waitFor([&] { return (dialog = QApplication::activeModalWidget()) != nullptr; }, 10000);
        ASSERT_NE(dialog, nullptr) << "no dialog appeared";
        look(dialog);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->isVisible())
            texts << b->text().remove(QLatin1Char('&'));
    return texts;
}

} // namespace

TEST(Translations, TheOpenDialogIsInUkrainian) {
    test::guiApp();
    gui::DesktopShell shell;
    QString lookIn;
    QStringList buttons;
    whileModal([&](QWidget* dialog) {
        auto* label = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"));
        if (label)
            lookIn = label->text();
        buttons = buttonTexts(dialog);
    });
    EXPECT_TRUE(shell.askOpenPath(QStringLiteral("Файли конфігурації (*.c8z)")).isEmpty());
    EXPECT_EQ(lookIn, QStringLiteral("Перегляд в:"));
    EXPECT_TRUE(buttons.contains(QStringLiteral("Відкрити"))) << buttons.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(buttons.contains(QStringLiteral("Скасувати")))
        << buttons.join(QLatin1Char('|')).toStdString();
}
