#pragma once

#include "Shell.h"
#include "archive/Archive.h"
#include "controller/TController.h"
#include "journal/Journal.h"
#include "model/PanelConfig.h"
#include "remote/HttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/EditorState.h"
#include "usb/KeyReader.h"
#include "usb/PortWatcher.h"
#include "usb/SerialPort.h"
#include "usb/UsbCommands.h"
#include "usb/WriteVerifier.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QStringList>
#include <array>
#include <future>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScreen;
class QScrollArea;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolButton;
class QKeyEvent;
class QWidget;

namespace zorel8z::gui {

class GridDelegate;
class MaskEdit;
class StringGrid;

namespace texts {
extern const QString kCaption;
extern const QString kManualFile;
extern const QString kManualError;
extern const QString kErrorCode;
extern const QString kExportFilter;
extern const QString kRefreshHint;
} // namespace texts

// What the window is built with. Tests shorten the timers and answer the dialogs; the program uses
// the defaults (the desktop, the real serial ports and the real HTTP client).
struct WindowOptions {
    // Device paths added to both port lists after the ports the system lists.
    QStringList extraPorts;
    usb::UsbTimings usbTimings;
    remote::RemoteTimings remoteTimings;
    // Not owned; nullptr: the desktop's dialogs and message boxes.
    Shell* shell = nullptr;
    // Not owned; nullptr: the libcurl client.
    remote::HttpClient* http = nullptr;
    // Serial ports; nullptr: Qt serial ports over the system's devices and `extraPorts`, whose lists
    // follow devices plugged in and pulled out. Ports handed in list what their owner says, unwatched.
    std::unique_ptr<usb::SerialPort> panelPort;
    std::unique_ptr<usb::SerialPort> readerPort;
};

// The main window: a view of one configuration. It binds its controls to the record and the editor
// state, forwards the user's actions to the core and shows what the core reports. Only the user's
// changes run rules and marks; the window's own fills never do.
class TfrmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit TfrmMain(WindowOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    model::PanelConfig& config() { return m_cfg; }
    rules::EditorState& state() { return m_state; }
    usb::UsbCommands& usbCommands() { return *m_usb; }
    remote::RemoteCommands& remoteCommands() { return *m_remote; }
    usb::KeyReader& keyReader() { return *m_keyReader; }
    // Whether the port lists hold the system's ports yet (they come just after the first paint).
    bool portListsFilled() const { return m_portsListed; }

    // Shows every value of the record and the editor state again (after a read, a file, a rule).
    void fillAll();

  signals:
    // The first paint of the window is over: what the start can do without runs from here.
    void firstPainted();

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Building the controls.
    void buildMenus();
    QWidget* buildTopBand(QWidget* parent);
    QWidget* buildNetworkPage();
    QWidget* buildUsersPage();
    QWidget* buildZonesPage();
    QWidget* buildParamsPage();
    QWidget* buildKeysPage();
    void connectControls();

    // Start-up and exit.
    void FormShow();
    // The system's ports, listed on a thread of their own once the window has first been painted.
    void startListing();
    void portsListed();
    void choosePorts(const QStringList& panelPorts, const QStringList& readerPorts);
    void FormClose();

    // Commands.
    void btnReadConfClick();
    void btnWriteConfClick();
    void miOpenClick();
    void miSaveAsClick();
    void conf1Click();
    void N1Click();
    void N9Click();
    void N8Click();
    void rbtn_LocalClick();
    void rbtn_RemoteClick();
    void pcConfChange(int index);
    void btnChangePPKNumClick();
    void showPage(rules::Page page);

    // Fills from the record (no rule runs).
    void fillNetwork();
    void fillUsers();
    void fillZones();
    void fillParams();
    void fillKeys();
    void fillKeyCell(int user);
    void fillIdentity();
    // Command state, marks, captions and mode-dependent visibility.
    void refreshState();
    void applyMode();
    void refreshCaptions();

    // The user's edits of single fields.
    void userEditedSpin(rules::Control control, QSpinBox* box, int& field);
    void usersCellEdited(int row, int column, const QString& text);
    void keyCellEdited(int row, const QString& text);
    // Keys typed into a cell editor, before the editor sees them; true: the key is discarded.
    bool usersKeyTyped(QKeyEvent* key);
    bool keysKeyTyped(QKeyEvent* key);
    void normaliseUsers();
    // The key codes' normalisation may show error boxes. A box must not open while a cell editor or
    // the grid is in the middle of handling an event (the box's own event loop may delete the editor
    // under that handler), so it is asked for here and runs from the event loop.
    void requestKeyNormalisation();
    // Runs an asked-for normalisation of the key codes now; the commands call it first.
    void settleKeyCodes();
    // "Зберегти як..." and "Відкрити" follow the mode, from the start and not only when the menu opens.
    void applyFileMenuRule();

    // Beyond the commands (TfrmMainExtras.cpp): the archive, the comparison, the check after a
    // write, the configuration sheet, the journal and the connection check.
    void connectExtras();
    void miArchiveClick();
    void openArchiveEntry(const archive::Entry& entry);
    void compareWithPanel();
    void compareWithFile();
    void compareWithArchive();
    void showComparison(const model::PanelConfig& there, const QString& source, const QString& thereHead);
    void verifyToggled(bool on);
    void miSheetClick();
    void miJournalClick();
    void miCheckClick();

    // The journal's lines of the commands. A transfer's line is written once it has ended and its
    // messages have been shown; nothing here may stop or hold up the command itself.
    struct Pending {
        bool active = false;
        QString link;
        QString block;
        bool filled = false;       // a read: the configuration (or the block) came
        bool acked = false;        // a USB write: the panel acknowledged it
        bool expectVerify = false; // a USB write: the panel is read back after the acknowledgement
        int panel = 0;             // a remote read: the panel's number at the station
        qsizetype from = 0;        // the first message shown since it was given
    };
    void journalAppend(journal::Record record);
    void journalFile(const QString& operation, const QString& path, bool ok, qsizetype from);
    // A transfer command was given: its line is pending from here (or written now if it was refused).
    void transferGiven(Pending& pending, qsizetype from, bool wasIdle, bool started, const QString& link,
                       const QString& block);
    // Looks, from the event loop, whether a pending transfer has ended.
    void requestSettle();
    void settleTransfers();
    void finishUsbRead();
    void finishUsbWrite(const QString& outcome);
    void journalUsbWrite(const Pending& p, const QString& outcome);
    void finishRemote(Pending& pending, const QString& operation, bool ok);
    QString shownSince(qsizetype from) const;
    void onCopyRead(const usb::PanelRead& read);

    // What a running command waits for; shown with the seconds gone against the command's limit.
    // PanelCopy: the panel read into a copy, for a comparison or the check after a write.
    enum class Waiting { None, UsbRead, UsbWrite, RemoteRead, RemoteWrite, PanelCopy };
    // A command has started (or started anew): show what it waits for until it ends.
    void beginWaiting(Waiting what);
    // Whether the command being shown is still under way.
    bool waitingGoesOn() const;
    // The text, the bar and the busy cursor as they stand now; hidden once the command has ended.
    void refreshWaiting();

    // Small screens. The window keeps its fixed size where the screen has room for it; on a screen
    // too low for it the pages area gets lower (its pages scroll) so that the whole window, the menu
    // bar and both command buttons included, fits the screen's available area.
    void fitToScreen();
    // Puts the whole window, frame included, inside the available area of its screen.
    void placeOnScreen();
    // fitToScreen(), and placeOnScreen() if the window then sticks out of its screen.
    void keepOnScreen();
    void watchScreen(QScreen* screen);
    // Each page keeps, as its least size, the size it has in the window at full size: there it
    // looks as it always has, and it scrolls only when the window is lower than that.
    void settlePageSizes();
    void settlePageSize(int index);
    void attachPage(int index);
    QMargins frameMargins() const;
    void setClientHeight(int height);
    // Port lists: the names, each with what the system tells of its device as its tooltip.
    void fillPortList(QComboBox* box, const usb::SerialPort& port, const QStringList& ports, int selected);
    void fillPortList(QComboBox* box, const QStringList& ports, const QHash<QString, QString>& descriptions,
                      int selected);
    // Devices were plugged in or pulled out.
    void devicesChanged();
    void panelDevicesChanged();

    model::PanelConfig m_cfg;
    rules::EditorState m_state;
    controller::TController m_ctl;
    std::unique_ptr<Shell> m_ownShell;
    Shell* m_shell;
    // Every message goes through it on its way to the shell, so that the journal can say what the
    // user was told. Declared before whatever shows messages through it, so it outlives them.
    std::unique_ptr<TappedShell> m_tap;
    std::unique_ptr<remote::HttpClient> m_ownHttp;
    std::unique_ptr<usb::SerialPort> m_panelPort;
    std::unique_ptr<usb::SerialPort> m_readerPort;
    // One watchdog for the USB and the remote commands; it outlives both.
    std::unique_ptr<usb::CommandWatchdog> m_watchdog;
    std::unique_ptr<usb::UsbCommands> m_usb;
    std::unique_ptr<usb::KeyReader> m_keyReader;
    std::unique_ptr<remote::RemoteCommands> m_remote;
    std::unique_ptr<usb::WriteVerifier> m_verifier;
    // The read into a copy of "Порівняти… → З ППК".
    std::unique_ptr<usb::PanelReader> m_copyReader;
    QString m_copyLink;
    remote::RemoteTimings m_remoteTimings;
    Pending m_usbRead;
    Pending m_usbWrite;
    // The last USB write that ended unacknowledged: the panel may still acknowledge it, late.
    std::optional<Pending> m_unackedUsbWrite;
    Pending m_remoteRead;
    Pending m_remoteWrite;
    bool m_settleAsked = false;
    bool m_filling = false;
    bool m_shown = false;
    bool m_portsListed = false;
    // The stored panel-port choice, once the first show has read it.
    std::optional<int> m_storedCom;
    bool m_dying = false;
    bool m_keysAsked = false;
    bool m_keysRunning = false;
    bool m_samePortLists = false;
    std::unique_ptr<usb::PortWatcher> m_portWatcher;
    // The system's ports as the window opens: asking the system takes milliseconds, so a thread of
    // its own asks once the window is on the screen, and the lists are filled when it answers.
    QStringList m_extraPorts;
    // The first paint has been seen: the port listing and firstPainted() have been asked for.
    bool m_painted = false;
    struct PortListing {
        QStringList names;
        QHash<QString, QString> descriptions;
    };
    std::future<PortListing> m_startListing;
    // Asks the panel list again once a command no longer holds the port.
    QTimer* m_panelPortsAgain = nullptr;

    // The command being waited for, its clock and the tick that refreshes the seconds.
    Waiting m_waiting = Waiting::None;
    QElapsedTimer m_waitClock;
    QTimer* m_waitTick = nullptr;
    bool m_busyCursor = false;
    // The limits of the commands that the watchdog does not bound.
    int m_delayCheckMs = 0;
    int m_remoteWriteMs = 0;

    // The frame the window was last fitted with, and the screen whose available area it follows.
    QMargins m_fittedFrame;
    QPointer<QScreen> m_watchedScreen;

    // Top band.
    QRadioButton* rbtn_Local = nullptr;
    QRadioButton* rbtn_Remote = nullptr;
    QGroupBox* gbox_Local = nullptr;
    QComboBox* ComComboBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QGroupBox* gbox_Remote = nullptr;
    MaskEdit* meRemoteServerIP = nullptr;
    QSpinBox* seRemoteServerPort = nullptr;
    QLabel* stextConfInfo = nullptr;
    QGroupBox* gbox_Conf = nullptr;

    // Identity and remote access strips.
    QFrame* pSerialNum = nullptr;
    QLabel* edSerialNum = nullptr;
    QLabel* edFirmware = nullptr;
    QFrame* pInternet = nullptr;
    QLabel* l_PPKnum = nullptr;
    QSpinBox* seNumPPK = nullptr;
    QLabel* l_Pwd = nullptr;
    QLineEdit* edPwd = nullptr;
    QTabWidget* pcConf = nullptr;
    // Each page's scroll area, in the tab order.
    std::array<QScrollArea*, model::kPageCount> m_pageAreas{};
    // Each page, in its area once it has been opened.
    std::array<QWidget*, model::kPageCount> m_pages{};
    // What a page gets at the window's full height; a lower window scrolls it.
    QSize m_fullPageSize;

    // Network page.
    QLabel* l_CapPPKnum = nullptr;
    QSpinBox* seNumConfPPK = nullptr;
    QLabel* l_password5 = nullptr;
    MaskEdit* edPassword5 = nullptr;
    MaskEdit* meServerIP = nullptr;
    QSpinBox* seServerPort = nullptr;
    QLabel* L_RedIP = nullptr;
    MaskEdit* meRedServerIP = nullptr;
    QLabel* L_RedPort = nullptr;
    QSpinBox* seRedServerPort = nullptr;
    QComboBox* edAPNname = nullptr;
    QComboBox* edAPNname2 = nullptr;
    QPushButton* btnChangePPKNum = nullptr;

    // Users and zones.
    StringGrid* sgUsers = nullptr;
    GridDelegate* m_usersDelegate = nullptr;
    std::array<QComboBox*, model::kZoneCount> cbGr{};
    std::array<QComboBox*, model::kZoneCount> cbType{};
    std::array<QComboBox*, model::kZoneCount> cbStatus{};

    // Parameters.
    QComboBox* cbPPKtype = nullptr;
    MaskEdit* mePwdLevel1 = nullptr;
    QLabel* l_PwdLevel2 = nullptr;
    MaskEdit* mePwdLevel2 = nullptr;
    MaskEdit* meLowLevel = nullptr;
    MaskEdit* meHiLevel = nullptr;
    QSpinBox* seUKworkTime = nullptr;
    QSpinBox* seUKon = nullptr;
    QSpinBox* seUKoff = nullptr;
    QComboBox* cbUKinvert = nullptr;
    std::array<QLabel*, 2> l_Set{};
    QComboBox* cbSet1 = nullptr;
    QComboBox* cbSet2 = nullptr;
    QCheckBox* cbInd1 = nullptr;
    QCheckBox* cbInd2 = nullptr;
    QSpinBox* sePPKDelayTime = nullptr;
    QSpinBox* sePPKDelayTime2 = nullptr;

    // Key reader page.
    QComboBox* ComComboBox2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QComboBox* cbUVIUser = nullptr;
    QPushButton* sbUVIRead = nullptr;
    StringGrid* sgSmartButton = nullptr;
    GridDelegate* m_keysDelegate = nullptr;

    // Commands.
    QPushButton* btnReadConf = nullptr;
    QPushButton* btnWriteConf = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    // What a running command waits for, beside the bar.
    QLabel* stextWaiting = nullptr;

    // Menus.
    QMenu* N1 = nullptr;
    QAction* miOpen = nullptr;
    QAction* miSaveAs = nullptr;
    QAction* N2 = nullptr;
    QMenu* N9 = nullptr;
    QAction* USBCOM1 = nullptr;
    QAction* Internet1 = nullptr;
    QAction* N4 = nullptr;
    QAction* N5 = nullptr;
    QMenu* N10 = nullptr;
    std::array<QAction*, 4> N11_14{};
    QMenu* N15 = nullptr;
    QAction* conf1 = nullptr;
    QMenu* N7 = nullptr;
    QAction* N8 = nullptr;
    QAction* miArchive = nullptr;
    QMenu* miCompare = nullptr;
    QAction* miComparePanel = nullptr;
    QAction* miCompareFile = nullptr;
    QAction* miCompareArchive = nullptr;
    QAction* miVerify = nullptr;
    QAction* miCheck = nullptr;
    QAction* miSheet = nullptr;
    QAction* miJournal = nullptr;
};

} // namespace zorel8z::gui
