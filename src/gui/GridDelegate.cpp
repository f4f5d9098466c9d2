#include "GridDelegate.h"

#include <QLineEdit>

namespace zorel8z::gui {

namespace {
const char* const kTaken = "zorel8zTaken";
}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    const QString mask = m_maskOf(index.column());
    if (!mask.isEmpty())
        edit->setInputMask(mask);
    return edit;
}

void GridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* edit = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    edit->setText(text);
    edit->selectAll();
    if (m_opened)
        m_opened(editor, text);
}

void GridDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    if (editor->property(kTaken).toBool())
        return;
    m_commit(index.row(), index.column(), static_cast<QLineEdit*>(editor)->text());
}

void GridDelegate::markTaken(QWidget* editor) { editor->setProperty(kTaken, true); }

} // namespace zorel8z::gui
