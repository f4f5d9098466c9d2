#include "TfrmMain.h"

#include "Artwork.h"
#include "GridDelegate.h"
#include "MaskEdit.h"
#include "Settings.h"
#include "StringGrid.h"

#include "common/Errors.h"
#include "common/Waiting.h"
#include "export/ConfExport.h"
#include "export/ZoneSummary.h"
#include "model/ConfigFile.h"
#include "remote/CurlHttpClient.h"
#include "remote/RemoteMode.h"
#include "rules/Grids.h"
#include "rules/ParamRules.h"
#include "rules/Sequences.h"
#include "rules/ZoneRules.h"
#include "usb/SystemSerialPort.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMoveEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace zorel8z::gui {

using model::PageMark;
using rules::Control;
using rules::Page;

namespace {

// The window's own fills must not run the rules that the user's changes run.
class FillGuard {
  public:
    explicit FillGuard(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~FillGuard() { m_flag = m_old; }

  private:
    bool& m_flag;
    bool m_old;
};

const QChar kEnter(13);

// The client area as designed, below the menu bar, and its parts that move when a low screen makes
// it lower: the configuration group (the pages) gets lower, the command buttons move up.
constexpr int kClientWidth = 794;
constexpr int kClientHeight = 524;
constexpr int kConfTop = 126;
constexpr int kConfHeight = 344;
constexpr int kButtonsTop = 478;
// The pages area keeps at least this much of its height; below it the window no longer shrinks.
constexpr int kMaxShrink = 144;
// How often, and how many times, the window looks for the frame a window manager puts around it.
constexpr int kFrameWatchMs = 100;
constexpr int kFrameWatchLooks = 30;
// How often the seconds of a waiting command are brought up to date.
constexpr int kWaitTickMs = 250;

// The character a key types, as the grids' rules know characters: Enter, Backspace and Escape
// included; Tab, Delete and keys without text (arrows, function keys) type none.
std::optional<QChar> typedChar(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return kEnter;
    if (key->key() == Qt::Key_Backspace)
        return QChar(8);
    if (key->key() == Qt::Key_Escape)
        return QChar(27);
    const QString text = key->text();
    if (text.isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        key->key() == Qt::Key_Delete)
        return std::nullopt;
    return text.at(0);
}

bool within(const QWidget* widget, const QWidget* ancestor) {
    return widget && ancestor && (widget == ancestor || ancestor->isAncestorOf(widget));
}

void setSpin(QSpinBox* box, int value, const QString& text) {
    box->setValue(value);
    // A spin edit the user has emptied keeps its value but shows nothing.
    if (text.isEmpty())
        box->findChild<QLineEdit*>()->clear();
}

void selectIndex(QComboBox* box, int index, bool valid) {
    box->setCurrentIndex(valid ? index : -1);
}

} // namespace

TfrmMain::TfrmMain(WindowOptions options, QWidget* parent) : QMainWindow(parent) {
    // FormCreate: the protocol object, the transports, the commands and the grids' start values.
    if (options.shell) {
        m_shell = options.shell;
    } else {
        m_ownShell = std::make_unique<DesktopShell>(this);
        m_shell = m_ownShell.get();
    }
    m_tap = std::make_unique<TappedShell>(*m_shell);
    m_shell = m_tap.get();
    remote::HttpClient* http = options.http;
    if (!http) {
        m_ownHttp = std::make_unique<remote::CurlHttpClient>();
        http = m_ownHttp.get();
    }
    // Two Qt ports over the same devices list the same ports: the start-up asks the system once.
    m_samePortLists = !options.panelPort && !options.readerPort;
    m_panelPort = options.panelPort ? std::move(options.panelPort)
                                    : std::make_unique<usb::SystemSerialPort>(options.extraPorts);
    m_readerPort = options.readerPort ? std::move(options.readerPort)
                                      : std::make_unique<usb::SystemSerialPort>(options.extraPorts);
    m_watchdog = std::make_unique<usb::CommandWatchdog>(m_state, *m_shell, options.usbTimings.watchdogMs);
    m_usb = std::make_unique<usb::UsbCommands>(m_cfg, m_state, *m_panelPort, *m_shell, *m_watchdog,
                                               options.usbTimings);
    m_keyReader = std::make_unique<usb::KeyReader>(m_cfg, m_state, *m_readerPort, *m_panelPort, *m_shell);
    m_remote = std::make_unique<remote::RemoteCommands>(m_cfg, m_state, *http, *m_shell, *m_watchdog,
                                                        options.remoteTimings);
    m_delayCheckMs = options.usbTimings.delayCheckMs;
    m_remoteWriteMs = options.remoteTimings.writeTimeoutMs;
    m_remoteTimings = options.remoteTimings;
    m_verifier = std::make_unique<usb::WriteVerifier>(*m_usb, m_state, *m_shell, m_delayCheckMs);
    m_copyReader = std::make_unique<usb::PanelReader>(*m_panelPort, m_usb.get(), m_delayCheckMs);
    if (m_samePortLists) {
        m_extraPorts = options.extraPorts;
        // The watcher lists through a port object of its own: the window's belong to the window's thread.
        m_portWatcher = std::make_unique<usb::PortWatcher>(
            [extra = options.extraPorts] { return usb::SystemSerialPort(extra).availablePorts(); });
        connect(m_portWatcher.get(), &usb::PortWatcher::changed, this, &TfrmMain::devicesChanged);
    }
    m_panelPortsAgain = new QTimer(this);
    m_panelPortsAgain->setSingleShot(true);
    m_panelPortsAgain->setInterval(500);
    connect(m_panelPortsAgain, &QTimer::timeout, this, &TfrmMain::panelDevicesChanged);

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(texts::kCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(art::emblemIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(232, 232, 232));
    setPalette(pal);

    buildMenus();
    auto* central = new QWidget;
    central->setObjectName(QStringLiteral("clientArea"));
    central->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(central);
    buildTopBand(central);

    gbox_Conf = new QGroupBox(QStringLiteral("Конфігурація ППК"), central);
    gbox_Conf->setObjectName(QStringLiteral("gbox_Conf"));
    gbox_Conf->setGeometry(8, kConfTop, 778, kConfHeight);
    auto* configLayout = new QVBoxLayout(gbox_Conf);
    configLayout->setContentsMargins(8, 4, 8, 8);
    configLayout->setSpacing(4);

    pSerialNum = new QFrame;
    pSerialNum->setObjectName(QStringLiteral("pSerialNum"));
    auto* serialLayout = new QHBoxLayout(pSerialNum);
    serialLayout->setContentsMargins(0, 0, 0, 0);
    auto identity = [](const QString& name) {
        auto* label = new QLabel;
        label->setObjectName(name);
        label->setAccessibleName(name);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedSize(110, 24);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    edSerialNum = identity(QStringLiteral("edSerialNum"));
    edFirmware = identity(QStringLiteral("edFirmware"));
    serialLayout->addStretch(1);
    serialLayout->addWidget(new QLabel(QStringLiteral("Серійний номер ППК: ")));
    serialLayout->addWidget(edSerialNum);
    serialLayout->addSpacing(40);
    serialLayout->addWidget(new QLabel(QStringLiteral("Прошивка ППК: ")));
    serialLayout->addWidget(edFirmware);
    serialLayout->addStretch(1);
    pSerialNum->setFixedHeight(28);
    configLayout->addWidget(pSerialNum);

    pInternet = new QFrame;
    pInternet->setObjectName(QStringLiteral("pInternet"));
    auto* internetLayout = new QHBoxLayout(pInternet);
    internetLayout->setContentsMargins(0, 0, 0, 0);
    l_PPKnum = new QLabel(QStringLiteral("Номер ППК в ПЦС:"));
    l_PPKnum->setObjectName(QStringLiteral("l_PPKnum"));
    seNumPPK = new QSpinBox;
    seNumPPK->setObjectName(QStringLiteral("seNumPPK"));
    seNumPPK->setAccessibleName(QStringLiteral("seNumPPK"));
    seNumPPK->setRange(0, 999999999);
    seNumPPK->setFixedWidth(120);
    seNumPPK->setAlignment(Qt::AlignRight);
    l_Pwd = new QLabel(QStringLiteral("Пароль віддаленого конфігурування:"));
    l_Pwd->setObjectName(QStringLiteral("l_Pwd"));
    edPwd = new QLineEdit;
    edPwd->setObjectName(QStringLiteral("edPwd"));
    edPwd->setAccessibleName(QStringLiteral("edPwd"));
    edPwd->setMaxLength(model::widths::pwd);
    edPwd->setEchoMode(QLineEdit::Password);
    edPwd->setFixedWidth(100);
    internetLayout->addStretch(1);
    internetLayout->addWidget(l_PPKnum);
    internetLayout->addWidget(seNumPPK);
    internetLayout->addSpacing(30);
    internetLayout->addWidget(l_Pwd);
    internetLayout->addWidget(edPwd);
    internetLayout->addStretch(1);
    pInternet->setFixedHeight(28);
    pInternet->hide();
    configLayout->addWidget(pInternet);

    pcConf = new QTabWidget;
    pcConf->setObjectName(QStringLiteral("pcConf"));
    pcConf->setAccessibleName(QStringLiteral("pcConf"));
    // Five captions with their marks must fit the page control without scroll buttons.
    QFont tabFont = pcConf->font();
    tabFont.setPixelSize(14);
    pcConf->tabBar()->setFont(tabFont);
    const std::array<QWidget*, model::kPageCount> pages = {
        buildNetworkPage(), buildUsersPage(), buildZonesPage(), buildParamsPage(), buildKeysPage()};
    for (int i = 0; i < model::kPageCount; ++i) {
        // Each page scrolls when a low screen leaves the pages area less than the page needs; where
        // there is room it fills the area as it always has, and looks as it always has.
        auto* area = new QScrollArea;
        area->setObjectName(pages[i]->objectName() + QStringLiteral("Scroll"));
        area->setFrameShape(QFrame::NoFrame);
        area->setWidgetResizable(true);
        area->viewport()->setAutoFillBackground(false);
        // A page goes into its area when it is first opened: an area measures its page as soon as
        // it gets it, and every page measured would cost the start a few milliseconds more.
        pages[i]->setParent(area);
        pages[i]->hide();
        m_pages[i] = pages[i];
        m_pageAreas[i] = area;
        pcConf->addTab(area, art::pageMark(PageMark::None), remote::pageCaption(Page(i)));
    }
    attachPage(pcConf->currentIndex());
    connect(pcConf, &QTabWidget::currentChanged, this, &TfrmMain::attachPage);
    configLayout->addWidget(pcConf, 1);

    btnReadConf = new QPushButton(central);
    btnReadConf->setObjectName(QStringLiteral("btnReadConf"));
    btnReadConf->setAccessibleName(QStringLiteral("btnReadConf"));
    btnReadConf->setIcon(art::glyph(art::Glyph::Read));
    btnReadConf->setIconSize(QSize(24, 24));
    btnReadConf->setGeometry(8, kButtonsTop, 360, 40);
    btnWriteConf = new QPushButton(central);
    btnWriteConf->setObjectName(QStringLiteral("btnWriteConf"));
    btnWriteConf->setAccessibleName(QStringLiteral("btnWriteConf"));
    btnWriteConf->setIcon(art::glyph(art::Glyph::Write));
    btnWriteConf->setIconSize(QSize(24, 24));
    btnWriteConf->setGeometry(426, kButtonsTop, 360, 40);
    // While a command runs: what it waits for and the seconds gone, with the marquee bar at the
    // right end of the configuration group's caption row, which is empty otherwise. Over a command
    // button the bar would hide its glyph and caption.
    stextWaiting = new QLabel(central);
    stextWaiting->setObjectName(QStringLiteral("stextWaiting"));
    stextWaiting->setAccessibleName(QStringLiteral("stextWaiting"));
    stextWaiting->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stextWaiting->setGeometry(200, kConfTop, 498, 20);
    stextWaiting->hide();
    ProgressBar1 = new QProgressBar(central);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    // Marquee: neither the panel nor the station gives progress, only an answer at the end.
    ProgressBar1->setRange(0, 0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(706, kConfTop + 2, 80, 16);
    ProgressBar1->hide();
    ProgressBar1->raise();
    m_waitTick = new QTimer(this);
    m_waitTick->setInterval(kWaitTickMs);
    connect(m_waitTick, &QTimer::timeout, this, &TfrmMain::refreshWaiting);

    // Not resizable: the size is the client area's and the menu bar's, whatever the platform.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The grids' start values and the rest of the record as created.
    connectControls();
    fillAll();
    refreshCaptions();
    refreshState();
}

TfrmMain::~TfrmMain() {
    // The child widgets outlive the members by a moment, and hiding them moves the focus: nothing
    // they or the application report may reach this window any more (an open cell editor would
    // otherwise hand its text to a record that is gone).
    m_dying = true;
    // The dialogs go first: a connection check under way holds the panel port and the commands.
    for (QDialog* dialog : findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        delete dialog;
    m_usersDelegate->detach();
    m_keysDelegate->detach();
    sgUsers->onCellChosen(nullptr);
    sgSmartButton->onCellChosen(nullptr);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void TfrmMain::connectControls() {
    // Commands: the menu items run the commands whatever the buttons' state.
    connect(btnReadConf, &QPushButton::clicked, this, &TfrmMain::btnReadConfClick);
    connect(btnWriteConf, &QPushButton::clicked, this, &TfrmMain::btnWriteConfClick);
    connect(N4, &QAction::triggered, this, &TfrmMain::btnReadConfClick);
    connect(N5, &QAction::triggered, this, &TfrmMain::btnWriteConfClick);
    connect(miOpen, &QAction::triggered, this, &TfrmMain::miOpenClick);
    connect(miSaveAs, &QAction::triggered, this, &TfrmMain::miSaveAsClick);
    connect(N2, &QAction::triggered, this, &QWidget::close);
    connect(conf1, &QAction::triggered, this, &TfrmMain::conf1Click);
    connect(N8, &QAction::triggered, this, &TfrmMain::N8Click);
    connect(N1, &QMenu::aboutToShow, this, &TfrmMain::N1Click);
    connect(N9, &QMenu::aboutToShow, this, &TfrmMain::N9Click);
    for (int i = 0; i < 4; ++i)
        connect(N11_14[i], &QAction::triggered, this, [this, i] { showPage(Page(i)); });

    // Modes.
    connect(rbtn_Local, &QRadioButton::clicked, this, &TfrmMain::rbtn_LocalClick);
    connect(rbtn_Remote, &QRadioButton::clicked, this, &TfrmMain::rbtn_RemoteClick);
    connect(USBCOM1, &QAction::triggered, this, [this] {
        rbtn_Local->setChecked(true);
        rbtn_LocalClick();
    });
    connect(Internet1, &QAction::triggered, this, [this] {
        rbtn_Remote->setChecked(true);
        rbtn_RemoteClick();
    });
    connect(pcConf, &QTabWidget::currentChanged, this, &TfrmMain::pcConfChange);
    connect(btnChangePPKNum, &QPushButton::clicked, this, &TfrmMain::btnChangePPKNumClick);
    connect(seNumPPK, &QSpinBox::valueChanged, this, [this](int value) {
        if (m_filling)
            return;
        m_state.seNumPPK = value;
        remote::onNumPPKChanged(m_cfg, m_state, value);
        fillNetwork();
        refreshState();
    });
    connect(edPwd, &QLineEdit::textEdited, this, [this](const QString& text) { m_state.edPwd = text; });
    connect(meRemoteServerIP, &QLineEdit::textEdited, this,
            [this] { m_state.meRemoteServerIP = meRemoteServerIP->fieldText(); });
    connect(seRemoteServerPort, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_filling)
            m_state.seRemoteServerPort = value;
    });

    // Ports.
    connect(ComComboBox1, &QComboBox::activated, this, [this] {
        m_usb->portPicked(ComComboBox1->currentText());
        refreshState();
    });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        const QStringList ports = m_usb->refreshPorts();
        fillPortList(ComComboBox1, *m_panelPort, ports, ports.isEmpty() ? -1 : 0);
    });
    connect(ComComboBox2, &QComboBox::activated, this,
            [this] { m_keyReader->portPicked(ComComboBox2->currentText()); });
    connect(SpeedButton2, &QToolButton::clicked, this, [this] {
        const QStringList ports = m_keyReader->refreshPorts();
        fillPortList(ComComboBox2, *m_readerPort, ports, ports.isEmpty() ? -1 : 0);
    });

    // Network page.
    auto spinField = [this](QSpinBox* box, Control control, int& field) {
        connect(box, &QSpinBox::textChanged, this, [this, box, control, &field] {
            if (m_filling)
                return;
            userEditedSpin(control, box, field);
        });
    };
    spinField(seNumConfPPK, Control::seNumConfPPK, m_cfg.numPPK);
    spinField(seServerPort, Control::seServerPort, m_cfg.serverPort);
    spinField(seRedServerPort, Control::seRedServerPort, m_cfg.redPort);
    spinField(seUKworkTime, Control::seUKworkTime, m_cfg.UKworkTime);
    spinField(seUKon, Control::seUKon, m_cfg.UKon);
    spinField(seUKoff, Control::seUKoff, m_cfg.UKoff);
    spinField(sePPKDelayTime, Control::sePPKDelayTime, m_cfg.timeDelay);
    spinField(sePPKDelayTime2, Control::sePPKDelayTime2, m_cfg.timeDelay2);

    auto textField = [this](MaskEdit* edit, Control control, QString& field) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit, control, &field] {
            // Every position as shown, blanks included: the checks read the fields by position.
            field = edit->fieldText();
            rules::onFieldEdited(m_state, control);
            refreshState();
        });
    };
    textField(meServerIP, Control::meServerIP, m_cfg.serverIP);
    textField(meRedServerIP, Control::meRedServerIP, m_cfg.redIP);
    textField(edPassword5, Control::edPassword5, m_cfg.pwd);
    textField(mePwdLevel1, Control::mePwdLevel1, m_cfg.PwdLev1);
    textField(mePwdLevel2, Control::mePwdLevel2, m_cfg.PwdLev2);
    textField(meLowLevel, Control::meLowLevel, m_cfg.LowLevelV);
    textField(meHiLevel, Control::meHiLevel, m_cfg.HiLevelV);

    auto apnField = [this](QComboBox* box, Control control, QString& field) {
        auto edited = [this, box, control, &field] {
            field = box->currentText();
            rules::onFieldEdited(m_state, control);
            refreshState();
        };
        connect(box->lineEdit(), &QLineEdit::textEdited, this, edited);
        connect(box, &QComboBox::activated, this, edited);
    };
    apnField(edAPNname, Control::edAPNname, m_cfg.apn);
    apnField(edAPNname2, Control::edAPNname2, m_cfg.apn2);

    // Zones: the rules judge the change and may undo it; the page then shows what stands.
    for (int z = 0; z < model::kZoneCount; ++z) {
        connect(cbGr[z], &QComboBox::activated, this, [this, z](int index) {
            m_cfg.lines[z].group = index + 1;
            rules::onZoneGroupChanged(m_cfg, m_state, z + 1, *m_shell);
            fillZones();
            refreshState();
        });
        connect(cbType[z], &QComboBox::activated, this, [this, z](int index) {
            m_cfg.lines[z].type = index;
            rules::onZoneTypeChanged(m_cfg, m_state, z + 1, *m_shell);
            fillZones();
            refreshState();
        });
        connect(cbStatus[z], &QComboBox::activated, this, [this, z](int index) {
            m_cfg.lines[z].modifier = index;
            rules::onZoneModifierChanged(m_cfg, m_state, z + 1, *m_shell);
            fillZones();
            refreshState();
        });
    }

    // Parameters.
    connect(cbPPKtype, &QComboBox::activated, this, [this](int index) {
        if (index == m_cfg.ppkType)
            return;
        m_cfg.ppkType = index;
        rules::onPPKTypeChanged(m_cfg, m_state, *m_shell);
        refreshState();
    });
    connect(cbUKinvert, &QComboBox::activated, this, [this](int index) {
        if (index == m_cfg.UKinvert)
            return;
        m_cfg.UKinvert = index;
        rules::onFieldEdited(m_state, Control::cbUKinvert);
        refreshState();
    });
    auto setInput = [this](QComboBox* box, QCheckBox* tick, int input) {
        connect(box, &QComboBox::activated, this, [this, input](int index) {
            (input == 1 ? m_cfg.Set1 : m_cfg.Set2).group = index;
            rules::onSetInputChanged(m_cfg, m_state, input, *m_shell);
            fillParams();
            refreshState();
        });
        connect(tick, &QCheckBox::clicked, this, [this, input](bool checked) {
            (input == 1 ? m_cfg.Set1 : m_cfg.Set2).indicator = checked;
            rules::onSetIndicatorSwitched(m_cfg, m_state, input);
            fillParams();
            refreshState();
        });
    };
    setInput(cbSet1, cbInd1, 1);
    setInput(cbSet2, cbInd2, 2);

    // Grids: a new cell chosen, or the grid left, brings the cells into shape; a cell chosen does it
    // before the chosen cell's editor opens.
    sgUsers->onCellChosen([this](const QModelIndex&, const QModelIndex&) { normaliseUsers(); });
    sgSmartButton->onCellChosen([this](const QModelIndex& current, const QModelIndex&) {
        requestKeyNormalisation();
        m_state.readerUser = current.row() + 1;
        FillGuard guard(m_filling);
        cbUVIUser->setCurrentIndex(current.row());
    });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        // Only a move to another control of this window leaves a grid: a message box or another
        // window taking the focus for a while does not.
        if (!now || now->window() != this)
            return;
        if (within(old, sgUsers) && !within(now, sgUsers))
            normaliseUsers();
        if (within(old, sgSmartButton) && !within(now, sgSmartButton))
            requestKeyNormalisation();
    });

    // Key reader.
    connect(cbUVIUser, &QComboBox::activated, this, [this](int index) { m_state.readerUser = index + 1; });
    connect(sbUVIRead, &QPushButton::clicked, this, [this](bool down) {
        m_keyReader->setReading(down);
        refreshState();
    });
    connect(m_keyReader.get(), &usb::KeyReader::keyCodeChanged, this, [this](int user) {
        fillKeyCell(user);
        refreshState();
    });
    connect(m_keyReader.get(), &usb::KeyReader::stateChanged, this, &TfrmMain::refreshState);

    // What the commands report.
    connect(m_usb.get(), &usb::UsbCommands::configReplaced, this, &TfrmMain::fillAll);
    connect(m_usb.get(), &usb::UsbCommands::stateChanged, this, &TfrmMain::refreshState);
    connect(m_remote.get(), &remote::RemoteCommands::pageFilled, this, [this] {
        fillAll();
        refreshState();
    });
    connect(m_remote.get(), &remote::RemoteCommands::stateChanged, this, &TfrmMain::refreshState);
    connectExtras();
}

