#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>
#include <functional>

class QKeyEvent;

namespace zorel8z::gui {

// Cell editors of the two grids: a mask edit with the column's mask. What the user types reaches the
// cell at once (the window is told of every change), so every way of leaving the cell finds the
// cell holding what the editor showed and nothing has to be committed when the editor closes.
class GridDelegate : public QStyledItemDelegate {
  public:
    struct Hooks {
        // The column's mask in the rules' notation.
        std::function<QString(int column)> maskOf;
        // The user started editing a cell that holds `text`; once per editor.
        std::function<void(int row, int column, const QString& text)> started;
        // Whether the cell may hold `text`; a change to any other text (a paste, a drop) is undone.
        std::function<bool(int column, const QString& text)> accepts;
        // The user changed the editor's text to `text` (blanks included).
        std::function<void(int row, int column, const QString& text)> edited;
        // A key typed into an editor, before the editor sees it. True: the key is discarded.
        std::function<bool(QKeyEvent* key)> keyTyped;
    };

    GridDelegate(Hooks hooks, bool upperCase, QObject* parent = nullptr)
        : QStyledItemDelegate(parent), m_hooks(std::move(hooks)), m_upperCase(upperCase) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // No more calls into the window: it is going away.
    void detach() { m_hooks = Hooks{}; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Hooks m_hooks;
    bool m_upperCase;
};

} // namespace zorel8z::gui
