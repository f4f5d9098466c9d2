#include "ExtrasDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zorel8z::gui {

namespace {

const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");

void setUp(QDialog* dialog, const QString& name, const QString& title) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
}

QPushButton* closeButton(QDialog* dialog, QDialogButtonBox* box) {
    QPushButton* close = box->addButton(texts::kClose, QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnClose"));
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return close;
}

} // namespace

// ---------------------------------------------------------------------------------------------

ArchiveDialog::ArchiveDialog(const archive::Archive& store, QWidget* parent) : QDialog(parent) {
    setUp(this, QStringLiteral("dlgArchive"), texts::kArchiveTitle);
    auto* layout = new QVBoxLayout(this);
    m_entries = store.entries();
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("tvArchive"));
    m_tree->setColumnCount(1);
    m_tree->setHeaderLabels({texts::kArchiveHead});
    // The entries come newest first: a panel's group takes the place of its newest read.
    QMap<QString, QTreeWidgetItem*> groups;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const archive::Entry& e = m_entries[i];
        QTreeWidgetItem*& group = groups[e.panel];
        if (!group) {
            group = new QTreeWidgetItem(m_tree, {archive::Archive::panelTitle(e.panel)});
            group->setFlags(Qt::ItemIsEnabled);
        }
        auto* item = new QTreeWidgetItem(group, {e.time.toString(kTimeFormat)});
        item->setData(0, Qt::UserRole, qulonglong(i));
    }
    m_tree->expandAll();
    layout->addWidget(m_tree, 1);
    if (m_entries.empty()) {
        auto* empty = new QLabel(texts::kArchiveEmpty);
        empty->setObjectName(QStringLiteral("lblEmpty"));
        layout->addWidget(empty);
    }
    auto* buttons = new QDialogButtonBox;
    m_open = buttons->addButton(texts::kOpen, QDialogButtonBox::AcceptRole);
    m_open->setObjectName(QStringLiteral("btnOpen"));
    m_open->setEnabled(false);
    QPushButton* cancel = buttons->addButton(texts::kCancel, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_open, &QPushButton::clicked, this, &ArchiveDialog::choose);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        m_open->setEnabled(item && item->data(0, Qt::UserRole).isValid());
    });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && item->data(0, Qt::UserRole).isValid())
            choose();
    });
    layout->addWidget(buttons);
    resize(420, 380);
}

void ArchiveDialog::choose() {
    const QTreeWidgetItem* item = m_tree->currentItem();
    if (!item || !item->data(0, Qt::UserRole).isValid())
        return;
    const size_t i = size_t(item->data(0, Qt::UserRole).toULongLong());
    if (i >= m_entries.size())
        return;
    const archive::Entry entry = m_entries[i];
    accept();
    emit chosen(entry);
}

// ---------------------------------------------------------------------------------------------

CompareDialog::CompareDialog(const std::vector<compare::PageDiff>& diffs, const QString& source,
                             const QString& thereHead, QWidget* parent)
    : QDialog(parent) {
    setUp(this, QStringLiteral("dlgCompare"), texts::kCompareTitle);
    auto* layout = new QVBoxLayout(this);
    auto* what = new QLabel(texts::kCompareWith.arg(source));
    what->setObjectName(QStringLiteral("lblSource"));
    what->setWordWrap(true);
    layout->addWidget(what);
    if (diffs.empty()) {
        auto* same = new QLabel(texts::kCompareSame);
        same->setObjectName(QStringLiteral("lblSame"));
        layout->addWidget(same);
    } else {
        auto* tree = new QTreeWidget;
        tree->setObjectName(QStringLiteral("tvDiff"));
        tree->setColumnCount(3);
        tree->setHeaderLabels({texts::kCompareField, texts::kCompareHere, thereHead});
        for (const compare::PageDiff& page : diffs) {
            auto* group = new QTreeWidgetItem(tree, {page.caption});
            group->setFirstColumnSpanned(true);
            for (const compare::Row& row : page.rows)
                new QTreeWidgetItem(group, {row.caption, row.here, row.there});
        }
        tree->expandAll();
        tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        layout->addWidget(tree, 1);
    }
    auto* buttons = new QDialogButtonBox;
    closeButton(this, buttons)->setDefault(true);
    layout->addWidget(buttons);
    resize(diffs.empty() ? QSize(420, 140) : QSize(720, 440));
}

