// Anchor of the start-up bench: a plain Qt Widgets window with as many widgets of the same kinds as
// the configurator's window (menus, five scrolling pages with an inner page control, two grids of 24
// rows, lists, spin fields, line edits, labels), in a binary that links nothing but Qt Widgets. No artwork,
// no rules, no serial ports, no settings. Prints "shown" once its first paint has been handled, or
// with --count the number of widgets of each class. With --texts FILE (the configurator's --texts) it
// takes on the configurator's fonts and captions, each kind of widget the captions of that kind in turn:
// the same window with the same text to shape and draw.
#include "ShownReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
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
#include <cstdlib>

namespace {

QTableWidget* table(int columns, const QStringList& heads) {
    auto* t = new QTableWidget(24, columns);
    if (heads.size() == columns)
        t->setHorizontalHeaderLabels(heads);
    for (int r = 0; r < 24; ++r)
        for (int c = 0; c < columns; ++c)
            t->setItem(r, c, new QTableWidgetItem(QStringLiteral("0000")));
    return t;
}

// Captions by kind, from the configurator's --texts; each kind's own in turn, `plain` where there are
// none.
struct Texts {
    QHash<QString, QStringList> byKind;
    QString operator()(const char* kind, int i, const QString& plain) const {
        const QStringList list = byKind.value(QLatin1String(kind));
        return list.isEmpty() ? plain : list[i % list.size()];
    }
    QStringList items(int i) const {
        QStringList three;
        for (int k = 0; k < 3; ++k)
            three << (*this)(
                "item", i * 3 + k,
                QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}[k]);
        return three;
    }
};

Texts readTexts(QApplication& app) {
    Texts texts;
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--texts"));
    if (at < 0 || at + 1 >= args.size())
        return texts;
    QFile file(args[at + 1]);
    // Without them this would be the other anchor under this one's name.
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
        std::exit(1);
    }
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QStringList parts = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        if (parts.size() < 2)
            continue;
        if (parts[0] == QLatin1String("font") && parts.size() == 3) {
            QFont font;
            font.setFamilies(parts[1].split(QLatin1Char(',')));
            font.setPixelSize(parts[2].toInt());
            app.setFont(font);
        } else {
            texts.byKind[parts[0]] << parts[1];
        }
    }
    return texts;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const Texts text = readTexts(app);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("plain"));
    for (int m = 0; m < 6; ++m) {
        QMenu* menu = window.menuBar()->addMenu(text("menu", m, QStringLiteral("Menu %1").arg(m)));
        for (int i = 0; i < 3; ++i)
            menu->addAction(text("action", m * 3 + i, QStringLiteral("Item %1").arg(i)));
    }
    auto* central = new QWidget;
    central->setFixedSize(794, 524);
    window.setCentralWidget(central);
    auto* top = new QGridLayout(central);

    auto* pages = new QTabWidget;
    if (const int size = text("tabfont", 0, QString()).toInt(); size > 0) {
        QFont font = pages->font();
        font.setPixelSize(size);
        pages->tabBar()->setFont(font);
    }
    QGridLayout* page[5];
    for (int i = 0; i < 5; ++i) {
        auto* w = new QWidget;
        page[i] = new QGridLayout(w);
        auto* area = new QScrollArea;
        area->setWidgetResizable(true);
        area->setWidget(w);
        pages->addTab(area, text("tab", i, QStringLiteral("Page %1").arg(i)));
    }
    top->addWidget(pages, 1, 0, 1, 4);
    auto* inner = new QTabWidget;
    for (int i = 0; i < 4; ++i)
        inner->addTab(new QWidget, text("tab", 5 + i, QStringLiteral("Inner %1").arg(i)));
    page[3]->addWidget(inner, 0, 5, 8, 1);
    const QStringList heads = text.byKind.value(QStringLiteral("head"));
    page[1]->addWidget(table(3, heads.mid(0, 3)), 0, 2, 10, 1);
    page[4]->addWidget(table(2, heads.mid(3, 2)), 0, 2, 10, 1);

    for (int i = 0; i < 57; ++i)
        page[i % 5]->addWidget(new QLabel(text("label", i, QStringLiteral("Label %1").arg(i))), i / 5, 0);
    for (int i = 0; i < 33; ++i) {
        auto* box = new QComboBox;
        box->addItems(text.items(i));
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
        page[i % 5]->addWidget(new QGroupBox(text("group", i, QStringLiteral("Group %1").arg(i))), 16 + i / 5,
                               1);
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QFrame;
        frame->setFrameShape(QFrame::Panel);
        page[i]->addWidget(frame, 18, 1);
    }
    for (int i = 0; i < 2; ++i) {
        page[3]->addWidget(new QCheckBox(text("button", 6 + i, QStringLiteral("Tick"))), 19 + i, 1);
        top->addWidget(new QRadioButton(text("button", i, QStringLiteral("Radio"))), 0, i);
        top->addWidget(new QToolButton, 0, 2 + i);
    }
    for (int i = 0; i < 4; ++i)
        top->addWidget(new QPushButton(text("button", 2 + i, QStringLiteral("Button %1").arg(i))), 2, i);
    top->addWidget(new QProgressBar, 3, 0);

    bench::reportWhenShown(app, window); // before show(), which may paint at once
    window.show();
    if (app.arguments().contains(QStringLiteral("--count"))) {
        bench::printWidgetCounts(window);
        return 0;
    }
    return app.exec();
}
