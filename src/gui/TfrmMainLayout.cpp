// Building the main window's controls. Behaviour lives in TfrmMain.cpp.
#include "Artwork.h"
#include "ExtrasDialogs.h"
#include "GridDelegate.h"
#include "MaskEdit.h"
#include "StringGrid.h"
#include "TfrmMain.h"

#include "model/ApnPresets.h"
#include "model/SaveCheck.h"
#include "remote/RemoteMode.h"
#include "rules/Grids.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zorel8z::gui {

using rules::Page;

namespace {

template <typename W> W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    widget->setAccessibleName(name);
    return widget;
}

QLabel* caption(const QString& text, QWidget* parent = nullptr) {
    return new QLabel(text, parent);
}

QSpinBox* spin(const QString& name, int min, int max, int width = 90) {
    auto* box = named(new QSpinBox, name);
    box->setRange(min, max);
    box->setFixedWidth(width);
    box->setAlignment(Qt::AlignRight);
    return box;
}

MaskEdit* maskEdit(const QString& name, const QString& mask, int width) {
    auto* edit = named(new MaskEdit(mask), name);
    edit->setFixedWidth(width);
    return edit;
}

QComboBox* list(const QString& name, const QStringList& items, int width = -1) {
    auto* box = named(new QComboBox, name);
    box->addItems(items);
    if (width > 0)
        box->setFixedWidth(width);
    return box;
}

// An APN as typed: what the panel's block can carry, up to its width. Refused outright, never
// "intermediate": no character typed later makes a wrong one right.
class ApnValidator : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return input.size() <= model::widths::apn && model::isApnText(input) ? Acceptable : Invalid;
    }
};

QGridLayout* grid(QWidget* parent, int margin = 8) {
    auto* layout = new QGridLayout(parent);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(6);
    return layout;
}

// The grids' heads are long for their columns.
void smallHeader(StringGrid* grid) {
    grid->setHeadPixelSize(13);
}

} // namespace

void TfrmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    N1 = named(bar->addMenu(QStringLiteral("Файл")), QStringLiteral("N1"));
    miOpen = N1->addAction(art::glyph(art::Glyph::Open), QStringLiteral("Відкрити"));
    miOpen->setObjectName(QStringLiteral("miOpen"));
    miOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    miSaveAs = N1->addAction(art::glyph(art::Glyph::Save), QStringLiteral("Зберегти як..."));
    miSaveAs->setObjectName(QStringLiteral("miSaveAs"));
    miSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    miSaveAs->setEnabled(false);
    miArchive = N1->addAction(art::glyph(art::Glyph::Open), texts::kMenuArchive);
    miArchive->setObjectName(QStringLiteral("miArchive"));
    N1->addSeparator()->setObjectName(QStringLiteral("N6"));
    N2 = N1->addAction(art::glyph(art::Glyph::Exit), QStringLiteral("Вихід"));
    N2->setObjectName(QStringLiteral("N2"));

    N9 = named(bar->addMenu(QStringLiteral("Зв'язок")), QStringLiteral("N9"));
    USBCOM1 = N9->addAction(art::glyph(art::Glyph::Usb), QStringLiteral("USB/COM порт"));
    USBCOM1->setObjectName(QStringLiteral("USBCOM1"));
    USBCOM1->setCheckable(true);
    Internet1 = N9->addAction(art::glyph(art::Glyph::Internet), QStringLiteral("Internet"));
    Internet1->setObjectName(QStringLiteral("Internet1"));
    Internet1->setCheckable(true);
    N9->addSeparator()->setObjectName(QStringLiteral("N3"));
    N4 = N9->addAction(art::glyph(art::Glyph::Read), QStringLiteral("Читати конфігурацію"));
    N4->setObjectName(QStringLiteral("N4"));
    N4->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    N5 = N9->addAction(art::glyph(art::Glyph::Write), QStringLiteral("Записати конфігурацію"));
    N5->setObjectName(QStringLiteral("N5"));
    N5->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    N9->addSeparator();
    miVerify = N9->addAction(texts::kMenuVerify);
    miVerify->setObjectName(QStringLiteral("miVerify"));
    miVerify->setCheckable(true);
    miCheck = N9->addAction(texts::kMenuCheck);
    miCheck->setObjectName(QStringLiteral("miCheck"));

    N10 = named(bar->addMenu(QStringLiteral("Навігація")), QStringLiteral("N10"));
    const Qt::Key keys[4] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4};
    for (int i = 0; i < 4; ++i) {
        N11_14[i] = N10->addAction(art::glyph(art::Glyph::Page), remote::pageCaption(Page(i)));
        N11_14[i]->setObjectName(QStringLiteral("N1%1").arg(i + 1));
        N11_14[i]->setShortcut(QKeySequence(keys[i]));
    }

    N15 = named(bar->addMenu(QStringLiteral("Експорт")), QStringLiteral("N15"));
    conf1 = N15->addAction(art::glyph(art::Glyph::Export), QStringLiteral("Експортувати в *.conf"));
    conf1->setObjectName(QStringLiteral("conf1"));
    miSheet = N15->addAction(art::glyph(art::Glyph::Export), texts::kMenuSheet);
    miSheet->setObjectName(QStringLiteral("miSheet"));

    miCompare = named(bar->addMenu(texts::kMenuCompare), QStringLiteral("miCompare"));
    miComparePanel = miCompare->addAction(art::glyph(art::Glyph::Read), texts::kMenuComparePanel);
    miComparePanel->setObjectName(QStringLiteral("miComparePanel"));
    miCompareFile = miCompare->addAction(art::glyph(art::Glyph::Open), texts::kMenuCompareFile);
    miCompareFile->setObjectName(QStringLiteral("miCompareFile"));
    miCompareArchive = miCompare->addAction(art::glyph(art::Glyph::Open), texts::kMenuCompareArchive);
    miCompareArchive->setObjectName(QStringLiteral("miCompareArchive"));

    N7 = named(bar->addMenu(QStringLiteral("Допомога")), QStringLiteral("N7"));
    N8 = N7->addAction(art::glyph(art::Glyph::Help), QStringLiteral("Файл справки"));
    N8->setObjectName(QStringLiteral("N8"));
    N8->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    miJournal = N7->addAction(texts::kMenuJournal);
    miJournal->setObjectName(QStringLiteral("miJournal"));

    // The shortcuts work wherever the focus is in the window, also while the buttons are disabled.
    for (QAction* a : {miOpen, miSaveAs, N4, N5, N11_14[0], N11_14[1], N11_14[2], N11_14[3], N8})
        a->setShortcutContext(Qt::WindowShortcut);
}

