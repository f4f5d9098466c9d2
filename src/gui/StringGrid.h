#pragma once

#include <QTableWidget>
#include <functional>

namespace zorel8z::gui {

// A table whose owner hears of a new current cell before the table reacts to it: the grids' rules
// must bring the cells into shape (and undo a bad group to the text the last editor opened with)
// before the editor of the newly chosen cell opens and takes its own start text.
class StringGrid : public QTableWidget {
  public:
    using CellChosen = std::function<void(const QModelIndex& current, const QModelIndex& previous)>;

    StringGrid(int rows, int columns, QWidget* parent = nullptr) : QTableWidget(rows, columns, parent) {}

    void onCellChosen(CellChosen handler) { m_cellChosen = std::move(handler); }

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (m_cellChosen && current.isValid())
            m_cellChosen(current, previous);
        QTableWidget::currentChanged(current, previous);
    }

  private:
    CellChosen m_cellChosen;
};

} // namespace zorel8z::gui
