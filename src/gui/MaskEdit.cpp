#include "MaskEdit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>

namespace zorel8z::gui {

namespace {

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isAsciiLetterOrDigit(QChar c) {
    return isAsciiDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

// Characters that mean something in a Qt mask and must be escaped to stand for themselves.
bool isQtMaskMeta(QChar c) {
    return QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\").contains(c);
}

} // namespace

EditMask::EditMask(const QString& mask) {
    const QStringList parts = mask.split(QLatin1Char(';'));
    QString body = parts.value(0);
    if (body.startsWith(QLatin1Char('!'))) {
        m_blanksLead = true;
        body.remove(0, 1);
    }
    if (parts.size() > 1)
        m_keepLiterals = parts[1] != QLatin1String("0");
    if (parts.size() > 2 && !parts[2].isEmpty())
        m_blank = parts[2].at(0);
    for (QChar c : body) {
        if (c == QLatin1Char('0'))
            m_slots.push_back({Kind::Digit, {}});
        else if (c == QLatin1Char('9'))
            m_slots.push_back({Kind::OptionalDigit, {}});
        else if (c == QLatin1Char('A'))
            m_slots.push_back({Kind::LetterOrDigit, {}});
        else
            m_slots.push_back({Kind::Literal, c});
    }
}

QString EditMask::qtMask(bool upperCase) const {
    if (m_slots.empty())
        return QString();
    QString out;
    if (upperCase)
        out += QLatin1Char('>');
    for (const Slot& s : m_slots) {
        switch (s.kind) {
        case Kind::Digit:
            out += QLatin1Char('9');
            break;
        case Kind::OptionalDigit:
            out += QLatin1Char('0');
            break;
        case Kind::LetterOrDigit:
            out += QLatin1Char('N');
            break;
        case Kind::Literal:
            if (isQtMaskMeta(s.literal))
                out += QLatin1Char('\\');
            out += s.literal;
            break;
        }
    }
    return out + QLatin1Char(';') + m_blank;
}

bool EditMask::isLiteral(int pos) const {
    return pos >= 0 && pos < size() && m_slots[size_t(pos)].kind == Kind::Literal;
}

bool EditMask::accepts(int pos, QChar c) const {
    if (pos < 0 || pos >= size())
        return false;
    if (c == m_blank)
        return !isLiteral(pos);
    switch (m_slots[size_t(pos)].kind) {
    case Kind::Digit:
    case Kind::OptionalDigit:
        return isAsciiDigit(c);
    case Kind::LetterOrDigit:
        return isAsciiLetterOrDigit(c);
    case Kind::Literal:
        break;
    }
    return false;
}

bool EditMask::holds(const QString& text) const {
    if (m_slots.empty())
        return true;
    int at = 0;
    for (int pos = 0; pos < size(); ++pos) {
        if (isLiteral(pos)) {
            if (!m_keepLiterals)
                continue;
            if (at >= text.size() || text[at] != m_slots[size_t(pos)].literal)
                return false;
        } else if (at >= text.size() || !accepts(pos, text[at])) {
            return false;
        }
        ++at;
    }
    return at == text.size();
}

std::pair<int, int> EditMask::groupAt(int pos) const {
    if (pos < 0 || pos >= size() || isLiteral(pos))
        return {-1, -1};
    int first = pos;
    while (first > 0 && !isLiteral(first - 1))
        --first;
    int last = pos;
    while (last + 1 < size() && !isLiteral(last + 1))
        ++last;
    return {first, last};
}

QString EditMask::blanksFirst(const QString& shown, int group) const {
    QString out = shown;
    for (int pos = 0; pos < size() && pos < out.size();) {
        const auto [first, last] = groupAt(pos);
        if (first < 0) {
            ++pos;
            continue;
        }
        if (group < 0 || (group >= first && group <= last)) {
            QString kept;
            for (int i = first; i <= last && i < out.size(); ++i)
                if (out[i] != m_blank)
                    kept += out[i];
            const int width = last - first + 1;
            out.replace(first, width, QString(width - kept.size(), m_blank) + kept);
        }
        pos = last + 1;
    }
    return out;
}

QString EditMask::shown(const QString& text) const {
    if (!holds(text))
        return QString();
    if (m_keepLiterals)
        return text;
    QString out;
    int at = 0;
    for (int pos = 0; pos < size(); ++pos)
        out += isLiteral(pos) ? m_slots[size_t(pos)].literal : text[at++];
    return out;
}

void putMaskedText(QLineEdit* edit, const EditMask& mask, const QString& text) {
    const QSignalBlocker block(edit);
    edit->setText(text);
    const QString shown = mask.shown(text);
    if (mask.isEmpty() || shown.isNull() || edit->displayText() == shown)
        return;
    // Qt moved characters: blank the field (which also forgets the edit history, so an undo cannot
    // bring the moved text back) and set each character in its own position. The cursor is placed
    // without moving it as a user would, so the whole placing is one step that an undo takes back
    // at once, to the blank field.
    edit->setText(QString());
    for (int pos = 0; pos < mask.size(); ++pos) {
        const QChar c = shown[pos];
        if (mask.isLiteral(pos) || c == mask.blank())
            continue;
        edit->setSelection(pos, 0);
        edit->insert(QString(c));
    }
    edit->setSelection(0, 0);
}

MaskEdit::MaskEdit(const QString& mask, QWidget* parent, bool upperCase) : QLineEdit(parent), m_mask(mask) {
    setInputMask(m_mask.qtMask(upperCase));
    m_history = QStringList{displayText()};
    connect(this, &QLineEdit::textEdited, this, &MaskEdit::edited);
}

QString MaskEdit::fieldText() const {
    const QString shown = displayText();
    if (m_mask.keepsLiterals())
        return shown;
    QString out;
    for (int pos = 0; pos < shown.size(); ++pos)
        if (!m_mask.isLiteral(pos))
            out += shown[pos];
    return out;
}

void MaskEdit::putText(const QString& text) {
    m_typed = false;
    putMaskedText(this, m_mask, text);
    m_history = QStringList{displayText()};
    m_at = 0;
}

void MaskEdit::edited() {
    if (m_stepping)
        return;
    const QString now = displayText();
    if (now == m_history.value(m_at))
        return;
    m_history = m_history.mid(0, m_at + 1);
    m_history << now;
    m_at = int(m_history.size()) - 1;
}

void MaskEdit::step(int by) {
    const int to = m_at + by;
    if (isReadOnly() || to < 0 || to >= m_history.size())
        return;
    m_at = to;
    m_stepping = true;
    const int cursor = cursorPosition();
    putMaskedText(this, m_mask, m_history[m_at]);
    setCursorPosition(cursor);
    emit textEdited(text());
    m_stepping = false;
}

bool MaskEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void MaskEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // Qt names the items only from 6.5 on; before, their shortcut tells them.
    auto is = [](const QAction* action, const char* name, QKeySequence::StandardKey key) {
        return action->objectName() == QLatin1String(name) ||
               action->text().endsWith(QLatin1Char('\t') +
                                       QKeySequence(key).toString(QKeySequence::NativeText));
    };
    for (QAction* action : menu->actions()) {
        const int by = is(action, "edit-undo", QKeySequence::Undo)   ? -1
                       : is(action, "edit-redo", QKeySequence::Redo) ? 1
                                                                     : 0;
        if (by == 0)
            continue;
        action->disconnect();
        action->setEnabled(!isReadOnly() && m_at + by >= 0 && m_at + by < m_history.size());
        connect(action, &QAction::triggered, this, [this, by] { step(by); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void MaskEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        step(-1);
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        step(1);
        return;
    }
    const QString before = displayText();
    const int from = cursorPosition();
    QLineEdit::keyPressEvent(event);
    if (displayText() != before)
        m_typed = true;
    if (!m_mask.blanksLead() || event->text().size() != 1)
        return;
    // A literal typed to leave a group: with "!" the group left behind has its blanks first.
    const auto [first, last] = m_mask.groupAt(from);
    const bool literalTyped =
        first >= 0 && m_mask.isLiteral(last + 1) && event->text().at(0) == before.at(last + 1);
    if (literalTyped && cursorPosition() > last)
        blanksFirst(from);
}

void MaskEdit::focusInEvent(QFocusEvent* event) {
    m_typed = false;
    QLineEdit::focusInEvent(event);
}

void MaskEdit::focusOutEvent(QFocusEvent* event) {
    if (m_typed && m_mask.blanksLead())
        blanksFirst(-1);
    m_typed = false;
    QLineEdit::focusOutEvent(event);
}

void MaskEdit::blanksFirst(int group) {
    const QString shown = displayText();
    const QString aligned = m_mask.blanksFirst(shown, group);
    if (aligned == shown)
        return;
    const int cursor = cursorPosition();
    putMaskedText(this, m_mask, aligned);
    setCursorPosition(cursor);
    // The user's typing moved the blanks: the field's users learn the new text as an edit.
    emit textEdited(text());
}

} // namespace zorel8z::gui
