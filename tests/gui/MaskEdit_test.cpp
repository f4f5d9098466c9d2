// The masked fields: the rules' mask notation turned into Qt's, and texts put into a field coming
// back unchanged for every text the field can hold.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "MaskEdit.h"
#include "rules/Grids.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

using namespace zorel8z;
using gui::EditMask;
using gui::MaskEdit;
using test::rules::U;

TEST(EditMask, TranslatesTheRulesNotationIntoQts) {
    const struct {
        const char* mask;
        const char* qt;
        bool blanksLead;
    } cases[] = {
        // The rules' "0" must be given, "9" may stay blank: Qt reads the two the other way round.
        {"099.099.099.099;1;", "900.900.900.900; ", false},
        {"!099.099.099.099;1; ", "900.900.900.900; ", true},
        {"000000", "999999; ", false},
        {"00000", "99999; ", false},
        {"0", "9; ", false},
        {"0000", "9999; ", false},
        {"AAAAAAAAAAAAAAAA", "NNNNNNNNNNNNNNNN; ", false},
        // A literal that is one of Qt's own mask letters stands for itself.
        {"00-a>9;1;_", "99-\\a\\>0;_", false},
        {"", "", false},
    };
    for (const auto& c : cases) {
        const EditMask mask{U(c.mask)};
        EXPECT_EQ(mask.qtMask(), U(c.qt)) << c.mask;
        EXPECT_EQ(mask.blanksLead(), c.blanksLead) << c.mask;
    }
    EXPECT_EQ(EditMask(rules::masks::kKeyCode).qtMask(true), U(">NNNNNNNNNNNNNNNN; "));
}

TEST(EditMask, KnowsWhichTextsItHoldsPositionByPosition) {
    const EditMask address(rules::masks::kRedServerIP);
    EXPECT_TRUE(address.holds(U(" 12.  3.  4.  5")));
    EXPECT_TRUE(address.holds(U("   .   .   .   ")));
    EXPECT_FALSE(address.holds(U("10.0.0.1")));        // not in its positions
    EXPECT_FALSE(address.holds(U("10a.000.000.001"))); // a letter where a digit goes
    EXPECT_FALSE(address.holds(U("010.000.000.0011")));
    const EditMask code(rules::masks::kKeyCode);
    EXPECT_TRUE(code.holds(U("0A1b2C3d4E5f6071")));
    EXPECT_FALSE(code.holds(U("****************")));
    EXPECT_EQ(address.blanksFirst(U("1  .12 .1 2. 3 ")), U("  1. 12. 12.  3"));
    EXPECT_EQ(address.blanksFirst(U("1  .12 .1 2. 3 "), 5), U("1  . 12.1 2. 3 "));
}

TEST(MaskEdit, PuttingBackWhatTheFieldShowsChangesNothing) {
    test::guiApp();
    const struct {
        QString mask;
        std::vector<const char*> texts;
    } cases[] = {
        {rules::masks::kServerIP,
         {"10 .1  .2  .3  ", " 12.  3.  4.  5", "010.000.000.001", "   .   .   .   ", "1 2. 3 .  4.5  ",
          "255.255.255.255"}},
        {rules::masks::kRedServerIP,
         {"10 .1  .2  .3  ", " 12.  3.  4.  5", "  1. 10.100.  0", "   .   .   .   "}},
        {rules::masks::kRemoteServerIP, {" 12.  3.  4.  5", "127.000.000.001", "1  .  1.1  .  1"}},
        {rules::masks::kPassword5, {"      ", "123456", "123   ", " 1 2 3", "   456", "1    6"}},
        {rules::masks::kFiveDigits, {"     ", "12345", "12 45", " 2345", "0000 "}},
        {rules::masks::kUserGroup, {" ", "3", "9"}},
        {rules::masks::kUserPassword, {"    ", "12  ", " 2 4", "0000"}},
        {rules::masks::kKeyCode,
         {"                ", "ABC             ", "0A1B2C3D4E5F6071", "   F            "}},
    };
    for (const auto& c : cases) {
        MaskEdit edit(c.mask);
        for (const char* t : c.texts) {
            const QString text = U(t);
            edit.putText(text);
            EXPECT_EQ(edit.fieldText(), text) << c.mask.toStdString() << " / \"" << t << '"';
            // Putting back what was read is the identity, again and again.
            edit.putText(edit.fieldText());
            EXPECT_EQ(edit.fieldText(), text) << c.mask.toStdString() << " / \"" << t << '"';
        }
    }
}