// ---------------------------------------------------------------------------------------------
// Start-up and exit

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // Fitted and placed before it is first mapped, so it starts on the screen.
        if (QWindow* handle = windowHandle())
            connect(handle, &QWindow::screenChanged, this, [this](QScreen* screen) {
                watchScreen(screen);
                fitToScreen();
            });
        watchScreen(screen());
        settlePageSizes();
        fitToScreen();
        placeOnScreen();
        // On X11 the window manager frames the window only after it is mapped, and nothing tells
        // the window when: look for the frame for a while after the first show.
        auto* frameWatch = new QTimer(this);
        frameWatch->setInterval(kFrameWatchMs);
        connect(frameWatch, &QTimer::timeout, this, [this, frameWatch, looks = 0]() mutable {
            if (frameMargins() != m_fittedFrame)
                keepOnScreen();
            if (++looks >= kFrameWatchLooks) {
                frameWatch->stop();
                frameWatch->deleteLater();
            }
        });
        frameWatch->start();
        FormShow();
    }
}

void TfrmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    // A frame that came or changed since the window was fitted (a window manager framing it late)
    // asks for a fit with the real frame. A move by the user leaves the frame as it is.
    if (m_shown && frameMargins() != m_fittedFrame)
        keepOnScreen();
}

// ---------------------------------------------------------------------------------------------
// Small screens

