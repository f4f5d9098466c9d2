#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace zorel8z::gui {

// Cell editors of the two grids: a line edit with the column's input mask. The window decides what
// a committed text does to the record, so the delegate hands the text over instead of storing it.
class GridDelegate : public QStyledItemDelegate {
public:
    using MaskOf = std::function<QString(int column)>;
    using Commit = std::function<void(int row, int column, const QString& text)>;
    using Opened = std::function<void(QWidget* editor, const QString& text)>;

    GridDelegate(MaskOf maskOf, Commit commit, Opened opened, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), m_maskOf(std::move(maskOf)), m_commit(std::move(commit)),
          m_opened(std::move(opened)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // An editor whose text the window has already taken (Enter) is not committed again on close.
    static void markTaken(QWidget* editor);

private:
    MaskOf m_maskOf;
    Commit m_commit;
    Opened m_opened;
};

} // namespace zorel8z::gui
