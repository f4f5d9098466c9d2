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
extern const QString kMenuArchive;
extern const QString kMenuCompare;
extern const QString kMenuComparePanel;
extern const QString kMenuCompareFile;
extern const QString kMenuCompareArchive;
extern const QString kMenuVerify;
extern const QString kMenuCheck;
extern const QString kMenuSheet;
extern const QString kMenuJournal;

extern const QString kArchiveTitle;
extern const QString kArchiveEmpty;
extern const QString kArchiveHead;
extern const QString kOpen;
extern const QString kClose;
extern const QString kCancel;

extern const QString kCompareTitle;
extern const QString kCompareSame;
extern const QString kCompareField;
extern const QString kCompareHere;
extern const QString kThereInPanel;
extern const QString kThereInFile;
extern const QString kThereInArchive;
extern const QString kCompareWith;

extern const QString kSheetTitle;
extern const QString kSheetSecrets;
extern const QString kSheetChanged;
extern const QString kSheetSave;
extern const QString kSheetFilter;
extern const QString kSheetDefaultName;
extern const QString kSheetFailed;

extern const QString kJournalTitle;
extern const QString kJournalEmpty;

extern const QString kCheckTitle;
extern const QString kCheckRunning;
extern const QString kCheckPassed;
extern const QString kCheckStopped;
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
