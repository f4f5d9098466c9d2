#pragma once

#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <vector>

namespace zorel8z::gui {

// An input mask in the notation of the rules ("0" a digit that must be given, "9" a digit that may
// stay blank, "A" a letter or digit that must be given, any other character a literal; a leading
// "!" puts the blanks of optional positions left empty first; ";1" keeps the literals in the text;
// the character after a second ";" fills the positions not given), with what Qt needs of it.
class EditMask {
  public:
    EditMask() = default;
    explicit EditMask(const QString& mask);

    // Qt's mask for the same positions. Qt reads "9" and "0" the other way round, calls a letter or
    // digit "N", has no "!" (its "!" switches case conversion off) and escapes its own letters.
    // `upperCase`: letters typed are turned to upper case.
    QString qtMask(bool upperCase = false) const;

    int size() const { return int(m_slots.size()); }
    bool isEmpty() const { return m_slots.empty(); }
    bool blanksLead() const { return m_blanksLead; }
    bool keepsLiterals() const { return m_keepLiterals; }
    QChar blank() const { return m_blank; }
    bool isLiteral(int pos) const;

    // Whether `c` may stand at `pos` (not a literal position): the blank always may.
    bool accepts(int pos, QChar c) const;
    // Whether `text` can stand in the field position by position: one character per position, each
    // literal in its place (when literals are kept), every other character the blank or accepted.
    bool holds(const QString& text) const;
    // How a text the mask holds is shown (with its literals); a null text for any other.
    QString shown(const QString& text) const;

    // The positions [first, last] of the group of input positions around `pos`; {-1, -1} at a literal.
    std::pair<int, int> groupAt(int pos) const;
    // `text` with the non-blank characters of each group moved to its end (blanks first).
    QString blanksFirst(const QString& text, int group = -1) const;

  private:
    enum class Kind { Literal, Digit, OptionalDigit, LetterOrDigit };
    struct Slot {
        Kind kind;
        QChar literal;
    };
    std::vector<Slot> m_slots;
    bool m_blanksLead = false;
    bool m_keepLiterals = true;
    QChar m_blank = QLatin1Char(' ');
};

// A mask edit: a line edit whose text is the field's text as shown, blanks and literals included,
// and into which the program puts a text position by position. QLineEdit::setText would move the
// characters of a text with blanks in required positions into the free positions (" 12.  3" would
// come back as "  1.2  "), so the field would no longer show the value it was given.
class MaskEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit MaskEdit(const QString& mask, QWidget* parent = nullptr, bool upperCase = false);

    const EditMask& mask() const { return m_mask; }

    // What the checks and packings read: every position as shown.
    QString fieldText() const;
    // Puts a text of the program into the field without any signal. A text the mask holds comes back
    // from fieldText() unchanged; any other is placed the way Qt places it.
    void putText(const QString& text);

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    // With "!": the user's own text takes its blanks first in `group` (-1: in every group).
    void blanksFirst(int group);
    // Undo and redo walk through the texts the user's edits left, never through the steps by which
    // the program placed a text (Qt's own history would show those half-placed texts).
    void edited();
    void step(int by);

    EditMask m_mask;
    bool m_typed = false;
    bool m_stepping = false;
    QStringList m_history;
    int m_at = 0;
};

// Puts `text` into a line edit with an input mask, position by position (see MaskEdit::putText).
void putMaskedText(QLineEdit* edit, const EditMask& mask, const QString& text);

} // namespace zorel8z::gui
