#pragma once

#include "model/SaveCheck.h"

#include <QString>

// Every text the editing and validation rules show, kept word for word as the panel's installers
// know them (the misspellings included), so the code and the tests share one source.
namespace zorel8z::rules::msg {

// Address normalisation at the start of a write.
inline const QString kBadServerIP = QStringLiteral("Не корректний Основний IP");
inline const QString kBadRedServerIP = QStringLiteral("Не коректний Резервний IP");
inline const QString kBadRemoteServerIP = QStringLiteral("Не коректний IP серверу ПЦС");

// Network page.
inline const QString kNumConfPPKZero = QStringLiteral("Введіть номер ППК на ПЦС, відмінний від нуля!");
inline const QString kServerIPZero = QStringLiteral("Введіть основну IP адресу, відмінну від нуля!");
inline const QString kServerPortZero = QStringLiteral("Введіть основний порт, відмінний від нуля!");
inline const QString kRedServerIPZero = QStringLiteral("Введіть резервну IP адресу, відмінну від нуля!");
inline const QString kRedServerPortZero = QStringLiteral("Введіть резервний порт, відмінний від нуля!");
inline const QString kRemotePwdMissing = QStringLiteral("Введіть пароль віддаленого конфігурування!");
inline const QString kRemotePwdLeadingZero =
    QStringLiteral("Пароль віддаленого конфігурування не повинен починатися з 0!");
inline const QString kApn1Missing = QStringLiteral("Введіть назву APN SIM1!");
inline const QString kApn2Missing = QStringLiteral("Введіть назву APN SIM2!");
// The save's read-back check refuses the same characters with the same words.
inline const QString& kBadApnChar = model::kBadApnChar;
inline const QString kBadServerIPFormat = QStringLiteral("Невірний формат основної IP адреси серверу ПЦС!");
inline const QString kBadRedServerIPFormat =
    QStringLiteral("Невірний формат резервної IP адреси серверу ПЦС!");

// Users page.
inline const QString kUserGroupMissing =
    QStringLiteral("Ввведіть номер групи від 1-8 для кожного користувача!");
inline const QString kUserPwdLength =
    QStringLiteral("Ввведіть паролі довжиною 4 символи для кожного користувача!");
inline const QString kUserGroupAbsentPrefix = QStringLiteral("Група користувача №");
inline const QString kUserGroupAbsentSuffix = QStringLiteral(" відсутня на вкладці \"Шлейфи\"!");
inline const QString kPwdLeadingZero = QStringLiteral("Пароль користувача не повинен починатись з 0!");
inline const QString kPwdNotUnique =
    QStringLiteral("Паролі повинні бути унікальні для кожного з користувачів групи!");
inline const QString kPwdNeighbours = QStringLiteral("Паролі не повинні відрізнятися на 1!");
inline const QString kPwd9999 = QStringLiteral("Пароль користувача не може мати значення 9999!");
inline const QString kPasswordsHidden =
    QStringLiteral("Паролі користувачів приховані! Введіть паролі або зчитайте конфігурацію по USB!");

// Key codes.
inline const QString kCodesNotUnique = QStringLiteral("Коди iButton/RFID повинні бути унікальні!");
inline const QString kBadKeyCode = QStringLiteral("Невірний формат коду!");

// Parameters page.
inline const QString kParamsEmpty =
    QStringLiteral("Запис блока \"Параметри ППК\" неможливий! Заповніть числові поля!");
inline const QString kAdminPwdLeadingZero =
    QStringLiteral("Пароль Адміністратора не повинен починатись з 0!");
inline const QString kStandAloneWarning = QStringLiteral(
    "Увага! При зміні типу застосування ППК на \"Автономний\" буде припинено обслуговування об'єкта на ПЦС!");
inline const QString kSetGroupTaken = QStringLiteral("Одній групі можна назначити тільки один SET вхід!");
inline const QString kSetGroupAbsent =
    QStringLiteral("Вхід SET повинен бути прив\"язаний до існуючої групи ");

// Captions of the SET rows, following the indicator tick.
inline const QString kSet1Input = QStringLiteral("Вхід SET1 : ");
inline const QString kSet1Indicator = QStringLiteral("Індикатор взяття PV1 : ");
inline const QString kSet2Input = QStringLiteral("Вхід SET2 : ");
inline const QString kSet2Indicator = QStringLiteral("Індикатор взяття PV2 : ");

// Write command.
inline const QString kNoComPort = QStringLiteral("Не вибраний COM порт драйверу ППК!");
inline const QString kNumPPKZero = QStringLiteral("Введіть номер ППК, відмінний від 0!");
inline const QString kNumPPKRange = QStringLiteral("Номер ППК в ПЦС повинен бути від 1 до 65535!");
inline const QString kRemotePortRange = QStringLiteral("Порт серверу ПЦС повинен бути від 1 до 65535!");

// Zones page.
inline const QString kOneEntryPoint = QStringLiteral("В групі повинна бути тільки одна \"Точка входу\"!");
inline const QString kEntryModifier =
    QStringLiteral("Шлейф \"Точка входу\" чи \"Шлях виходу\" повинен бути тільки з модифікатором "
                   "\"Без змін\"/\"Тихий\"/\"Вимкнено\"/\"Обхід\"!");
inline const QString kPathLeftAlone = QStringLiteral("Шлейф \"Шлях виходу\" залишается без \"Точки входу\"!");
inline const QString kAllDayModifier =
    QStringLiteral("Цілодобовий шлейф повинен бути тільки з модифікатором "
                   "\"Без змін\"/\"Тривожна кнопка\"/\"Вимкнено\"/\"Обхід\"/\"Пожежний\"!");
inline const QString kPathNeedsEntry = QStringLiteral("Шлейф \"Шлях виходу\" повинен мати \"Точку входу\"!");
inline const QString kNormalTypeModifier =
    QStringLiteral("Шлейф \"Нормальний\" не може бути з модифікатором \"Тихий\"/\"Пожежний\"!");
inline const QString kPanicNeedsAllDay =
    QStringLiteral("Модифікатор шлейфу \"Тривожна кнопка\" повинен бути тільки з типом \"Цілодобовий\"");
inline const QString kNormalModifier =
    QStringLiteral("Шлейф з типом \"Нормальний\" не може мати модифікатор \"Тихий\"/\"Пожежний\"!");

} // namespace zorel8z::rules::msg