// ---------------------------------------------------------------------------------------------

SheetDialog::SheetDialog(QWidget* parent) : QDialog(parent) {
    setUp(this, QStringLiteral("dlgSheet"), texts::kSheetTitle);
    auto* layout = new QVBoxLayout(this);
    m_secrets = new QCheckBox(texts::kSheetSecrets);
    m_secrets->setObjectName(QStringLiteral("cbSecrets"));
    m_changed = new QCheckBox(texts::kSheetChanged);
    m_changed->setObjectName(QStringLiteral("cbChangedOnly"));
    layout->addWidget(m_secrets);
    layout->addWidget(m_changed);
    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(texts::kSheetSave, QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("btnSave"));
    save->setDefault(true);
    QPushButton* cancel = buttons->addButton(texts::kCancel, QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool SheetDialog::withSecrets() const {
    return m_secrets->isChecked();
}

bool SheetDialog::changedOnly() const {
    return m_changed->isChecked();
}

// ---------------------------------------------------------------------------------------------

JournalDialog::JournalDialog(const std::vector<journal::Record>& records, QWidget* parent) : QDialog(parent) {
    setUp(this, QStringLiteral("dlgJournal"), texts::kJournalTitle);
    auto* layout = new QVBoxLayout(this);
    auto* table = new QTableWidget(int(records.size()), 7);
    table->setObjectName(QStringLiteral("tblJournal"));
    table->setHorizontalHeaderLabels({QStringLiteral("Час"), QStringLiteral("Операція"),
                                      QStringLiteral("Зв'язок"), QStringLiteral("Серійний номер"),
                                      QStringLiteral("Блок"), QStringLiteral("Результат"),
                                      QStringLiteral("Подробиці")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    // The journal keeps them oldest first; the newest is what the installer looks for.
    int row = 0;
    for (auto it = records.rbegin(); it != records.rend(); ++it, ++row) {
        const journal::Record& r = *it;
        QStringList details;
        if (!r.file.isEmpty())
            details << r.file;
        if (!r.changed.isEmpty())
            details << QStringLiteral("змінено: ") + r.changed.join(QStringLiteral("; "));
        if (!r.message.isEmpty())
            details << QString(r.message)
                           .replace(QStringLiteral("\r\n"), QStringLiteral(" "))
                           .replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QStringList cells = {r.time.toLocalTime().toString(kTimeFormat),
                                   journal::operationText(r.operation),
                                   r.link,
                                   r.serial,
                                   r.block,
                                   journal::outcomeText(r.outcome),
                                   details.join(QStringLiteral(" | "))};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(cells[c]);
            table->setItem(row, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    // A long last column would keep its caption centred out of sight.
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(table, 1);
    if (records.empty()) {
        auto* empty = new QLabel(texts::kJournalEmpty);
        empty->setObjectName(QStringLiteral("lblEmpty"));
        layout->addWidget(empty);
    }
    auto* buttons = new QDialogButtonBox;
    closeButton(this, buttons)->setDefault(true);
    layout->addWidget(buttons);
    resize(900, 420);
}

// ---------------------------------------------------------------------------------------------

CheckDialog::CheckDialog(std::unique_ptr<check::ConnectionCheck> check, const QString& target,
                         QWidget* parent)
    : QDialog(parent), m_check(std::move(check)) {
    setUp(this, QStringLiteral("dlgCheck"), texts::kCheckTitle);
    auto* layout = new QVBoxLayout(this);
    auto* what = new QLabel(target);
    what->setObjectName(QStringLiteral("lblTarget"));
    layout->addWidget(what);
    m_steps = new QListWidget;
    m_steps->setObjectName(QStringLiteral("lstSteps"));
    m_steps->setWordWrap(true);
    layout->addWidget(m_steps, 1);
    m_verdict = new QLabel(texts::kCheckRunning);
    m_verdict->setObjectName(QStringLiteral("lblVerdict"));
    m_verdict->setWordWrap(true);
    layout->addWidget(m_verdict);
    auto* buttons = new QDialogButtonBox;
    closeButton(this, buttons)->setDefault(true);
    layout->addWidget(buttons);
    connect(m_check.get(), &check::ConnectionCheck::step, this, [this](bool ok, const QString& text) {
        QString line = text;
        line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_steps->addItem((ok ? QStringLiteral("✓ ") : QStringLiteral("✗ ")) + line);
        if (!ok)
            m_stoppedAt = line;
    });
    connect(m_check.get(), &check::ConnectionCheck::finished, this, [this](bool ok) {
        m_verdict->setText(ok ? texts::kCheckPassed : texts::kCheckStopped.arg(m_stoppedAt));
        emit ended(ok);
    });
    resize(560, 320);
}

CheckDialog::~CheckDialog() {
    // A check under way stops with its dialog; what it still reports goes nowhere.
    if (m_check)
        disconnect(m_check.get(), nullptr, this, nullptr);
}

void CheckDialog::start() {
    m_check->start();
}

bool CheckDialog::running() const {
    return m_check->running();
}

} // namespace zorel8z::gui

// The texts declared in ExtrasDialogs.h: defined once here, not in every file that includes it.
namespace zorel8z::gui::texts {

const QString kMenuArchive = QStringLiteral("Відкрити з архіву…");
const QString kMenuCompare = QStringLiteral("Порівняти…");
const QString kMenuComparePanel = QStringLiteral("З ППК");
const QString kMenuCompareFile = QStringLiteral("З файлом…");
const QString kMenuCompareArchive = QStringLiteral("З архівом…");
const QString kMenuVerify = QStringLiteral("Перевіряти після запису");
const QString kMenuCheck = QStringLiteral("Перевірити з'єднання");
const QString kMenuSheet = QStringLiteral("Паспорт конфігурації (PDF)…");
const QString kMenuJournal = QStringLiteral("Журнал");
const QString kArchiveTitle = QStringLiteral("Архів зчитаних конфігурацій");
const QString kArchiveEmpty = QStringLiteral("Архів порожній.");
const QString kArchiveHead = QStringLiteral("ППК / дата і час зчитування");
const QString kOpen = QStringLiteral("Відкрити");
const QString kClose = QStringLiteral("Закрити");
const QString kCancel = QStringLiteral("Скасувати");
const QString kCompareTitle = QStringLiteral("Порівняння конфігурацій");
const QString kCompareSame = QStringLiteral("Конфігурації однакові.");
const QString kCompareField = QStringLiteral("Поле");
const QString kCompareHere = QStringLiteral("У вікні");
const QString kThereInPanel = QStringLiteral("У ППК");
const QString kThereInFile = QStringLiteral("У файлі");
const QString kThereInArchive = QStringLiteral("В архіві");
const QString kCompareWith = QStringLiteral("Конфігурація у вікні порівняна з: %1");
const QString kSheetTitle = QStringLiteral("Паспорт конфігурації");
const QString kSheetSecrets = QStringLiteral("з паролями");
const QString kSheetChanged = QStringLiteral("лише змінені від заводських");
const QString kSheetSave = QStringLiteral("Зберегти…");
const QString kSheetFilter = QStringLiteral("PDF (*.pdf)");
const QString kSheetDefaultName = QStringLiteral("Паспорт конфігурації.pdf");
const QString kSheetFailed = QStringLiteral("Не вдалося зберегти файл\r\n");
const QString kJournalTitle = QStringLiteral("Журнал");
const QString kJournalEmpty = QStringLiteral("Журнал порожній.");
const QString kCheckTitle = QStringLiteral("Перевірка з'єднання");
const QString kCheckRunning = QStringLiteral("Перевірка триває…");
const QString kCheckPassed = QStringLiteral("З'єднання працює.");
const QString kCheckStopped = QStringLiteral("Перевірку зупинено: %1");

} // namespace zorel8z::gui::texts