QMargins TfrmMain::frameMargins() const {
    const QWindow* handle = windowHandle();
    return handle ? handle->frameMargins() : QMargins();
}

void TfrmMain::settlePageSizes() {
    // Laid out at full size by now: the window's children are shown before the window itself. The
    // stack lays out only its open page; every page gets that same area.
    m_fullPageSize = pcConf->currentWidget()->size();
    for (int i = 0; i < model::kPageCount; ++i)
        if (m_pageAreas[i]->widget())
            settlePageSize(i);
}

void TfrmMain::settlePageSize(int index) {
    QWidget* page = m_pages[index];
    page->setMinimumSize(page->minimumSizeHint().boundedTo(m_fullPageSize));
}

void TfrmMain::attachPage(int index) {
    if (index < 0 || m_pageAreas[index]->widget())
        return;
    m_pageAreas[index]->setWidget(m_pages[index]);
    // The area would paint the page's background over the window's.
    m_pages[index]->setAutoFillBackground(false);
    if (m_fullPageSize.isValid())
        settlePageSize(index);
}

void TfrmMain::watchScreen(QScreen* screen) {
    if (m_watchedScreen == screen)
        return;
    if (m_watchedScreen)
        disconnect(m_watchedScreen, nullptr, this, nullptr);
    m_watchedScreen = screen;
    // A panel that appears or grows, or another resolution, changes the room the window has.
    if (screen)
        connect(screen, &QScreen::availableGeometryChanged, this, &TfrmMain::keepOnScreen);
}

