// The connection check, step by step, against the simulated panel on a pty and the simulated station
// on loopback. Nothing it does may write to either.
#include "check/ConnectionCheck.h"
#include "remote/CurlHttpClient.h"
#include "sim/PanelSim.h"
#include "sim/PtyClient.h"
#include "sim/StationSim.h"
#include "support/Printers.h"
#include "usb/QtSerialPort.h"

#include <gtest/gtest.h>
#include <optional>

using namespace zorel8z;

namespace {

const QString kAdvice = QStringLiteral(
    "Перевірте, будь-ласка, з\"єднання з компьютером і переконайтесь що всі групи ППК зняті з охорони !");

// Runs a check to its end; the lines it reported, each with "+" or "-" in front.
QStringList run(check::ConnectionCheck& c, std::optional<bool>& ok) {
    QStringList lines;
    QObject::connect(&c, &check::ConnectionCheck::step, [&lines](bool passed, const QString& text) {
        lines << (passed ? QStringLiteral("+") : QStringLiteral("-")) + text;
    });
    QObject::connect(&c, &check::ConnectionCheck::finished, [&ok](bool passed) { ok = passed; });
    c.start();
    EXPECT_TRUE(test::waitUntil([&ok] { return ok.has_value(); }, 60000));
    return lines;
}

int writesTo(const sim::StationSim& station) {
    int n = 0;
    for (const auto& r : station.requests())
        n += r.target.rfind("/set_config", 0) == 0;
    return n;
}

} // namespace

TEST(ConnectionCheck, UsbStepsAgainstThePanel) {
    test::ensureApp();
    sim::PanelFaults silent;
    silent.silent = true;
    sim::PanelFaults shortReply;
    shortReply.shortReply = 500;
    sim::PanelFaults broken;
    broken.brokenBlock = 2;
    const struct {
        const char* name;
        sim::PanelFaults faults;
        QString last;
        bool ok;
    } cases[] = {
        {"a working panel", {}, QStringLiteral("+З'єднання з ППК по USB працює."), true},
        {"silent", silent,
         QStringLiteral("-ППК не відповів на запит зчитування протягом 0.5 с (отримано 0 байт). ") + kAdvice,
         false},
        {"short", shortReply,
         QStringLiteral("-ППК відповів на запит зчитування, але отримано лише 500 байт: це не схоже на кадр "
                        "конфігурації (потрібно щонайменше 900 байт)."),
         false},
        {"broken", broken,
         QStringLiteral(
             "-ППК відповів на запит зчитування: отримано 999 байт, схоже на кадр конфігурації, але його "
             "не вдалося розібрати: Помилковий формат конфігурації!"),
         false},
    };
    for (const auto& c : cases) {
        sim::PanelSim panel;
        panel.setSerialNumber(4321);
        panel.setFaults(c.faults);
        ASSERT_TRUE(panel.open()) << panel.errorString().toStdString();
        usb::QtSerialPort port;
        port.setPortName(panel.devicePath());
        check::UsbCheck check(port, nullptr, c.ok ? 4000 : 500);
        std::optional<bool> ok;
        const QStringList lines = run(check, ok);
        EXPECT_EQ(*ok, c.ok) << c.name;
        ASSERT_GE(lines.size(), 3) << c.name;
        EXPECT_EQ(lines[0], QStringLiteral("+Порт %1 є в системі.").arg(panel.devicePath())) << c.name;
        EXPECT_EQ(lines[1], QStringLiteral("+Порт %1 відкрито.").arg(panel.devicePath())) << c.name;
        EXPECT_EQ(lines.last(), c.last) << c.name;
        if (c.ok) {
            EXPECT_EQ(lines[2],
                      QStringLiteral("+ППК відповів на запит зчитування: отримано 999 байт, це кадр "
                                     "конфігурації (серійний номер ППК 0004321, прошивка 1)."));
        }
        // One read request and nothing else; the port is closed again.
        EXPECT_EQ(panel.readRequests(), 1) << c.name;
        EXPECT_EQ(panel.writeFrames(), 0) << c.name;
        EXPECT_FALSE(port.isOpen()) << c.name;
    }
}

TEST(ConnectionCheck, UsbPortThatIsNotThere) {
    test::ensureApp();
    usb::QtSerialPort port;
    port.setPortName(QStringLiteral("/nonexistent/ttyZOREL"));
    check::UsbCheck check(port);
    std::optional<bool> ok;
    EXPECT_EQ(run(check, ok),
              QStringList{QStringLiteral(
                  "-Порт /nonexistent/ttyZOREL не знайдено. Перевірте, що ППК під'єднано кабелем USB "
                  "і драйвер встановлено, та оновіть список портів.")});
    EXPECT_FALSE(*ok);
}

