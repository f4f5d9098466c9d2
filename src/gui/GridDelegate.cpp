#include "GridDelegate.h"

#include "MaskEdit.h"

#include <QKeyEvent>
#include <QPointer>

namespace zorel8z::gui {

namespace {
const char* const kCell = "zorel8zCell";
const char* const kShown = "zorel8zShown";
const char* const kStart = "zorel8zStart";

QPersistentModelIndex cellOf(const QObject* editor) {
    return editor->property(kCell).value<QPersistentModelIndex>();
}
} // namespace

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                    const QModelIndex& index) const {
    const QString mask = m_hooks.maskOf ? m_hooks.maskOf(index.column()) : QString();
    auto* edit = new MaskEdit(mask, parent, m_upperCase);
    edit->setFrame(false);
    edit->setAlignment(Qt::AlignCenter);
    edit->setProperty(kCell, QVariant::fromValue(QPersistentModelIndex(index)));
    connect(edit, &QLineEdit::textEdited, this, [this, edit] {
        const QPersistentModelIndex cell = cellOf(edit);
        const QString text = edit->fieldText();
        // A key that changed nothing (Backspace in an empty editor, a hidden password's editor that
        // cannot show "****") leaves the cell as it was.
        if (!cell.isValid() || text == edit->property(kShown).toString())
            return;
        if (m_hooks.accepts && !m_hooks.accepts(cell.column(), text)) {
            edit->putText(edit->property(kShown).toString());
            return;
        }
        edit->setProperty(kShown, text);
        if (m_hooks.edited)
            m_hooks.edited(cell.row(), cell.column(), text);
    });
    edit->setProperty(kStart, index.data(Qt::EditRole).toString());
    if (m_hooks.started)
        m_hooks.started(index.row(), index.column(), index.data(Qt::EditRole).toString());
    return edit;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<MaskEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    const bool first = !edit->property(kShown).isValid();
    // Qt calls this again whenever the cell changes while its editor is open; the editor only
    // follows a cell that no longer holds what the editor shows (a fill, a normalisation).
    if (!first && edit->fieldText() == text)
        return;
    edit->putText(text);
    edit->setProperty(kShown, edit->fieldText());
    if (first)
        edit->selectAll();
}

void GridDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // The cell already holds what the editor shows.
}

bool GridDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QStyledItemDelegate::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    QPointer<QWidget> editor = qobject_cast<QWidget*>(watched);
    if (m_hooks.keyTyped && m_hooks.keyTyped(key))
        return true;
    if (!editor)
        return true;
    // Qt's own handling keeps the editor open on Tab while the mask is not complete; the cell holds
    // what is typed anyway, so Tab moves on like any other way of leaving.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        emit closeEditor(editor, key->key() == Qt::Key_Tab ? QAbstractItemDelegate::EditNextItem
                                                           : QAbstractItemDelegate::EditPreviousItem);
        return true;
    }
    if (key->matches(QKeySequence::Cancel)) {
        // Escape cancels the edit: the cell gets back what it held when the editor opened.
        const QPersistentModelIndex cell = cellOf(editor);
        const QString start = editor->property(kStart).toString();
        if (cell.isValid() && cell.data(Qt::EditRole).toString() != start && m_hooks.edited)
            m_hooks.edited(cell.row(), cell.column(), start);
        if (editor)
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // Enter ends the edit; the editor closes once its key has been handled.
        QMetaObject::invokeMethod(
            this,
            [this, editor] {
                if (editor)
                    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            },
            Qt::QueuedConnection);
        return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace zorel8z::gui