void TfrmMain::fitToScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    const QMargins frame = frameMargins();
    m_fittedFrame = frame;
    const QWidget* bar = menuWidget();
    const int barHeight = bar ? bar->sizeHint().height() : 0;
    const int room = available.height() - frame.top() - frame.bottom() - barHeight;
    setClientHeight(std::clamp(room, kClientHeight - kMaxShrink, kClientHeight));
}

void TfrmMain::setClientHeight(int height) {
    if (centralWidget()->height() == height && centralWidget()->minimumHeight() == height)
        return;
    const int shrink = kClientHeight - height;
    centralWidget()->setFixedSize(kClientWidth, height);
    gbox_Conf->setGeometry(8, kConfTop, 778, kConfHeight - shrink);
    btnReadConf->move(btnReadConf->x(), kButtonsTop - shrink);
    btnWriteConf->move(btnWriteConf->x(), kButtonsTop - shrink);
    // The window takes its new fixed size now, before it is placed.
    layout()->activate();
}

void TfrmMain::placeOnScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    const QRect available = where->availableGeometry();
    const QMargins frame = frameMargins();
    const QSize outer = size().grownBy(frame);
    // Centred where it fits; where it does not, its top left corner (the menu bar) stays in sight.
    const int x = available.x() + std::max(0, (available.width() - outer.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - outer.height()) / 2);
    move(x, y);
}

