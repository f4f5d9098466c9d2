#include "rules/Messages.h"

// The texts declared in Messages.h: defined once here, not in every file that includes it.
namespace zorel8z::rules::msg {

const QString kBadServerIP = QStringLiteral("Не корректний Основний IP");
const QString kBadRedServerIP = QStringLiteral("Не коректний Резервний IP");
const QString kBadRemoteServerIP = QStringLiteral("Не коректний IP серверу ПЦС");
const QString kNumConfPPKZero = QStringLiteral("Введіть номер ППК на ПЦС, відмінний від нуля!");
const QString kServerIPZero = QStringLiteral("Введіть основну IP адресу, відмінну від нуля!");
const QString kServerPortZero = QStringLiteral("Введіть основний порт, відмінний від нуля!");
const QString kRedServerIPZero = QStringLiteral("Введіть резервну IP адресу, відмінну від нуля!");
const QString kRedServerPortZero = QStringLiteral("Введіть резервний порт, відмінний від нуля!");
const QString kRemotePwdMissing = QStringLiteral("Введіть пароль віддаленого конфігурування!");
const QString kRemotePwdLeadingZero =
    QStringLiteral("Пароль віддаленого конфігурування не повинен починатися з 0!");
const QString kApn1Missing = QStringLiteral("Введіть назву APN SIM1!");
const QString kApn2Missing = QStringLiteral("Введіть назву APN SIM2!");
const QString kBadServerIPFormat = QStringLiteral("Невірний формат основної IP адреси серверу ПЦС!");
const QString kBadRedServerIPFormat =
    QStringLiteral("Невірний формат резервної IP адреси серверу ПЦС!");
const QString kUserGroupMissing =
    QStringLiteral("Ввведіть номер групи від 1-8 для кожного користувача!");
const QString kUserPwdLength =
    QStringLiteral("Ввведіть паролі довжиною 4 символи для кожного користувача!");
const QString kUserGroupAbsentPrefix = QStringLiteral("Група користувача №");
const QString kUserGroupAbsentSuffix = QStringLiteral(" відсутня на вкладці \"Шлейфи\"!");
const QString kPwdLeadingZero = QStringLiteral("Пароль користувача не повинен починатись з 0!");
const QString kPwdNotUnique =
    QStringLiteral("Паролі повинні бути унікальні для кожного з користувачів групи!");
const QString kPwdNeighbours = QStringLiteral("Паролі не повинні відрізнятися на 1!");
const QString kPwd9999 = QStringLiteral("Пароль користувача не може мати значення 9999!");
const QString kPasswordsHidden =
    QStringLiteral("Паролі користувачів приховані! Введіть паролі або зчитайте конфігурацію по USB!");
const QString kCodesNotUnique = QStringLiteral("Коди iButton/RFID повинні бути унікальні!");
const QString kBadKeyCode = QStringLiteral("Невірний формат коду!");
const QString kParamsEmpty =
    QStringLiteral("Запис блока \"Параметри ППК\" неможливий! Заповніть числові поля!");
const QString kAdminPwdLeadingZero =
    QStringLiteral("Пароль Адміністратора не повинен починатись з 0!");
const QString kStandAloneWarning = QStringLiteral(
    "Увага! При зміні типу застосування ППК на \"Автономний\" буде припинено обслуговування об'єкта на ПЦС!");
const QString kSetGroupTaken = QStringLiteral("Одній групі можна назначити тільки один SET вхід!");
const QString kSetGroupAbsent =
    QStringLiteral("Вхід SET повинен бути прив\"язаний до існуючої групи ");
const QString kSet1Input = QStringLiteral("Вхід SET1 : ");
const QString kSet1Indicator = QStringLiteral("Індикатор взяття PV1 : ");
const QString kSet2Input = QStringLiteral("Вхід SET2 : ");
const QString kSet2Indicator = QStringLiteral("Індикатор взяття PV2 : ");
const QString kNoComPort = QStringLiteral("Не вибраний COM порт драйверу ППК!");
const QString kNumPPKZero = QStringLiteral("Введіть номер ППК, відмінний від 0!");
const QString kNumPPKRange = QStringLiteral("Номер ППК в ПЦС повинен бути від 1 до 65535!");
const QString kRemotePortRange = QStringLiteral("Порт серверу ПЦС повинен бути від 1 до 65535!");
const QString kOneEntryPoint = QStringLiteral("В групі повинна бути тільки одна \"Точка входу\"!");
const QString kEntryModifier =
    QStringLiteral("Шлейф \"Точка входу\" чи \"Шлях виходу\" повинен бути тільки з модифікатором "
                   "\"Без змін\"/\"Тихий\"/\"Вимкнено\"/\"Обхід\"!");
const QString kPathLeftAlone = QStringLiteral("Шлейф \"Шлях виходу\" залишается без \"Точки входу\"!");
const QString kAllDayModifier =
    QStringLiteral("Цілодобовий шлейф повинен бути тільки з модифікатором "
                   "\"Без змін\"/\"Тривожна кнопка\"/\"Вимкнено\"/\"Обхід\"/\"Пожежний\"!");
const QString kPathNeedsEntry = QStringLiteral("Шлейф \"Шлях виходу\" повинен мати \"Точку входу\"!");
const QString kNormalTypeModifier =
    QStringLiteral("Шлейф \"Нормальний\" не може бути з модифікатором \"Тихий\"/\"Пожежний\"!");
const QString kPanicNeedsAllDay =
    QStringLiteral("Модифікатор шлейфу \"Тривожна кнопка\" повинен бути тільки з типом \"Цілодобовий\"");
const QString kNormalModifier =
    QStringLiteral("Шлейф з типом \"Нормальний\" не може мати модифікатор \"Тихий\"/\"Пожежний\"!");

} // namespace zorel8z::rules::msg
