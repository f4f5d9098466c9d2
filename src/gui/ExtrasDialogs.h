#pragma once

#include "archive/Archive.h"
#include "check/ConnectionCheck.h"
#include "compare/ConfigCompare.h"
#include "journal/Journal.h"

#include <QDialog>
#include <memory>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTreeWidget;

// The dialogs of the archive, the comparison, the configuration sheet, the journal and the connection
// check. Each is window-modal and opened without a nested event loop: the window keeps painting and
// its commands keep running while one is up.
namespace zorel8z::gui {

namespace texts {
inline const QString kMenuArchive = QStringLiteral("Відкрити з архіву…");
inline const QString kMenuCompare = QStringLiteral("Порівняти…");
inline const QString kMenuComparePanel = QStringLiteral("З ППК");
inline const QString kMenuCompareFile = QStringLiteral("З файлом…");
inline const QString kMenuCompareArchive = QStringLiteral("З архівом…");
inline const QString kMenuVerify = QStringLiteral("Перевіряти після запису");
inline const QString kMenuCheck = QStringLiteral("Перевірити з'єднання");
inline const QString kMenuSheet = QStringLiteral("Паспорт конфігурації (PDF)…");
inline const QString kMenuJournal = QStringLiteral("Журнал");

inline const QString kArchiveTitle = QStringLiteral("Архів зчитаних конфігурацій");
inline const QString kArchiveEmpty = QStringLiteral("Архів порожній.");
inline const QString kArchiveHead = QStringLiteral("ППК / дата і час зчитування");
inline const QString kOpen = QStringLiteral("Відкрити");
inline const QString kClose = QStringLiteral("Закрити");
inline const QString kCancel = QStringLiteral("Скасувати");

inline const QString kCompareTitle = QStringLiteral("Порівняння конфігурацій");
inline const QString kCompareSame = QStringLiteral("Конфігурації однакові.");
inline const QString kCompareField = QStringLiteral("Поле");
inline const QString kCompareHere = QStringLiteral("У вікні");
inline const QString kThereInPanel = QStringLiteral("У ППК");
inline const QString kThereInFile = QStringLiteral("У файлі");
inline const QString kThereInArchive = QStringLiteral("В архіві");
inline const QString kCompareWith = QStringLiteral("Конфігурація у вікні порівняна з: %1");

inline const QString kSheetTitle = QStringLiteral("Паспорт конфігурації");
inline const QString kSheetSecrets = QStringLiteral("з паролями");
inline const QString kSheetChanged = QStringLiteral("лише змінені від заводських");
inline const QString kSheetSave = QStringLiteral("Зберегти…");
inline const QString kSheetFilter = QStringLiteral("PDF (*.pdf)");
inline const QString kSheetDefaultName = QStringLiteral("Паспорт конфігурації.pdf");
inline const QString kSheetFailed = QStringLiteral("Не вдалося зберегти файл\r\n");

inline const QString kJournalTitle = QStringLiteral("Журнал");
inline const QString kJournalEmpty = QStringLiteral("Журнал порожній.");

inline const QString kCheckTitle = QStringLiteral("Перевірка з'єднання");
inline const QString kCheckRunning = QStringLiteral("Перевірка триває…");
inline const QString kCheckPassed = QStringLiteral("З'єднання працює.");
inline const QString kCheckStopped = QStringLiteral("Перевірку зупинено: %1");
} // namespace texts

// The archive by panel (the panel with the newest read first), each panel's reads newest first.
// "Відкрити" (or a double click on a read) hands the chosen read over and closes the dialog.
class ArchiveDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ArchiveDialog(const archive::Archive& store, QWidget* parent = nullptr);

  signals:
    void chosen(const zorel8z::archive::Entry& entry);

  private:
    void choose();

    QTreeWidget* m_tree = nullptr;
    QPushButton* m_open = nullptr;
    std::vector<archive::Entry> m_entries;
};

// The fields that differ, grouped by page: caption, the value in the window, the value there.
class CompareDialog : public QDialog {
    Q_OBJECT
  public:
    CompareDialog(const std::vector<compare::PageDiff>& diffs, const QString& source,
                  const QString& thereHead, QWidget* parent = nullptr);
};

// The sheet's two options; "Зберегти…" accepts.
class SheetDialog : public QDialog {
    Q_OBJECT
  public:
    explicit SheetDialog(QWidget* parent = nullptr);
    bool withSecrets() const;
    bool changedOnly() const;

  private:
    QCheckBox* m_secrets = nullptr;
    QCheckBox* m_changed = nullptr;
};

// The journal as a table, newest first.
class JournalDialog : public QDialog {
    Q_OBJECT
  public:
    explicit JournalDialog(const std::vector<journal::Record>& records, QWidget* parent = nullptr);
};

// A connection check's steps as they come, then where it stopped. The dialog owns the check; closing
// it ends a check under way.
class CheckDialog : public QDialog {
    Q_OBJECT
  public:
    CheckDialog(std::unique_ptr<check::ConnectionCheck> check, const QString& target,
                QWidget* parent = nullptr);
    ~CheckDialog() override;
    void start();
    bool running() const;

  signals:
    void ended(bool ok);

  private:
    std::unique_ptr<check::ConnectionCheck> m_check;
    QListWidget* m_steps = nullptr;
    QLabel* m_verdict = nullptr;
    QString m_stoppedAt;
};

} // namespace zorel8z::gui