void TfrmMain::keepOnScreen() {
    fitToScreen();
    const QScreen* where = screen();
    if (where && !where->availableGeometry().contains(frameGeometry()))
        placeOnScreen();
}

void TfrmMain::FormShow() {
    FillGuard guard(m_filling);
    const StoredSettings stored = readSettings();
    meRemoteServerIP->putText(stored.defaultIP);
    m_state.meRemoteServerIP = meRemoteServerIP->fieldText();
    seRemoteServerPort->setValue(stored.defaultPort);
    m_state.seRemoteServerPort = seRemoteServerPort->value();
    m_storedCom = stored.defaultCom;

    if (!m_samePortLists) {
        const QStringList panelPorts = m_panelPort->availablePorts();
        const QStringList readerPorts = m_readerPort->availablePorts();
        fillPortList(ComComboBox1, *m_panelPort, panelPorts, -1);
        fillPortList(ComComboBox2, *m_readerPort, readerPorts, -1);
        choosePorts(panelPorts, readerPorts);
    } else if (m_startListing.valid() &&
               m_startListing.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        portsListed();
    }
    // Otherwise the system's ports come a moment after the first paint, from the listing thread.

    refreshCaptions();
    applyFileMenuRule();
    rules::TakeZoneSnapshot(m_cfg, m_state);
    refreshState();
}

bool TfrmMain::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // Asking the system for its ports walks hundreds of device files; begun while the window is built,
    // it only competed with building and painting it. Begun once the first paint pass is over.
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        if (m_samePortLists)
            QMetaObject::invokeMethod(this, &TfrmMain::startListing, Qt::QueuedConnection);
        QMetaObject::invokeMethod(this, &TfrmMain::firstPainted, Qt::QueuedConnection);
    }
    return handled;
}

void TfrmMain::startListing() {
    m_startListing = std::async(std::launch::async, [this, extra = m_extraPorts] {
        usb::SystemSerialPort port(extra);
        PortListing listing;
        listing.names = port.availablePorts();
        for (const QString& name : listing.names)
            listing.descriptions.insert(name, port.portDescription(name));
        // The window's destructor waits for this thread, so the window is still there to be told.
        QMetaObject::invokeMethod(
            this, [this] { portsListed(); }, Qt::QueuedConnection);
        return listing;
    });
}

void TfrmMain::portsListed() {
    if (!m_storedCom || !m_startListing.valid())
        return;
    const PortListing listing = m_startListing.get();
    {
        FillGuard guard(m_filling);
        fillPortList(ComComboBox1, listing.names, listing.descriptions, -1);
        fillPortList(ComComboBox2, listing.names, listing.descriptions, -1);
        choosePorts(listing.names, listing.names);
    }
    refreshState();
}

void TfrmMain::choosePorts(const QStringList& panelPorts, const QStringList& readerPorts) {
    const int panelIndex = panelPortIndex(m_storedCom.value_or(0), panelPorts.size());
    ComComboBox1->setCurrentIndex(panelIndex);
    if (panelIndex >= 0)
        m_usb->choosePort(panelPorts[panelIndex]);
    ComComboBox2->setCurrentIndex(readerPorts.size() - 1);
    if (!readerPorts.isEmpty())
        m_keyReader->choosePort(readerPorts.last());
    m_portsListed = true;
    if (m_portWatcher)
        m_portWatcher->start(panelPorts);
}

void TfrmMain::fillPortList(QComboBox* box, const usb::SerialPort& port, const QStringList& ports,
                            int selected) {
    QHash<QString, QString> descriptions;
    for (const QString& name : ports)
        descriptions.insert(name, port.portDescription(name));
    fillPortList(box, ports, descriptions, selected);
}

void TfrmMain::fillPortList(QComboBox* box, const QStringList& ports,
                            const QHash<QString, QString>& descriptions, int selected) {
    FillGuard guard(m_filling);
    box->clear();
    for (const QString& name : ports) {
        box->addItem(name);
        const QString device = descriptions.value(name);
        if (!device.isEmpty())
            box->setItemData(box->count() - 1, device, Qt::ToolTipRole);
    }
    box->setCurrentIndex(selected);
}

void TfrmMain::devicesChanged() {
    const QStringList readerPorts = m_keyReader->devicesChanged();
    fillPortList(ComComboBox2, *m_readerPort, readerPorts,
                 m_keyReader->portChosen() ? int(readerPorts.indexOf(m_readerPort->portName())) : -1);
    panelDevicesChanged();
}

