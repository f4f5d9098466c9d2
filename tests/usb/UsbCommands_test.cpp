#include "model/FrameCodec.h"
#include "rules/RulesSupport.h"
#include "sim/PtyClient.h"
#include "support/FakeSerialPort.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"
#include "usb/CommandWatchdog.h"
#include "usb/UsbCommands.h"

#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zorel8z;
using model::PageMark;
using model::PanelConfig;

namespace {

const controller::TController ctl;

// What a panel sends for `cfg`: the write frame without "->", identity bytes in the trailer.
QByteArray panelFrame(const PanelConfig& cfg, int serial = 0, int firmwareByte = 0) {
    QByteArray f = model::buildWriteFrame(ctl, cfg).mid(2).toLatin1();
    f[901] = char(firmwareByte);
    f[950] = char(serial & 0xFF);
    f[951] = char(serial >> 8);
    return f;
}

struct Fixture {
    Fixture() {
        test::ensureApp(); // the timers need an event dispatcher
        commands.choosePort(QStringLiteral("COM3"));
    }
    PanelConfig cfg;
    rules::EditorState state;
    test::FakeSerialPort port;
    test::RecordingUi ui;
    usb::CommandWatchdog watchdog{state, ui};
    usb::UsbCommands commands{cfg, state, port, ui, watchdog};
};

// A configuration the write checks accept, with a main address still to be normalised.
PanelConfig writable() {
    PanelConfig c = test::rules::validConfig();
    c.serverIP = QStringLiteral("10.0.0.1");
    return c;
}

} // namespace

TEST(UsbRead, RequestTimersAndState) {
    Fixture f;
    f.commands.readCommand();
    EXPECT_EQ(f.port.writes, QByteArrayList{QByteArray("@\r\n")});
    EXPECT_FALSE(f.state.commandsEnabled);
    EXPECT_FALSE(f.state.portListEnabled);
    EXPECT_TRUE(f.commands.delayCheckRunning());
    EXPECT_TRUE(f.commands.watchdogRunning());
    EXPECT_FALSE(f.state.progressVisible);
}

TEST(UsbRead, NoPortChosen) {
    Fixture f;
    f.commands.choosePort(QString());
    f.commands.readCommand();
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Не вибраний COM порт драйверу ППК!")});
    EXPECT_TRUE(f.port.writes.isEmpty());
    EXPECT_TRUE(f.state.commandsEnabled);
}