QWidget* TfrmMain::buildTopBand(QWidget* central) {
    auto* emblem = named(new QLabel(central), QStringLiteral("Image1"));
    emblem->setGeometry(8, 4, 128, 100);
    emblem->setPixmap(art::emblem(QSize(128, 100)));

    auto* access =
        named(new QGroupBox(QStringLiteral("Тип доступу до ППК"), central), QStringLiteral("gbox_Access"));
    access->setGeometry(146, 6, 196, 94);
    auto* accessLayout = new QVBoxLayout(access);
    rbtn_Local = named(new QRadioButton(QStringLiteral("USB/COM порт")), QStringLiteral("rbtn_Local"));
    rbtn_Remote = named(new QRadioButton(QStringLiteral("Internet")), QStringLiteral("rbtn_Remote"));
    rbtn_Local->setChecked(true);
    accessLayout->addWidget(rbtn_Local);
    accessLayout->addWidget(rbtn_Remote);

    gbox_Local = named(new QGroupBox(QStringLiteral("Налаштування доступу до ППК"), central),
                       QStringLiteral("gbox_Local"));
    gbox_Local->setGeometry(352, 6, 434, 94);
    auto* localLayout = grid(gbox_Local);
    localLayout->addWidget(caption(QStringLiteral("COM порт драйверу ППК:")), 0, 0);
    ComComboBox1 = named(new QComboBox, QStringLiteral("ComComboBox1"));
    ComComboBox1->setMinimumWidth(150);
    localLayout->addWidget(ComComboBox1, 0, 1);
    SpeedButton1 = named(new QToolButton, QStringLiteral("SpeedButton1"));
    SpeedButton1->setIcon(art::glyph(art::Glyph::Refresh));
    SpeedButton1->setToolTip(texts::kRefreshHint);
    localLayout->addWidget(SpeedButton1, 0, 2);
    localLayout->setColumnStretch(1, 1);

    gbox_Remote = named(new QGroupBox(QStringLiteral("TCP/IP адреса серверу ПЦС"), central),
                        QStringLiteral("gbox_Remote"));
    gbox_Remote->setGeometry(352, 6, 434, 94);
    auto* remoteLayout = grid(gbox_Remote);
    remoteLayout->addWidget(caption(QStringLiteral("IP адреса:")), 0, 0);
    meRemoteServerIP = maskEdit(QStringLiteral("meRemoteServerIP"), rules::masks::kRemoteServerIP, 150);
    meRemoteServerIP->setAlignment(Qt::AlignCenter);
    remoteLayout->addWidget(meRemoteServerIP, 0, 1);
    remoteLayout->addWidget(caption(QStringLiteral("Порт:")), 0, 2);
    seRemoteServerPort = spin(QStringLiteral("seRemoteServerPort"), 0, 65536, 90);
    remoteLayout->addWidget(seRemoteServerPort, 0, 3);
    remoteLayout->setColumnStretch(4, 1);
    gbox_Remote->hide();

    auto* line = named(new QFrame(central), QStringLiteral("Bevel1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, 112, 778, 4);
    stextConfInfo = named(new QLabel(remote::msg::kLocalCaption, central), QStringLiteral("stextConfInfo"));
    stextConfInfo->setAlignment(Qt::AlignCenter);
    stextConfInfo->setAutoFillBackground(true);
    QFont bold = stextConfInfo->font();
    bold.setBold(true);
    stextConfInfo->setFont(bold);
    stextConfInfo->setGeometry(267, 103, 260, 22);
    return central;
}

QWidget* TfrmMain::buildNetworkPage() {
    auto* page = named(new QWidget, QStringLiteral("TabSheetNetSettings"));
    auto* layout = grid(page, 10);

    auto* left = new QWidget;
    auto* leftLayout = grid(left, 0);
    l_CapPPKnum = named(caption(remote::msg::kNumConfLocal), QStringLiteral("l_CapPPKnum"));
    leftLayout->addWidget(l_CapPPKnum, 0, 0);
    seNumConfPPK =
        spin(QStringLiteral("seNumConfPPK"), model::ranges::numPPK.min, model::ranges::numPPK.max, 100);
    leftLayout->addWidget(seNumConfPPK, 0, 1);
    l_password5 =
        named(caption(QStringLiteral("Пароль віддаленого конфігурування:")), QStringLiteral("l_password5"));
    leftLayout->addWidget(l_password5, 1, 0);
    edPassword5 = maskEdit(QStringLiteral("edPassword5"), rules::masks::kPassword5, 100);
    leftLayout->addWidget(edPassword5, 1, 1);

    auto* sims = named(new QGroupBox(QStringLiteral("Параметри SIM карт")), QStringLiteral("gbox_SIM"));
    auto* simLayout = grid(sims);
    auto apnBox = [&](const QString& name) {
        auto* box = list(name, model::apnPresets(), 230);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setMaxLength(model::widths::apn);
        box->lineEdit()->setValidator(new ApnValidator(box));
        box->setCurrentIndex(-1);
        box->setEditText(QString());
        return box;
    };
    edAPNname = apnBox(QStringLiteral("edAPNname"));
    edAPNname2 = apnBox(QStringLiteral("edAPNname2"));
    edAPNname2->setMaxVisibleItems(7);
    simLayout->addWidget(caption(QStringLiteral("APN (SIM1):")), 0, 0);
    simLayout->addWidget(edAPNname, 0, 1);
    simLayout->addWidget(caption(QStringLiteral("APN (SIM2):")), 1, 0);
    simLayout->addWidget(edAPNname2, 1, 1);
    leftLayout->addWidget(sims, 2, 0, 1, 2);
    btnChangePPKNum = named(new QPushButton(QStringLiteral("Перепрограмувати номер ППК для ПЦС")),
                            QStringLiteral("btnChangePPKNum"));
    btnChangePPKNum->hide();
    leftLayout->addWidget(btnChangePPKNum, 3, 0, 1, 2);
    leftLayout->setRowStretch(4, 1);

    auto* servers = named(new QGroupBox(QStringLiteral("Адреса серверу ПЦС")), QStringLiteral("gbox_Server"));
    auto* serverLayout = grid(servers);
    meServerIP = maskEdit(QStringLiteral("meServerIP"), rules::masks::kServerIP, 150);
    meServerIP->setAlignment(Qt::AlignCenter);
    seServerPort = spin(QStringLiteral("seServerPort"), model::ranges::port.min, model::ranges::port.max);
    meRedServerIP = maskEdit(QStringLiteral("meRedServerIP"), rules::masks::kRedServerIP, 150);
    meRedServerIP->setAlignment(Qt::AlignCenter);
    seRedServerPort =
        spin(QStringLiteral("seRedServerPort"), model::ranges::port.min, model::ranges::port.max);
    L_RedIP = named(caption(QStringLiteral("Резервний IP:")), QStringLiteral("L_RedIP"));
    L_RedPort = named(caption(QStringLiteral("Резервний порт:")), QStringLiteral("L_RedPort"));
    serverLayout->addWidget(caption(QStringLiteral("Основний IP:")), 0, 0);
    serverLayout->addWidget(meServerIP, 0, 1);
    serverLayout->addWidget(caption(QStringLiteral("Основний порт:")), 1, 0);
    serverLayout->addWidget(seServerPort, 1, 1);
    serverLayout->addWidget(L_RedIP, 2, 0);
    serverLayout->addWidget(meRedServerIP, 2, 1);
    serverLayout->addWidget(L_RedPort, 3, 0);
    serverLayout->addWidget(seRedServerPort, 3, 1);
    serverLayout->setRowStretch(4, 1);

    layout->addWidget(left, 0, 0);
    layout->addWidget(servers, 0, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    return page;
}

QWidget* TfrmMain::buildUsersPage() {
    auto* page = named(new QWidget, QStringLiteral("TabSheetUsers"));
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    auto* rules = new QVBoxLayout;
    for (const char* text : {"0000 - неактивний пароль.", "паролі не починаються з 0",
                             "максимальний пароль - 9998", "пароль з примусу - ****+1"})
        rules->addWidget(caption(QString::fromUtf8(text)));
    rules->addStretch(1);
    layout->addLayout(rules);
    layout->addSpacing(20);

    sgUsers = named(new StringGrid(model::kUserCount, 3), QStringLiteral("sgUsers"));
    sgUsers->setHorizontalHeaderLabels(
        {QStringLiteral("№ п/п"), QStringLiteral("Група(1-8)"), QStringLiteral("Пароль")});
    sgUsers->verticalHeader()->hide();
    sgUsers->verticalHeader()->setDefaultSectionSize(22);
    sgUsers->setColumnWidth(0, 55);
    sgUsers->setColumnWidth(1, 85);
    sgUsers->setColumnWidth(2, 75);
    sgUsers->setSelectionMode(QAbstractItemView::SingleSelection);
    sgUsers->setEditTriggers(QAbstractItemView::AllEditTriggers);
    sgUsers->setFixedWidth(55 + 85 + 75 + 24);
    sgUsers->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    smallHeader(sgUsers);
    for (int row = 0; row < model::kUserCount; ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        sgUsers->setItem(row, 0, number);
        for (int column = 1; column <= 2; ++column) {
            auto* cell = new QTableWidgetItem;
            cell->setTextAlignment(Qt::AlignCenter);
            sgUsers->setItem(row, column, cell);
        }
    }
    GridDelegate::Hooks hooks;
    hooks.maskOf = [](int column) { return rules::usersEditMask(column); };
    hooks.started = [this](int, int, const QString& text) { rules::onUsersEditStart(m_state, text); };
    hooks.edited = [this](int row, int column, const QString& text) { usersCellEdited(row, column, text); };
    hooks.keyTyped = [this](QKeyEvent* key) { return usersKeyTyped(key); };
    m_usersDelegate = new GridDelegate(std::move(hooks), false, sgUsers);
    auto* delegate = m_usersDelegate;
    sgUsers->setItemDelegate(delegate);
    layout->addWidget(sgUsers);
    layout->addStretch(1);
    return page;
}

QWidget* TfrmMain::buildZonesPage() {
    auto* page = named(new QWidget, QStringLiteral("TabSheetLines"));
    auto* layout = grid(page, 10);
    layout->setVerticalSpacing(3);
    const QStringList heads = {QStringLiteral("Шлейф"), QStringLiteral("Група"), QStringLiteral("Тип шлейфу"),
                               QStringLiteral("Модифікатор")};
    for (int c = 0; c < heads.size(); ++c) {
        auto* head = caption(heads[c]);
        QFont f = head->font();
        f.setUnderline(true);
        head->setFont(f);
        layout->addWidget(head, 0, c, c == 0 ? Qt::AlignCenter : Qt::AlignLeft);
    }
    QStringList groups;
    for (int g = 1; g <= 8; ++g)
        groups << QString::number(g);
    const QStringList types = {QStringLiteral("Нормальний"), QStringLiteral("Цілодобовий"),
                               QStringLiteral("Точка входу/Шлях виходу"),
                               QStringLiteral("Шлях входу/виходу")};
    const QStringList modifiers = {QStringLiteral("Без змін"), QStringLiteral("Тривожна кнопка"),
                                   QStringLiteral("Тихий"),    QStringLiteral("Обхід"),
                                   QStringLiteral("Вимкнено"), QStringLiteral("Без включення UK1"),
                                   QStringLiteral("Пожежний")};
    for (int z = 0; z < model::kZoneCount; ++z) {
        layout->addWidget(caption(QStringLiteral("%1.").arg(z + 1)), z + 1, 0, Qt::AlignCenter);
        cbGr[z] = list(QStringLiteral("cbGr%1").arg(z + 1), groups, 70);
        cbType[z] = list(QStringLiteral("cbType%1").arg(z + 1), types, 250);
        cbStatus[z] = list(QStringLiteral("cbStatus%1").arg(z + 1), modifiers, 220);
        layout->addWidget(cbGr[z], z + 1, 1);
        layout->addWidget(cbType[z], z + 1, 2);
        layout->addWidget(cbStatus[z], z + 1, 3);
    }
    layout->setColumnMinimumWidth(0, 60);
    layout->setColumnStretch(4, 1);
    layout->setRowStretch(model::kZoneCount + 1, 1);
    return page;
}

QWidget* TfrmMain::buildParamsPage() {
    auto* page = named(new QWidget, QStringLiteral("TabSheetParams"));
    auto* layout = grid(page, 10);

    auto* left = new QWidget;
    auto* leftLayout = grid(left, 0);
    leftLayout->addWidget(caption(QStringLiteral("Тип застосування ППК : ")), 0, 0);
    cbPPKtype = list(QStringLiteral("cbPPKtype"),
                     {QStringLiteral("Автономний"), QStringLiteral("Робота на ПЦС")}, 150);
    leftLayout->addWidget(cbPPKtype, 1, 0);
    auto* pwds =
        named(new QGroupBox(QStringLiteral("Пароль рівня доступу")), QStringLiteral("gbox_PwdLevel"));
    auto* pwdLayout = grid(pwds);
    pwdLayout->addWidget(caption(QStringLiteral("Адміністратор :")), 0, 0);
    mePwdLevel1 = maskEdit(QStringLiteral("mePwdLevel1"), rules::masks::kFiveDigits, 80);
    pwdLayout->addWidget(mePwdLevel1, 0, 1);
    l_PwdLevel2 = named(caption(QStringLiteral("Інженер :")), QStringLiteral("l_PwdLevel2"));
    mePwdLevel2 = maskEdit(QStringLiteral("mePwdLevel2"), rules::masks::kFiveDigits, 80);
    pwdLayout->addWidget(l_PwdLevel2, 1, 0);
    pwdLayout->addWidget(mePwdLevel2, 1, 1);
    l_PwdLevel2->hide();
    mePwdLevel2->hide();
    leftLayout->addWidget(pwds, 2, 0);
    leftLayout->setRowStretch(3, 1);

    auto* inner = named(new QTabWidget, QStringLiteral("pcParams"));

    auto* battery = named(new QWidget, QStringLiteral("TabSheetAKB"));
    auto* batteryLayout = grid(battery);
    meLowLevel = maskEdit(QStringLiteral("meLowLevel"), rules::masks::kFiveDigits, 80);
    meHiLevel = maskEdit(QStringLiteral("meHiLevel"), rules::masks::kFiveDigits, 80);
    batteryLayout->addWidget(caption(QStringLiteral("Нижній рівень заряду <= ")), 0, 0);
    batteryLayout->addWidget(meLowLevel, 0, 1);
    batteryLayout->addWidget(caption(QStringLiteral("мВ")), 0, 2);
    batteryLayout->addWidget(caption(QStringLiteral("Верхній рівень заряду >= ")), 1, 0);
    batteryLayout->addWidget(meHiLevel, 1, 1);
    batteryLayout->addWidget(caption(QStringLiteral("мВ")), 1, 2);
    batteryLayout->setRowStretch(2, 1);
    batteryLayout->setColumnStretch(3, 1);
    inner->addTab(battery, QStringLiteral("АКБ"));

    auto* uk = named(new QWidget, QStringLiteral("TabSheetUK1"));
    auto* ukLayout = grid(uk);
    seUKworkTime = spin(QStringLiteral("seUKworkTime"), model::ranges::UKworkTime.min,
                        model::ranges::UKworkTime.max, 70);
    seUKon = spin(QStringLiteral("seUKon"), model::ranges::UKon.min, model::ranges::UKon.max, 70);
    seUKoff = spin(QStringLiteral("seUKoff"), model::ranges::UKoff.min, model::ranges::UKoff.max, 70);
    cbUKinvert = list(QStringLiteral("cbUKinvert"),
                      {QStringLiteral("Не встановлено"), QStringLiteral("Встановлено")}, 150);
    ukLayout->addWidget(caption(QStringLiteral("Час роботи виходу UK1 і реле K1: ")), 0, 0);
    ukLayout->addWidget(seUKworkTime, 0, 1);
    ukLayout->addWidget(caption(QStringLiteral("хв")), 0, 2);
    ukLayout->addWidget(caption(QStringLiteral("Час вмикання виходу UK1 : ")), 1, 0);
    ukLayout->addWidget(seUKon, 1, 1);
    ukLayout->addWidget(caption(QStringLiteral("с")), 1, 2);
    ukLayout->addWidget(caption(QStringLiteral("Час вимикання виходу UK1 : ")), 2, 0);
    ukLayout->addWidget(seUKoff, 2, 1);
    ukLayout->addWidget(caption(QStringLiteral("с")), 2, 2);
    ukLayout->addWidget(caption(QStringLiteral("Інверсія роботи виходу UK1 : ")), 3, 0);
    ukLayout->addWidget(cbUKinvert, 3, 1, 1, 2);
    ukLayout->setRowStretch(4, 1);
    ukLayout->setColumnStretch(3, 1);
    inner->addTab(uk, QStringLiteral("Вихід \"UK1\""));

    auto* sets = named(new QWidget, QStringLiteral("TabSheetSET"));
    auto* setLayout = grid(sets);
    QStringList setItems = {QStringLiteral("Не призначено")};
    for (int g = 1; g <= 8; ++g)
        setItems << QStringLiteral("Група %1").arg(g);
    cbSet1 = list(QStringLiteral("cbSet1"), setItems, 150);
    cbSet2 = list(QStringLiteral("cbSet2"), setItems, 150);
    cbInd1 = named(new QCheckBox(QStringLiteral("Індикатор")), QStringLiteral("cbInd1"));
    cbInd2 = named(new QCheckBox(QStringLiteral("Індикатор")), QStringLiteral("cbInd2"));
    cbInd1->hide();
    cbInd2->hide();
    l_Set[0] = named(caption(rules::msg::kSet1Indicator), QStringLiteral("l_Set1"));
    l_Set[1] = named(caption(rules::msg::kSet2Indicator), QStringLiteral("l_Set2"));
    // Room for the longer of the two captions, so switching them moves nothing.
    l_Set[0]->setMinimumWidth(l_Set[0]->sizeHint().width());
    l_Set[0]->setText(rules::msg::kSet1Input);
    l_Set[1]->setText(rules::msg::kSet2Input);
    setLayout->addWidget(l_Set[0], 0, 0);
    setLayout->addWidget(cbSet1, 0, 1);
    setLayout->addWidget(cbInd1, 0, 2);
    setLayout->addWidget(l_Set[1], 1, 0);
    setLayout->addWidget(cbSet2, 1, 1);
    setLayout->addWidget(cbInd2, 1, 2);
    setLayout->setRowStretch(2, 1);
    setLayout->setColumnStretch(3, 1);
    inner->addTab(sets, QStringLiteral("Входи \"SET\""));

    auto* delays = named(new QWidget, QStringLiteral("TabSheetDelay"));
    auto* delayLayout = grid(delays);
    sePPKDelayTime = spin(QStringLiteral("sePPKDelayTime"), model::ranges::timeDelay.min,
                          model::ranges::timeDelay.max, 70);
    sePPKDelayTime2 = spin(QStringLiteral("sePPKDelayTime2"), model::ranges::timeDelay.min,
                           model::ranges::timeDelay.max, 70);
    delayLayout->addWidget(caption(QStringLiteral("Час затримки на вхід/вихід груп 1-4 : ")), 0, 0);
    delayLayout->addWidget(sePPKDelayTime, 0, 1);
    delayLayout->addWidget(caption(QStringLiteral("с")), 0, 2);
    delayLayout->addWidget(caption(QStringLiteral("Час затримки на вхід/вихід груп 5-8 : ")), 1, 0);
    delayLayout->addWidget(sePPKDelayTime2, 1, 1);
    delayLayout->addWidget(caption(QStringLiteral("с")), 1, 2);
    delayLayout->setRowStretch(2, 1);
    delayLayout->setColumnStretch(3, 1);
    inner->addTab(delays, QStringLiteral("Час затримки на вхід/вихід"));

    layout->addWidget(left, 0, 0);
    layout->addWidget(inner, 0, 1);
    layout->setColumnStretch(1, 1);
    return page;
}

QWidget* TfrmMain::buildKeysPage() {
    auto* page = named(new QWidget, QStringLiteral("TabSheetUVIRead"));
    auto* layout = new QHBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);

    auto* left = new QVBoxLayout;
    auto* portBox =
        named(new QGroupBox(QStringLiteral("COM порт Зорел УВИ чи QKL:")), QStringLiteral("gbox_UVIPort"));
    auto* portLayout = new QHBoxLayout(portBox);
    ComComboBox2 = named(new QComboBox, QStringLiteral("ComComboBox2"));
    ComComboBox2->setMinimumWidth(120);
    SpeedButton2 = named(new QToolButton, QStringLiteral("SpeedButton2"));
    SpeedButton2->setIcon(art::glyph(art::Glyph::Refresh));
    SpeedButton2->setToolTip(texts::kRefreshHint);
    portLayout->addWidget(ComComboBox2, 1);
    portLayout->addWidget(SpeedButton2);
    left->addWidget(portBox);
    auto* userRow = new QHBoxLayout;
    userRow->addWidget(caption(QStringLiteral("Користувач № : ")));
    QStringList users;
    for (int u = 1; u <= model::kUserCount; ++u)
        users << QString::number(u);
    cbUVIUser = list(QStringLiteral("cbUVIUser"), users, 70);
    userRow->addWidget(cbUVIUser);
    userRow->addStretch(1);
    left->addLayout(userRow);
    sbUVIRead = named(new QPushButton(usb::msg::kStartReading), QStringLiteral("sbUVIRead"));
    sbUVIRead->setCheckable(true);
    sbUVIRead->setIcon(art::glyph(art::Glyph::Key));
    left->addWidget(sbUVIRead);
    left->addStretch(1);
    auto* leftBox = new QWidget;
    leftBox->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftBox->setFixedWidth(250);
    layout->addWidget(leftBox);
    layout->addSpacing(8);

    sgSmartButton = named(new StringGrid(model::kUserCount, 2), QStringLiteral("sgSmartButton"));
    sgSmartButton->setHorizontalHeaderLabels(
        {QStringLiteral("№ користувача"), QStringLiteral("Ідентифікатори iButton/RFID/Код клавіатури")});
    sgSmartButton->verticalHeader()->hide();
    sgSmartButton->verticalHeader()->setDefaultSectionSize(22);
    sgSmartButton->setColumnWidth(0, 130);
    sgSmartButton->setColumnWidth(1, 320);
    sgSmartButton->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSmartButton->setEditTriggers(QAbstractItemView::AllEditTriggers);
    sgSmartButton->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSmartButton->setFixedWidth(130 + 320 + 24);
    smallHeader(sgSmartButton);
    for (int row = 0; row < model::kUserCount; ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setTextAlignment(Qt::AlignCenter);
        sgSmartButton->setItem(row, 0, number);
        auto* cell = new QTableWidgetItem;
        cell->setTextAlignment(Qt::AlignCenter);
        sgSmartButton->setItem(row, 1, cell);
    }
    GridDelegate::Hooks hooks;
    hooks.maskOf = [](int column) { return rules::keyCodesEditMask(column); };
    hooks.accepts = [](int, const QString& text) {
        for (QChar c : text)
            if (c != QLatin1Char(' ') && !rules::keyCodeCharKept(c))
                return false;
        return true;
    };
    hooks.edited = [this](int row, int column, const QString& text) {
        if (column == 1)
            keyCellEdited(row, text);
    };
    hooks.keyTyped = [this](QKeyEvent* key) { return keysKeyTyped(key); };
    // Upper case as typed: the codes are upper-case hexadecimal.
    m_keysDelegate = new GridDelegate(std::move(hooks), true, sgSmartButton);
    auto* delegate = m_keysDelegate;
    sgSmartButton->setItemDelegate(delegate);
    layout->addWidget(sgSmartButton);
    layout->addStretch(1);
    return page;
}

} // namespace zorel8z::gui