void TfrmMain::panelDevicesChanged() {
    const std::optional<QStringList> ports = m_usb->devicesChanged();
    if (!ports) {
        m_panelPortsAgain->start(); // a command holds the port
        return;
    }
    fillPortList(ComComboBox1, *m_panelPort, *ports,
                 m_state.portSelected ? int(ports->indexOf(m_panelPort->portName())) : -1);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TfrmMain::FormClose() {
    // Closed before the system's ports were listed, the stored choice stays as it was.
    const int com = m_portsListed ? ComComboBox1->currentIndex() : m_storedCom.value_or(-1);
    writeSettings(com, meRemoteServerIP->fieldText(), seRemoteServerPort->value());
}

// ---------------------------------------------------------------------------------------------
// Commands

void TfrmMain::btnReadConfClick() {
    settleKeyCodes();
    if (m_state.mode == rules::Mode::Remote) {
        // A remote command given while one runs does nothing: the one shown goes on.
        const bool wasBusy = m_remote->busy();
        const bool wasIdle = m_state.commandsEnabled && !wasBusy;
        const qsizetype from = m_tap->shown().size();
        m_remote->readCommand();
        if (!wasBusy && m_remote->busy())
            beginWaiting(Waiting::RemoteRead);
        transferGiven(
            m_remoteRead, from, wasIdle, m_remote->busy(),
            journal::stationLink(m_state.meRemoteServerIP, m_state.seRemoteServerPort, m_state.seNumPPK),
            QString::number(int(m_state.openPage) + 1));
    } else {
        // A read given while the delay check of an earlier one runs keeps that check, and its clock.
        const bool checking = m_usb->delayCheckRunning();
        const bool wasIdle = m_state.commandsEnabled && !checking;
        const qsizetype from = m_tap->shown().size();
        m_usb->readCommand();
        if (m_usb->delayCheckRunning() && (!checking || m_waiting != Waiting::UsbRead))
            beginWaiting(Waiting::UsbRead);
        transferGiven(m_usbRead, from, wasIdle, m_usb->delayCheckRunning(),
                      journal::usbLink(m_panelPort->portName()), QStringLiteral("1-5"));
    }
    refreshState();
}

void TfrmMain::btnWriteConfClick() {
    settleKeyCodes();
    if (m_state.mode == rules::Mode::Remote) {
        const bool wasBusy = m_remote->busy();
        const bool wasIdle = m_state.commandsEnabled && !wasBusy;
        const qsizetype from = m_tap->shown().size();
        m_remote->writeCommand();
        if (!wasBusy && m_remote->busy())
            beginWaiting(Waiting::RemoteWrite);
        transferGiven(
            m_remoteWrite, from, wasIdle, m_remote->busy(),
            journal::stationLink(m_state.meRemoteServerIP, m_state.seRemoteServerPort, m_state.seNumPPK),
            QString::number(int(m_state.openPage) + 1));
    } else {
        const bool wasIdle = m_state.commandsEnabled && !m_usb->writing() && !m_verifier->verifying();
        const qsizetype from = m_tap->shown().size();
        // The write command, with the check after it when "Перевіряти після запису" is on.
        if (wasIdle)
            m_unackedUsbWrite.reset();
        m_verifier->writeCommand();
        if (m_usb->writing())
            beginWaiting(Waiting::UsbWrite);
        transferGiven(m_usbWrite, from, wasIdle, m_usb->writing(), journal::usbLink(m_panelPort->portName()),
                      QStringLiteral("1-5"));
        if (m_usbWrite.active && wasIdle)
            m_usbWrite.expectVerify = m_verifier->enabled();
    }
    // The write normalises the addresses and may copy typed passwords: show what stands now.
    fillAll();
    refreshState();
}

void TfrmMain::miOpenClick() {
    settleKeyCodes();
    const QString path = m_shell->askOpenPath(model::configfile::kFilter);
    if (path.isEmpty())
        return;
    const qsizetype from = m_tap->shown().size();
    const bool opened = model::openConfigFile(m_ctl, path, m_cfg, *m_shell);
    if (opened) {
        m_state.retakeFrom(m_cfg);
        fillAll();
    }
    journalFile(journal::op::kOpen, path, opened, from);
}

void TfrmMain::miSaveAsClick() {
    settleKeyCodes();
    if (rules::saveSequence(m_cfg, m_state, *m_shell) == rules::Verdict::Stop)
        return;
    const QString path = m_shell->askSavePath(model::configfile::kFilter, model::configfile::kDefaultName,
                                              model::configfile::kExtension);
    if (path.isEmpty())
        return;
    const qsizetype from = m_tap->shown().size();
    journalFile(journal::op::kSave, path, model::saveConfigFile(m_ctl, path, m_cfg, *m_shell), from);
}

void TfrmMain::conf1Click() {
    settleKeyCodes();
    const QString path = m_shell->askExportPath(texts::kExportFilter);
    if (path.isEmpty())
        return;
    const qsizetype from = m_tap->shown().size();
    bool ok = true;
    try {
        exporting::GetConfFile(path, exporting::GetConfig(m_cfg.lines));
    } catch (const Error& e) {
        ok = false;
        m_shell->showMessage(MsgIcon::Error, e.text());
    }
    journalFile(journal::op::kExport, path, ok, from);
}

void TfrmMain::N1Click() {
    applyFileMenuRule();
}

void TfrmMain::applyFileMenuRule() {
    const bool local = m_state.mode == rules::Mode::Local;
    miOpen->setEnabled(local);
    miSaveAs->setEnabled(local);
    // An archive entry opens as a file does; the panel is compared over USB.
    miArchive->setEnabled(local);
    miComparePanel->setEnabled(local);
}

void TfrmMain::N9Click() {
    USBCOM1->setChecked(m_state.mode == rules::Mode::Local);
    Internet1->setChecked(m_state.mode == rules::Mode::Remote);
}

void TfrmMain::N8Click() {
    const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + texts::kManualFile;
    QString error;
    if (!m_shell->openDocument(path, error))
        m_shell->showMessage(MsgIcon::Error,
                             texts::kManualError + QStringLiteral("\r\n") + texts::kErrorCode + error);
}

void TfrmMain::rbtn_LocalClick() {
    remote::switchToLocal(m_state);
    applyMode();
}

void TfrmMain::rbtn_RemoteClick() {
    remote::switchToRemote(m_cfg, m_state);
    applyMode();
}

void TfrmMain::applyMode() {
    const bool remoteMode = m_state.mode == rules::Mode::Remote;
    pSerialNum->setVisible(!remoteMode);
    pInternet->setVisible(remoteMode);
    gbox_Local->setVisible(!remoteMode);
    gbox_Remote->setVisible(remoteMode);
    stextConfInfo->setText(remoteMode ? remote::msg::kRemoteCaption : remote::msg::kLocalCaption);
    l_password5->setVisible(!remoteMode);
    edPassword5->setVisible(!remoteMode);
    l_CapPPKnum->setText(remoteMode ? remote::msg::kNumConfRemote : remote::msg::kNumConfLocal);
    for (QWidget* w : std::initializer_list<QWidget*>{L_RedIP, L_RedPort, meRedServerIP, seRedServerPort})
        w->setVisible(!remoteMode);
    applyFileMenuRule();
    {
        FillGuard guard(m_filling);
        pcConf->setTabVisible(int(Page::Keys), !remoteMode);
        pcConf->setCurrentIndex(int(m_state.openPage));
    }
    if (rbtn_Remote->isChecked() != remoteMode)
        (remoteMode ? rbtn_Remote : rbtn_Local)->setChecked(true);
    fillIdentity();
    refreshCaptions();
    refreshState();
}

void TfrmMain::pcConfChange(int index) {
    if (index < 0)
        return;
    m_state.openPage = Page(index);
    if (index != int(Page::Keys) && m_keyReader->reading())
        m_keyReader->pageLeft();
    refreshCaptions();
    refreshState();
}

void TfrmMain::showPage(Page page) {
    pcConf->setCurrentIndex(int(page));
}

void TfrmMain::btnChangePPKNumClick() {
    const QString warning = remote::renumberWarning(m_state);
    m_shell->showMessage(MsgIcon::Warning, warning);
    refreshState();
}

// ---------------------------------------------------------------------------------------------
// Fills

void TfrmMain::fillAll() {
    fillNetwork();
    fillUsers();
    fillZones();
    fillParams();
    fillKeys();
    fillIdentity();
}

void TfrmMain::fillIdentity() {
    edSerialNum->setText(m_cfg.serialNumber);
    edFirmware->setText(m_cfg.firmwareVersion);
}

void TfrmMain::fillNetwork() {
    FillGuard guard(m_filling);
    setSpin(seNumConfPPK, m_cfg.numPPK, m_state.spinText(Control::seNumConfPPK, m_cfg.numPPK));
    edPassword5->putText(m_cfg.pwd);
    meServerIP->putText(m_cfg.serverIP);
    setSpin(seServerPort, m_cfg.serverPort, m_state.spinText(Control::seServerPort, m_cfg.serverPort));
    meRedServerIP->putText(m_cfg.redIP);
    setSpin(seRedServerPort, m_cfg.redPort, m_state.spinText(Control::seRedServerPort, m_cfg.redPort));
    edAPNname->setEditText(m_cfg.apn);
    edAPNname2->setEditText(m_cfg.apn2);
    meRemoteServerIP->putText(m_state.meRemoteServerIP);
    seRemoteServerPort->setValue(m_state.seRemoteServerPort);
}

void TfrmMain::fillUsers() {
    FillGuard guard(m_filling);
    for (int row = 0; row < model::kUserCount; ++row) {
        sgUsers->item(row, 1)->setText(m_cfg.users[row].group);
        sgUsers->item(row, 2)->setText(m_cfg.users[row].password);
    }
}

void TfrmMain::fillZones() {
    FillGuard guard(m_filling);
    for (int z = 0; z < model::kZoneCount; ++z) {
        const model::ZoneEntry& zone = m_cfg.lines[z];
        selectIndex(cbGr[z], zone.group - 1, zone.groupValid());
        selectIndex(cbType[z], zone.type, zone.typeValid());
        selectIndex(cbStatus[z], zone.modifier, zone.modifierValid());
    }
}

void TfrmMain::fillParams() {
    FillGuard guard(m_filling);
    selectIndex(cbPPKtype, m_cfg.ppkType, m_cfg.ppkType == 0 || m_cfg.ppkType == 1);
    mePwdLevel1->putText(m_cfg.PwdLev1);
    mePwdLevel2->putText(m_cfg.PwdLev2);
    meLowLevel->putText(m_cfg.LowLevelV);
    meHiLevel->putText(m_cfg.HiLevelV);
    setSpin(seUKworkTime, m_cfg.UKworkTime, m_state.spinText(Control::seUKworkTime, m_cfg.UKworkTime));
    setSpin(seUKon, m_cfg.UKon, m_state.spinText(Control::seUKon, m_cfg.UKon));
    setSpin(seUKoff, m_cfg.UKoff, m_state.spinText(Control::seUKoff, m_cfg.UKoff));
    selectIndex(cbUKinvert, m_cfg.UKinvert, m_cfg.UKinvert == 0 || m_cfg.UKinvert == 1);
    selectIndex(cbSet1, m_cfg.Set1.group, m_cfg.Set1.group >= 0 && m_cfg.Set1.group <= 8);
    selectIndex(cbSet2, m_cfg.Set2.group, m_cfg.Set2.group >= 0 && m_cfg.Set2.group <= 8);
    cbInd1->setChecked(m_cfg.Set1.indicator);
    cbInd2->setChecked(m_cfg.Set2.indicator);
    cbInd1->setVisible(m_state.indicatorVisible[0]);
    cbInd2->setVisible(m_state.indicatorVisible[1]);
    l_Set[0]->setText(m_state.setCaption[0]);
    l_Set[1]->setText(m_state.setCaption[1]);
    setSpin(sePPKDelayTime, m_cfg.timeDelay, m_state.spinText(Control::sePPKDelayTime, m_cfg.timeDelay));
    setSpin(sePPKDelayTime2, m_cfg.timeDelay2, m_state.spinText(Control::sePPKDelayTime2, m_cfg.timeDelay2));
}

void TfrmMain::fillKeys() {
    for (int user = 1; user <= model::kUserCount; ++user)
        fillKeyCell(user);
    FillGuard guard(m_filling);
    cbUVIUser->setCurrentIndex(m_state.readerUser - 1);
}

void TfrmMain::fillKeyCell(int user) {
    FillGuard guard(m_filling);
    sgSmartButton->item(user - 1, 1)->setText(m_cfg.UVICode[user - 1]);
}

void TfrmMain::refreshCaptions() {
    const remote::ButtonCaptions captions = remote::buttonCaptions(m_state);
    btnReadConf->setText(captions.read);
    btnWriteConf->setText(captions.write);
}

void TfrmMain::refreshState() {
    btnReadConf->setEnabled(m_state.commandsEnabled);
    btnWriteConf->setEnabled(m_state.commandsEnabled);
    ComComboBox1->setEnabled(m_state.portListEnabled);
    refreshWaiting();
    btnChangePPKNum->setVisible(m_state.mode == rules::Mode::Remote && m_state.changePPKNumVisible);
    for (int i = 0; i < model::kPageCount; ++i)
        pcConf->setTabIcon(i, art::pageMark(m_state.marks[i]));
    const bool reading = m_keyReader->reading();
    sbUVIRead->setChecked(reading);
    sbUVIRead->setText(m_keyReader->toggleCaption());
    requestSettle();
}

// ---------------------------------------------------------------------------------------------
// Waiting for the panel or the station

void TfrmMain::beginWaiting(Waiting what) {
    // A command that was refused, or has ended already, leaves nothing to wait for.
    if (m_state.commandsEnabled)
        return;
    m_waiting = what;
    m_waitClock.start();
    refreshWaiting();
}

bool TfrmMain::waitingGoesOn() const {
    if (m_state.commandsEnabled)
        return false;
    switch (m_waiting) {
    case Waiting::UsbRead:
        return m_usb->delayCheckRunning();
    case Waiting::UsbWrite:
        return m_usb->writing();
    case Waiting::RemoteRead:
    case Waiting::RemoteWrite:
        return m_remote->busy();
    case Waiting::PanelCopy:
        return m_copyReader->running() || m_verifier->verifying();
    case Waiting::None:
        break;
    }
    return false;
}

void TfrmMain::refreshWaiting() {
    if (m_waiting != Waiting::None && !waitingGoesOn())
        m_waiting = Waiting::None;
    const bool waiting = m_waiting != Waiting::None;
    if (waiting) {
        // Each command against the limit that ends it: a USB read its delay check; a USB write and
        // a remote read the command watchdog, whose own timer tells the time gone (a command given
        // again restarts it); a remote write the time limit of its request.
        qint64 elapsed = m_waitClock.elapsed();
        int limit = m_remoteWriteMs;
        switch (m_waiting) {
        case Waiting::UsbRead:
        case Waiting::PanelCopy:
            limit = m_delayCheckMs;
            break;
        case Waiting::UsbWrite:
        case Waiting::RemoteRead:
            limit = m_watchdog->interval();
            if (m_watchdog->isActive())
                elapsed = limit - m_watchdog->remainingTime();
            break;
        case Waiting::RemoteWrite:
        case Waiting::None:
            break;
        }
        const Peer peer =
            m_waiting == Waiting::UsbRead || m_waiting == Waiting::UsbWrite || m_waiting == Waiting::PanelCopy
                ? Peer::Panel
                : Peer::Station;
        stextWaiting->setText(waitingText(peer, elapsed, limit));
    }
    stextWaiting->setVisible(waiting);
    // The bar serves every command, the USB write's as before.
    ProgressBar1->setVisible(waiting || m_state.progressVisible);
    if (waiting && !m_waitTick->isActive())
        m_waitTick->start();
    else if (!waiting && m_waitTick->isActive())
        m_waitTick->stop();
    if (waiting != m_busyCursor) {
        m_busyCursor = waiting;
        // Busy, not wait: the window stays usable while it waits.
        if (waiting)
            setCursor(Qt::BusyCursor);
        else
            unsetCursor();
    }
}

// ---------------------------------------------------------------------------------------------
// The user's edits

void TfrmMain::userEditedSpin(Control control, QSpinBox* box, int& field) {
    if (box->cleanText().isEmpty()) {
        m_state.blankSpinEdits.insert(control);
    } else {
        m_state.blankSpinEdits.erase(control);
        field = box->value();
    }
    rules::onFieldEdited(m_state, control);
    refreshState();
}

void TfrmMain::usersCellEdited(int row, int column, const QString& text) {
    if (row < 0 || row >= model::kUserCount)
        return;
    if (column == 1)
        m_cfg.users[row].group = text;
    else if (column == 2)
        m_cfg.users[row].password = text;
    m_state.markEdited(Page::Users);
    fillUsers();
    refreshState();
}

void TfrmMain::keyCellEdited(int row, const QString& text) {
    if (row < 0 || row >= model::kUserCount)
        return;
    m_cfg.UVICode[row] = text;
    m_state.markEdited(Page::Keys);
    fillKeyCell(row + 1);
    refreshState();
}

bool TfrmMain::usersKeyTyped(QKeyEvent* key) {
    const std::optional<QChar> c = typedChar(key);
    if (!c)
        return false;
    // Every character marks the page, Backspace too; Enter also brings the cells into shape.
    rules::onUsersKeyPress(m_cfg, m_state, *c);
    if (*c == kEnter)
        fillUsers();
    refreshState();
    return false;
}

bool TfrmMain::keysKeyTyped(QKeyEvent* key) {
    // A paste would bring in characters no key typed; like every discarded key it marks the page.
    if (key->matches(QKeySequence::Paste)) {
        m_state.markEdited(Page::Keys);
        refreshState();
        return true;
    }
    const std::optional<QChar> c = typedChar(key);
    if (!c)
        return false;
    // Enter and Escape end the edit: the editor must see them. Enter also brings the codes into
    // shape, once its key has been handled.
    if (*c == kEnter || key->key() == Qt::Key_Escape) {
        m_state.markEdited(Page::Keys);
        if (*c == kEnter)
            requestKeyNormalisation();
        refreshState();
        return false;
    }
    // Editing shortcuts (select all, copy, undo) stay the editor's own.
    if (key->modifiers() & Qt::ControlModifier) {
        m_state.markEdited(Page::Keys);
        refreshState();
        return false;
    }
    // Lower-case letters count as the upper-case ones the editor turns them into.
    const bool kept = rules::onKeyCodesKeyPress(m_cfg, m_state, c->toUpper(), *m_shell);
    refreshState();
    return !kept;
}

void TfrmMain::normaliseUsers() {
    if (m_filling || m_dying)
        return;
    rules::NormalizeUserCells(m_cfg, m_state);
    fillUsers();
}

void TfrmMain::requestKeyNormalisation() {
    if (m_dying || m_keysAsked)
        return;
    m_keysAsked = true;
    QMetaObject::invokeMethod(this, &TfrmMain::settleKeyCodes, Qt::QueuedConnection);
}

void TfrmMain::settleKeyCodes() {
    // A run under way (its box open) finishes first; whatever was asked meanwhile runs after it.
    if (!m_keysAsked || m_keysRunning || m_dying)
        return;
    m_keysAsked = false;
    // A closed window shows no boxes: its record is about to go.
    if (!isVisible())
        return;
    m_keysRunning = true;
    rules::NormalizeKeyCodes(m_cfg, *m_shell);
    m_keysRunning = false;
    fillKeys();
    refreshState();
    if (m_keysAsked) {
        m_keysAsked = false;
        requestKeyNormalisation();
    }
}

} // namespace zorel8z::gui

// The texts declared in TfrmMain.h: defined once here, not in every file that includes it.
namespace zorel8z::gui::texts {

const QString kCaption = QStringLiteral("Конфігуратор ППК \"Зорел-8Z\" v 1.3.7");
const QString kManualFile = QStringLiteral("Conf8Z_manual.pdf");
const QString kManualError = QStringLiteral("Не має доступу до файла Conf8Z_manual.pdf.");
const QString kErrorCode = QStringLiteral("Код помилки : ");
const QString kExportFilter = QStringLiteral("conf (*.conf)");
const QString kRefreshHint = QStringLiteral("Оновити список");

} // namespace zorel8z::gui::texts