TEST(UsbRead, FrameFillsEverythingAndMarksSynced) {
    Fixture f;
    const PanelConfig panel = test::RandomConfig(5).next();
    f.cfg.passwordsHidden = true;
    f.commands.readCommand();
    f.port.arrive(panelFrame(panel, 258, 255));
    EXPECT_TRUE(f.cfg.sameSettings([&] {
        PanelConfig p = panel;
        return p;
    }()));
    EXPECT_EQ(f.cfg.serialNumber, QStringLiteral("000258"));
    EXPECT_EQ(f.cfg.firmwareVersion, QStringLiteral("256"));
    EXPECT_FALSE(f.cfg.passwordsHidden);
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_TRUE(f.state.portListEnabled);
    EXPECT_FALSE(f.commands.delayCheckRunning());
    EXPECT_FALSE(f.commands.watchdogRunning());
    for (auto m : f.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
    EXPECT_TRUE(f.ui.texts().isEmpty());
    EXPECT_TRUE(f.port.isOpen());
}

TEST(UsbRead, ReceiveCounts) {
    const PanelConfig panel = test::RandomConfig(8).next();
    const QByteArray full = panelFrame(panel, 0, 0);
    const struct {
        const char* name;
        QList<int> pieces; // cumulative byte counts at which a notification comes
        bool decoded;
        bool redundant;
        int takenAs; // size of the text taken as one frame, 0 for none
    } cases[] = {
        // The first 5 bytes are consumed as a short reply, so the 945 after them are taken as one
        // shifted frame and refused as a whole.
        {"pieces 5/300/600/950", {5, 300, 600, 950}, false, false, 945},
        {"exactly 900", {900}, true, false, 900},
        {"995 bytes", {995}, true, false, 995},
        {"996 bytes", {996}, true, true, 996},
        {"whole frame", {int(full.size())}, true, true, int(full.size())},
        {"899 bytes", {899}, false, false, 0},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.cfg.redPort = 7;
        f.commands.readCommand();
        int sent = 0;
        for (int upTo : c.pieces) {
            f.port.arrive(full.mid(sent, upTo - sent));
            sent = upTo;
        }
        EXPECT_EQ(f.cfg.numPPK == panel.numPPK && f.cfg.UVICode == panel.UVICode, c.decoded) << c.name;
        EXPECT_EQ(f.cfg.redPort, c.redundant ? panel.redPort : 7) << c.name;
        EXPECT_EQ(f.commands.receivedText().size(), c.takenAs) << c.name;
    }
}

TEST(UsbRead, DelayCheckReports) {
    {
        Fixture f;
        f.commands.readCommand();
        f.commands.onDelayCheckTick();
        ASSERT_EQ(f.ui.texts().size(), 1);
        EXPECT_EQ(f.ui.texts()[0],
                  QStringLiteral("Не має доступу до ППК через порт: COM3.\r\nПеревірте, будь-ласка, з\"єднання з "
                                 "компьютером і переконайтесь що всі групи ППК зняті з охорони !"));
        EXPECT_FALSE(f.port.isOpen());
        EXPECT_TRUE(f.state.commandsEnabled);
        EXPECT_TRUE(f.state.portListEnabled);
        EXPECT_FALSE(f.commands.delayCheckRunning());
        // The read has ended: a watchdog left running would end the next command, of either link.
        EXPECT_FALSE(f.commands.watchdogRunning());
    }
    {
        Fixture f;
        f.commands.readCommand();
        f.port.arrive(QByteArray(500, 'x'));
        f.commands.onDelayCheckTick();
        EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Повторіть спробу зчитування! Код помилки : 500")});
        EXPECT_EQ(f.ui.messages[0].first, MsgIcon::Warning);
        EXPECT_FALSE(f.port.isOpen());
    }
}

TEST(UsbRead, BrokenFrameChangesNothingAndReturnsToIdle) {
    Fixture f;
    f.cfg.numPPK = 99;
    const PanelConfig before = f.cfg;
    QByteArray frame = panelFrame(test::RandomConfig(3).next());
    frame.replace(300, 5, "{{{{{"); // the zones block
    f.commands.readCommand();
    f.port.arrive(frame);
    EXPECT_EQ(f.cfg, before);
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Помилковий формат конфігурації!")});
    EXPECT_TRUE(f.state.commandsEnabled);
    EXPECT_TRUE(f.state.portListEnabled);
    for (auto m : f.state.marks)
        EXPECT_EQ(m, PageMark::None);
}

TEST(UsbRead, WatchdogAndLineBreak) {
    Fixture f;
    f.state.setAllMarks(PageMark::Synced);
    f.commands.readCommand();
    f.watchdog.onTick();
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("ППК не відповідає! Повторіть спробу!")});
    EXPECT_TRUE(f.state.commandsEnabled);
    for (auto m : f.state.marks)
        EXPECT_EQ(m, PageMark::None);
    f.watchdog.onTick(); // the command has ended: nothing more
    EXPECT_EQ(f.ui.texts().size(), 1);

    f.port.breakLine();
    EXPECT_EQ(f.ui.texts().last(), QStringLiteral("Розірвано підключення по USB"));
    EXPECT_FALSE(f.port.isOpen());
}

