#include "check/CheckTexts.h"

// The texts declared in CheckTexts.h: defined once here, not in every file that includes it.
namespace zorel8z::check::msg {

const QString kPortFound = QStringLiteral("Порт %1 є в системі.");
const QString kPortMissing =
    QStringLiteral("Порт %1 не знайдено. Перевірте, що ППК під'єднано кабелем USB і драйвер встановлено, та "
                   "оновіть список портів.");
const QString kPermissionGroup = QStringLiteral(
    "Немає дозволу на доступ до порту %1. Пристрій належить групі \"%2\": додайте себе до неї командою\r\n"
    "    sudo usermod -aG %2 $USER\r\n"
    "а потім вийдіть із системи і увійдіть знову.");
const QString kPermissionNoGroup = QStringLiteral(
    "Немає дозволу на доступ до порту %1. Попросіть адміністратора комп'ютера дати вам доступ до нього.");
const QString kPortOpened = QStringLiteral("Порт %1 відкрито.");
const QString kPortNotOpened =
    QStringLiteral("Порт %1 не вдалося відкрити: %2. Закрийте інші програми, які можуть ним користуватися, і "
                   "повторіть перевірку.");
const QString kRequestNotSent = QStringLiteral("Не вдалося надіслати запит зчитування в порт %1: %2");
const QString kFrameReceived =
    QStringLiteral("ППК відповів на запит зчитування: отримано %1 байт, це кадр конфігурації (серійний номер "
                   "ППК %2, прошивка %3).");
const QString kNoAnswer =
    QStringLiteral("ППК не відповів на запит зчитування протягом %1 с (отримано 0 байт). ");
const QString kNotAFrame = QStringLiteral(
    "ППК відповів на запит зчитування, але отримано лише %1 байт: це не схоже на кадр конфігурації (потрібно "
    "щонайменше 900 байт).");
const QString kBadFrame = QStringLiteral("ППК відповів на запит зчитування: отримано %1 байт, схоже "
                                                "на кадр конфігурації, але його не вдалося розібрати: %2");
const QString kUsbWorks = QStringLiteral("З'єднання з ППК по USB працює.");
const QString kAddress = QStringLiteral("Адреса серверу ПЦС: %1, порт %2.");
const QString kTcpConnected = QStringLiteral("З'єднання TCP з %1:%2 встановлено.");
const QString kTcpFailed = QStringLiteral("Не вдалося з'єднатися з %1:%2 по TCP: %3. Перевірте адресу "
                                                 "і порт серверу ПЦС та підключення до мережі.");
const QString kHttpAnswered =
    QStringLiteral("Сервер ПЦС відповідає по HTTP (відповідь на запит /read_config: \"%1\").");
const QString kHttpFailed = QStringLiteral("Сервер за адресою %1:%2 не відповідає як сервер ПЦС: %3");
const QString kNoPanelGiven =
    QStringLiteral("Номер ППК і пароль не вказано: доступ до ППК через ПЦС не перевірявся.");
const QString kQueryAccepted = QStringLiteral("ПЦС прийняв запит до ППК № %1.");
const QString kQueryRefused =
    QStringLiteral("ПЦС не прийняв запит до ППК № %1 (відповідь: \"%2\"). Перевірте номер ППК в ПЦС.");
const QString kQueryFailed = QStringLiteral("Запит до ППК № %1 не дійшов до ПЦС: %2");
const QString kPanelAnswered = QStringLiteral("ППК № %1 відповів через ПЦС: пароль прийнято.");
const QString kPanelRefused = QStringLiteral("ППК № %1 через ПЦС: ");
const QString kPanelSilent = QStringLiteral(
    "ППК № %1 не відповів через ПЦС за %2 с. Перевірте, що ППК увімкнено і він має зв'язок з ПЦС.");
const QString kPollFailed = QStringLiteral("ПЦС не відповів на запит відповіді ППК № %1: %2");
const QString kStationWorks = QStringLiteral("Зв'язок з ППК через ПЦС працює.");

} // namespace zorel8z::check::msg