TEST(MaskEdit, TextsTheFieldCannotHoldAreShownAsQtPlacesThem) {
    test::guiApp();
    MaskEdit address(rules::masks::kServerIP);
    address.putText(U("10.0.0.1"));
    EXPECT_EQ(address.fieldText(), U("10 .0  .0  .1  "));
    MaskEdit code(rules::masks::kKeyCode, nullptr, true);
    code.putText(U("0a1b2c3d4e5f6071"));
    EXPECT_EQ(code.fieldText(), U("0A1B2C3D4E5F6071"));
    MaskEdit password(rules::masks::kUserPassword);
    password.putText(U("****"));
    EXPECT_EQ(password.fieldText(), U("    "));
}

TEST(MaskEdit, PuttingSendsNoSignal) {
    test::guiApp();
    MaskEdit edit(rules::masks::kRedServerIP);
    int edits = 0;
    int changes = 0;
    QObject::connect(&edit, &QLineEdit::textEdited, [&] { ++edits; });
    QObject::connect(&edit, &QLineEdit::textChanged, [&] { ++changes; });
    edit.putText(U(" 12.  3.  4.  5"));
    edit.putText(U("010.000.000.001"));
    EXPECT_EQ(edits, 0);
    EXPECT_EQ(changes, 0);
}

// Typing into a field of its own window, as a user does.
TEST(MaskEdit, WithALeadingBangTheBlanksOfAGroupLeftByItsDotComeFirst) {
    test::guiApp();
    const struct {
        QString mask;
        const char* typed;
        const char* shown;
    } cases[] = {
        {rules::masks::kRedServerIP, "10.1.2.3", " 10.  1.  2.  3"},
        {rules::masks::kRedServerIP, "192.168.1.10", "192.168.  1. 10"},
        {rules::masks::kRemoteServerIP, "127000000001", "127.000.000.001"},
        // Without the bang the blanks trail, as Qt leaves them.
        {rules::masks::kServerIP, "10.1.2.3", "10 .1  .2  .3  "},
    };
    for (const auto& c : cases) {
        QWidget window;
        auto* edit = new MaskEdit(c.mask, &window);
        auto* other = new QLineEdit(&window);
        other->move(0, 40);
        QString edited;
        QObject::connect(edit, &QLineEdit::textEdited, [&] { edited = edit->fieldText(); });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(2, edit->height() / 2));
        QTest::keyClick(edit, Qt::Key_Home);
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        QTest::mouseClick(other, Qt::LeftButton);
        EXPECT_EQ(edit->fieldText(), U(c.shown)) << c.typed;
        // Whoever listens to the field's edits has the text it shows.
        EXPECT_EQ(edited, U(c.shown)) << c.typed;
    }
}

TEST(MaskEdit, UndoReturnsToWhatTheUserSawNotToHalfPlacedTexts) {
    test::guiApp();
    QWidget window;
    auto* edit = new MaskEdit(rules::masks::kRedServerIP, &window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList edits;
    QObject::connect(edit, &QLineEdit::textEdited, [&] { edits << edit->fieldText(); });
    edit->putText(U(" 12.  3.  4.  5"));
    edit->setFocus();
    // Nothing the user did yet: nothing to undo.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.  5"));
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.   "));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.  5"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.  5"));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.   "));
    // Every step the user took is heard as an edit, with the text it shows.
    EXPECT_EQ(edits, (QStringList{U(" 12.  3.  4.   "), U(" 12.  3.  4.  5"), U(" 12.  3.  4.   ")}));

    // The same through the field's context menu.
    auto undoFromMenu = [edit]() -> bool {
        const QPoint at(4, edit->height() / 2);
        QContextMenuEvent asked(QContextMenuEvent::Mouse, at, edit->mapToGlobal(at));
        QApplication::sendEvent(edit, &asked);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        const QString undoKeys = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
        for (QAction* action : menu->actions()) {
            if (!action->text().endsWith(undoKeys))
                continue;
            if (action->isEnabled())
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            else
                menu->close();
            QApplication::processEvents();
            return true;
        }
        menu->close();
        return false;
    };
    ASSERT_TRUE(undoFromMenu());
    EXPECT_EQ(edit->fieldText(), U(" 12.  3.  4.  5"));
    edit->putText(U("  1.  2.  3.  4"));
    ASSERT_TRUE(undoFromMenu());
    EXPECT_EQ(edit->fieldText(), U("  1.  2.  3.  4"));
}
