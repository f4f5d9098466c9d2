// Anchor of the start-up bench: a plain Qt Widgets window with as many widgets of the same kinds as
// the configurator's window (menus, five scrolling pages with an inner page control, two grids of 24
// rows, lists, spin fields, line edits, labels), in a binary that links nothing but Qt Widgets. No artwork,
// no rules, no serial ports, no settings. Prints "shown" once its first paint has been handled, or
// with --count the number of widgets of each class.
#include "ShownReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <cstdio>

namespace {

QTableWidget* table(int columns) {
    auto* t = new QTableWidget(24, columns);
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < columns; ++c)
            t->setItem(r, c, new QTableWidgetItem(QStringLiteral("0000")));
    return t;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("plain"));
    for (int m = 0; m < 5; ++m) {
        QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Menu %1").arg(m));
        for (int i = 0; i < 3; ++i)
            menu->addAction(QStringLiteral("Item %1").arg(i));
    }
    auto* central = new QWidget;
    central->setFixedSize(794, 524);
    window.setCentralWidget(central);
    auto* top = new QGridLayout(central);

    auto* pages = new QTabWidget;
    QGridLayout* page[5];
    for (int i = 0; i < 5; ++i) {
        auto* w = new QWidget;
        page[i] = new QGridLayout(w);
        auto* area = new QScrollArea;
        area->setWidgetResizable(true);
        area->setWidget(w);
        pages->addTab(area, QStringLiteral("Page %1").arg(i));
    }
    top->addWidget(pages, 1, 0, 1, 4);
    auto* inner = new QTabWidget;
    for (int i = 0; i < 4; ++i)
        inner->addTab(new QWidget, QStringLiteral("Inner %1").arg(i));
    page[3]->addWidget(inner, 0, 5, 8, 1);
    page[1]->addWidget(table(3), 0, 2, 10, 1);
    page[4]->addWidget(table(2), 0, 2, 10, 1);

    for (int i = 0; i < 57; ++i)
        page[i % 5]->addWidget(new QLabel(QStringLiteral("Label %1").arg(i)), i / 5, 0);
    for (int i = 0; i < 33; ++i) {
        auto* box = new QComboBox;
        box->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        box->setEditable(i < 2);
        page[i % 5]->addWidget(box, i / 5, 1);
    }
    for (int i = 0; i < 10; ++i)
        page[i % 5]->addWidget(new QSpinBox, 12 + i / 5, 1);
    for (int i = 0; i < 9; ++i)
        page[i % 5]->addWidget(new QLineEdit, 14 + i / 5, 1);
    for (int i = 0; i < 3; ++i)
        page[i]->addWidget(new QWidget, 20, 2);
    for (int i = 0; i < 8; ++i)
        page[i % 5]->addWidget(new QGroupBox(QStringLiteral("Group %1").arg(i)), 16 + i / 5, 1);
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QFrame;
        frame->setFrameShape(QFrame::Panel);
        page[i]->addWidget(frame, 18, 1);
    }
    for (int i = 0; i < 2; ++i) {
        page[3]->addWidget(new QCheckBox(QStringLiteral("Tick")), 19 + i, 1);
        top->addWidget(new QRadioButton(QStringLiteral("Radio")), 0, i);
        top->addWidget(new QToolButton, 0, 2 + i);
    }
    for (int i = 0; i < 4; ++i)
        top->addWidget(new QPushButton(QStringLiteral("Button %1").arg(i)), 2, i);
    top->addWidget(new QProgressBar, 3, 0);

    bench::reportWhenShown(app, window); // before show(), which may paint at once
    window.show();
    if (app.arguments().contains(QStringLiteral("--count"))) {
        bench::printWidgetCounts(window);
        return 0;
    }
    return app.exec();
}
