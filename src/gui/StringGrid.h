#pragma once

#include <QEvent>
#include <QHeaderView>
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

    // The heads in a font of `pixelSize` pixels. It is given to them once the grid is polished, before
    // the grid is measured or shown: a font given at once would have a grid on a page nobody has opened
    // yet measure its heads during the start.
    void setHeadPixelSize(int pixelSize) { m_headPixelSize = pixelSize; }

    QSize sizeHint() const override {
        ensurePolished();
        return QTableWidget::sizeHint();
    }
    QSize minimumSizeHint() const override {
        ensurePolished();
        return QTableWidget::minimumSizeHint();
    }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::Polish && m_headPixelSize > 0) {
            QFont font = horizontalHeader()->font();
            font.setPixelSize(m_headPixelSize);
            horizontalHeader()->setFont(font);
        }
        return QTableWidget::event(event);
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        if (m_cellChosen && current.isValid())
            m_cellChosen(current, previous);
        QTableWidget::currentChanged(current, previous);
    }

  private:
    CellChosen m_cellChosen;
    int m_headPixelSize = 0;
};

} // namespace zorel8z::gui