TEST(UsbWrite, SendsTheFrameAndHonoursTheAcknowledgement) {
    Fixture f;
    f.cfg = writable();
    f.commands.writeCommand();
    ASSERT_TRUE(f.ui.texts().isEmpty()) << f.ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(f.cfg.serverIP, QStringLiteral("010.000.000.001")); // normalised and written back
    ASSERT_EQ(f.port.writes.size(), 1);
    EXPECT_EQ(f.port.writes[0], model::buildWriteFrame(ctl, f.cfg, true).toLatin1());
    EXPECT_EQ(f.port.writes[0].size(), 1001);
    EXPECT_TRUE(f.state.progressVisible);
    EXPECT_FALSE(f.state.commandsEnabled);

    f.port.arrive("xx-<\r\n");
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Конфігурація записана успішно")});
    EXPECT_FALSE(f.state.progressVisible);
    EXPECT_TRUE(f.state.commandsEnabled);
    for (auto m : f.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
}

TEST(UsbWrite, LateAcknowledgementAndShortReplies) {
    Fixture f;
    f.cfg = writable();
    f.commands.writeCommand();
    f.watchdog.onTick();
    EXPECT_EQ(f.ui.texts().last(), QStringLiteral("ППК не відповідає! Повторіть спробу!"));
    f.port.arrive("ok\r\n"); // no "-<": dropped
    EXPECT_EQ(f.ui.texts().size(), 1);
    f.port.arrive("-<\r\n");
    EXPECT_EQ(f.ui.texts().last(), QStringLiteral("Конфігурація записана успішно"));
    for (auto m : f.state.marks)
        EXPECT_EQ(m, PageMark::Synced);
}

TEST(UsbWrite, RefusedChecksSendNothing) {
    Fixture f;
    f.commands.writeCommand(); // a fresh configuration
    EXPECT_EQ(f.ui.texts(), QStringList{QStringLiteral("Введіть номер ППК на ПЦС, відмінний від нуля!")});
    EXPECT_TRUE(f.port.writes.isEmpty());
    EXPECT_TRUE(f.state.commandsEnabled);

    Fixture hidden;
    hidden.cfg = writable();
    hidden.cfg.passwordsHidden = true;
    for (auto& u : hidden.cfg.users)
        u.password = model::kHiddenPassword;
    hidden.commands.writeCommand();
    EXPECT_TRUE(hidden.port.writes.isEmpty());
    ASSERT_FALSE(hidden.ui.texts().isEmpty());
}

TEST(UsbWrite, FrameWhereTheAcknowledgementWasDue) {
    const PanelConfig panel = test::RandomConfig(12).next();
    QByteArray broken = panelFrame(panel);
    broken.replace(300, 5, "{{{{{");
    const struct {
        const char* name;
        QByteArray reply;
        QStringList messages;
    } cases[] = {
        // The read's own handling, then what the user must know about the write.
        {"a whole frame",
         panelFrame(panel, 7, 1),
         {QStringLiteral("Замість підтвердження запису ППК надіслав конфігурацію. Перевірте, що записано!")}},
        {"a broken frame",
         broken,
         {QStringLiteral("Помилковий формат конфігурації!"),
          QStringLiteral("Замість підтвердження запису ППК надіслав конфігурацію. Перевірте, що записано!")}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.cfg = writable();
        f.commands.writeCommand();
        ASSERT_EQ(f.port.writes.size(), 1) << c.name;
        ASSERT_TRUE(f.commands.writing()) << c.name;
        f.port.arrive(c.reply);
        EXPECT_EQ(f.ui.texts(), c.messages) << c.name;
        EXPECT_EQ(f.ui.messages.back().first, MsgIcon::Warning) << c.name;
        EXPECT_TRUE(f.state.commandsEnabled) << c.name;
        EXPECT_FALSE(f.state.progressVisible) << c.name;
        EXPECT_FALSE(f.commands.watchdogRunning()) << c.name;
        EXPECT_FALSE(f.commands.writing()) << c.name;
    }

    // A frame that nobody's write was waiting for is a plain read, without the warning.
    Fixture f;
    f.port.opened = true;
    f.port.arrive(panelFrame(panel));
    EXPECT_TRUE(f.ui.texts().isEmpty()) << f.ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(f.cfg.sameSettings(panel));
}

TEST(UsbTimers, DelayCheckAndWatchdogArePrecise) {
    // A coarse timer may fire 5 % off: the 4 s delay check anywhere from 3.8 s to 4.2 s.
    Fixture f;
    const struct {
        const QObject* owner;
        const char* name;
        int interval;
    } timers[] = {
        {&f.commands, "tiDelayReadConf", 4000},
        {&f.watchdog, "tiControlBtn", 20000},
    };
    for (const auto& t : timers) {
        const auto* timer = t.owner->findChild<QTimer*>(QString::fromLatin1(t.name));
        ASSERT_NE(timer, nullptr) << t.name;
        EXPECT_EQ(timer->timerType(), Qt::PreciseTimer) << t.name;
        EXPECT_EQ(timer->interval(), t.interval) << t.name;
    }
}

TEST(UsbWatchdog, EveryCommandThatStartsItRestartsIt) {
    Fixture f;
    f.cfg = writable();
    usb::CommandWatchdog& w = f.watchdog;
    const std::function<void()> commands[] = {[&] { f.commands.readCommand(); },
                                              [&] { f.commands.writeCommand(); }};
    for (const auto& again : commands) {
        f.commands.readCommand();
        ASSERT_TRUE(w.isActive());
        const int full = w.interval();
        ASSERT_TRUE(test::waitUntil([&] { return w.remainingTime() < full - 50; }, 30000));
        const int before = w.remainingTime();
        // A command given while the last one runs: the whole interval again, not the rest of it.
        again();
        EXPECT_TRUE(w.isActive());
        EXPECT_GT(w.remainingTime(), before);
        w.onTick();
    }
}

// Devices come and go under the list: what the refresh button does, except that a chosen port that is
// still there stays chosen and is not closed.
TEST(UsbPorts, DevicesChangedKeepsTheChosenPortElseActsAsTheRefreshButton) {
    const struct {
        const char* name;
        bool chosen;         // a port was chosen before (COM3)
        const char* present; // names separated by blanks
        bool kept;
    } cases[] = {
        {"chosen port still there", true, "COM1 COM3 COM4", true},
        {"chosen port gone", true, "COM1 COM4", false},
        {"every port gone", true, "", false},
        {"none chosen, its name present", false, "COM1 COM3", false},
    };
    for (const auto& c : cases) {
        const QStringList present =
            QString::fromLatin1(c.present).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        Fixture f;
        Fixture button;
        for (Fixture* x : {&f, &button}) {
            if (!c.chosen)
                x->commands.choosePort(QString());
            x->port.open();
            x->port.ports = present;
        }
        const std::optional<QStringList> listed = f.commands.devicesChanged();
        ASSERT_TRUE(listed) << c.name;
        EXPECT_EQ(*listed, present) << c.name;
        if (c.kept) {
            EXPECT_EQ(f.port.portName(), QStringLiteral("COM3")) << c.name;
            EXPECT_TRUE(f.port.isOpen()) << c.name;
            EXPECT_TRUE(f.state.portSelected) << c.name;
            continue;
        }
        EXPECT_EQ(button.commands.refreshPorts(), present) << c.name;
        EXPECT_EQ(f.port.portName(), button.port.portName()) << c.name;
        EXPECT_EQ(f.state.portSelected, button.state.portSelected) << c.name;
        EXPECT_FALSE(f.port.isOpen()) << c.name;
    }
}

// A read or a write holds its port: its report names the port it ran on. The list follows afterwards.
TEST(UsbPorts, DevicesChangedWaitsForTheCommandOnThePort) {
    const std::function<void(Fixture&)> commands[] = {[](Fixture& f) { f.commands.readCommand(); },
                                                      [](Fixture& f) { f.commands.writeCommand(); }};
    for (const auto& command : commands) {
        Fixture f;
        f.cfg = writable();
        f.port.ports = {QStringLiteral("COM3")};
        command(f);
        f.port.ports = {QStringLiteral("COM1")};
        EXPECT_FALSE(f.commands.devicesChanged());
        EXPECT_EQ(f.port.portName(), QStringLiteral("COM3"));
        if (f.commands.delayCheckRunning()) {
            f.commands.onDelayCheckTick();
            ASSERT_FALSE(f.ui.texts().isEmpty());
            EXPECT_TRUE(
                f.ui.texts().last().startsWith(QStringLiteral("Не має доступу до ППК через порт: COM3.")))
                << f.ui.texts().last().toStdString();
        } else {
            f.watchdog.onTick();
        }
        ASSERT_TRUE(f.state.commandsEnabled);
        EXPECT_EQ(f.commands.devicesChanged(),
                  std::optional<QStringList>(QStringList{QStringLiteral("COM1")}));
        EXPECT_EQ(f.port.portName(), QStringLiteral("COM1"));
    }
}