TEST(ConnectionCheck, StationSteps) {
    test::ensureApp();
    sim::StationFaults silentPanel;
    silentPanel.noDataForever = true;
    const struct {
        const char* name;
        int panel;
        QString password;
        sim::StationFaults faults;
        QStringList tail; // the lines after address, TCP and HTTP
        bool ok;
    } cases[] = {
        {"panel and password",
         57,
         QStringLiteral("123456"),
         {},
         {QStringLiteral("+ПЦС прийняв запит до ППК № 57."),
          QStringLiteral("+ППК № 57 відповів через ПЦС: пароль прийнято."),
          QStringLiteral("+Зв'язок з ППК через ПЦС працює.")},
         true},
        {"no panel given",
         0,
         QString(),
         {},
         {QStringLiteral("+Номер ППК і пароль не вказано: доступ до ППК через ПЦС не перевірявся.")},
         true},
        {"wrong password",
         57,
         QStringLiteral("654321"),
         {},
         {QStringLiteral("+ПЦС прийняв запит до ППК № 57."),
          QStringLiteral(
              "-ППК № 57 через ПЦС: Не має доступу до ППК! Перевірте активацію режима \"Програмування\", "
              "пароль і зняття всіх груп з охорони!")},
         false},
        {"unknown panel",
         58,
         QStringLiteral("123456"),
         {},
         {QStringLiteral(
             "-ПЦС не прийняв запит до ППК № 58 (відповідь: \"err\"). Перевірте номер ППК в ПЦС.")},
         false},
        {"panel never answers",
         57,
         QStringLiteral("123456"),
         silentPanel,
         {QStringLiteral("+ПЦС прийняв запит до ППК № 57."),
          QStringLiteral(
              "-ППК № 57 не відповів через ПЦС за 0.3 с. Перевірте, що ППК увімкнено і він має зв'язок з "
              "ПЦС.")},
         false},
        {"no password",
         57,
         QString(),
         {},
         {QStringLiteral("-Введіть пароль віддаленого конфігурування!")},
         false},
    };
    for (const auto& c : cases) {
        sim::StationSim station;
        station.addPanel(57, QStringLiteral("123456"));
        const model::PanelConfig held = *station.panel(57);
        station.setFaults(c.faults);
        ASSERT_TRUE(station.start()) << station.errorString().toStdString();
        check::StationTimings t;
        t.pollMs = 20;
        t.answerMs = c.faults.noDataForever ? 300 : 20000;
        check::StationCheck check(std::make_unique<remote::CurlHttpClient>(),
                                  {QStringLiteral("127.000.000.001"), station.port(), c.panel, c.password},
                                  t);
        std::optional<bool> ok;
        const QStringList lines = run(check, ok);
        EXPECT_EQ(*ok, c.ok) << c.name;
        const QString at = QStringLiteral("127.0.0.1:%1").arg(station.port());
        const QStringList head = {
            QStringLiteral("+Адреса серверу ПЦС: 127.0.0.1, порт %1.").arg(station.port()),
            QStringLiteral("+З'єднання TCP з %1 встановлено.").arg(at),
            QStringLiteral("+Сервер ПЦС відповідає по HTTP (відповідь на запит /read_config: "
                           "\"no_data\").")};
        EXPECT_EQ(lines, head + c.tail) << c.name;
        EXPECT_EQ(writesTo(station), 0) << c.name;
        // The panel's configuration at the station is as it was.
        EXPECT_EQ(*station.panel(57), held) << c.name;
    }
}

TEST(ConnectionCheck, StationThatIsNotThereOrNotAStation) {
    test::ensureApp();
    int closedPort = 0;
    {
        sim::StationSim gone;
        ASSERT_TRUE(gone.start());
        closedPort = gone.port();
    }
    std::optional<bool> ok;
    check::StationCheck refused(std::make_unique<remote::CurlHttpClient>(),
                                {QStringLiteral("127.000.000.001"), closedPort, 0, QString()});
    QStringList lines = run(refused, ok);
    EXPECT_FALSE(*ok);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(
        lines[1].startsWith(QStringLiteral("-Не вдалося з'єднатися з 127.0.0.1:%1 по TCP: ").arg(closedPort)))
        << lines[1].toStdString();
    EXPECT_TRUE(
        lines[1].endsWith(QStringLiteral(". Перевірте адресу і порт серверу ПЦС та підключення до мережі.")));

    sim::StationSim broken;
    sim::StationFaults f;
    f.status500 = true;
    broken.setFaults(f);
    ASSERT_TRUE(broken.start());
    ok.reset();
    check::StationCheck notStation(
        std::make_unique<remote::CurlHttpClient>(),
        {QStringLiteral("127.0.0.1"), broken.port(), 57, QStringLiteral("123456")});
    lines = run(notStation, ok);
    EXPECT_FALSE(*ok);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].startsWith(
        QStringLiteral("-Сервер за адресою 127.0.0.1:%1 не відповідає як сервер ПЦС: ").arg(broken.port())))
        << lines[2].toStdString();

    ok.reset();
    check::StationCheck zero(std::make_unique<remote::CurlHttpClient>(),
                             {QStringLiteral("000.000.000.000"), 15001, 0, QString()});
    EXPECT_EQ(run(zero, ok), QStringList{QStringLiteral("-Не коректний IP серверу ПЦС")});
}

TEST(ConnectionCheck, ACheckUnderWayStopsWithItsOwner) {
    test::ensureApp();
    sim::StationSim station;
    sim::StationFaults f;
    f.noDataForever = true;
    station.setFaults(f);
    station.addPanel(57, QStringLiteral("123456"));
    ASSERT_TRUE(station.start());
    bool ended = false;
    {
        check::StationCheck check(
            std::make_unique<remote::CurlHttpClient>(),
            {QStringLiteral("127.0.0.1"), station.port(), 57, QStringLiteral("123456")});
        QObject::connect(&check, &check::ConnectionCheck::finished, [&ended] { ended = true; });
        check.start();
        // Once it is polling, the owner goes away.
        ASSERT_TRUE(test::waitUntil([&] { return check.steps().size() >= 4; }, 30000));
    }
    test::spin(50);
    EXPECT_FALSE(ended);
}
