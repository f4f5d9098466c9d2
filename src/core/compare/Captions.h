#pragma once

#include <QString>
#include <QStringList>

// The window's own captions of the fields, word for word, so that a comparison, a configuration
// sheet or a journal names each field exactly as the installer sees it on its page.
namespace zorel8z::compare::captions {

// Network page ("№ ППК в ПЦС:" / "Новий № ППК в ПЦС:" follow the mode: remote::msg).
inline const QString kPassword5 = QStringLiteral("Пароль віддаленого конфігурування:");
inline const QString kServerIP = QStringLiteral("Основний IP:");
inline const QString kServerPort = QStringLiteral("Основний порт:");
inline const QString kRedServerIP = QStringLiteral("Резервний IP:");
inline const QString kRedServerPort = QStringLiteral("Резервний порт:");
inline const QString kApn1 = QStringLiteral("APN (SIM1):");
inline const QString kApn2 = QStringLiteral("APN (SIM2):");
inline const QString kServerGroup = QStringLiteral("Адреса серверу ПЦС");
inline const QString kSimGroup = QStringLiteral("Параметри SIM карт");

// Users grid.
inline const QString kUserNumber = QStringLiteral("№ п/п");
inline const QString kUserGroup = QStringLiteral("Група(1-8)");
inline const QString kUserPassword = QStringLiteral("Пароль");

// Zones page.
inline const QString kZone = QStringLiteral("Шлейф");
inline const QString kZoneGroup = QStringLiteral("Група");
inline const QString kZoneType = QStringLiteral("Тип шлейфу");
inline const QString kZoneModifier = QStringLiteral("Модифікатор");
inline const QStringList kZoneTypes = {QStringLiteral("Нормальний"), QStringLiteral("Цілодобовий"),
                                       QStringLiteral("Точка входу/Шлях виходу"),
                                       QStringLiteral("Шлях входу/виходу")};
inline const QStringList kZoneModifiers = {QStringLiteral("Без змін"), QStringLiteral("Тривожна кнопка"),
                                           QStringLiteral("Тихий"),    QStringLiteral("Обхід"),
                                           QStringLiteral("Вимкнено"), QStringLiteral("Без включення UK1"),
                                           QStringLiteral("Пожежний")};

// Parameters page.
inline const QString kPPKType = QStringLiteral("Тип застосування ППК : ");
inline const QStringList kPPKTypes = {QStringLiteral("Автономний"), QStringLiteral("Робота на ПЦС")};
inline const QString kPwdLevelGroup = QStringLiteral("Пароль рівня доступу");
inline const QString kPwdLevel1 = QStringLiteral("Адміністратор :");
inline const QString kPwdLevel2 = QStringLiteral("Інженер :");
inline const QString kLowLevel = QStringLiteral("Нижній рівень заряду <= ");
inline const QString kHiLevel = QStringLiteral("Верхній рівень заряду >= ");
inline const QString kUKworkTime = QStringLiteral("Час роботи виходу UK1 і реле K1: ");
inline const QString kUKon = QStringLiteral("Час вмикання виходу UK1 : ");
inline const QString kUKoff = QStringLiteral("Час вимикання виходу UK1 : ");
inline const QString kUKinvert = QStringLiteral("Інверсія роботи виходу UK1 : ");
inline const QStringList kUKinvertItems = {QStringLiteral("Не встановлено"), QStringLiteral("Встановлено")};
inline const QString kSetNone = QStringLiteral("Не призначено");
inline const QString kSetGroup = QStringLiteral("Група %1");
inline const QString kIndicator = QStringLiteral("Індикатор");
inline const QString kDelay1 = QStringLiteral("Час затримки на вхід/вихід груп 1-4 : ");
inline const QString kDelay2 = QStringLiteral("Час затримки на вхід/вихід груп 5-8 : ");
inline const QString kMillivolts = QStringLiteral("мВ");
inline const QString kMinutes = QStringLiteral("хв");
inline const QString kSeconds = QStringLiteral("с");

// Key-code grid.
inline const QString kKeyUser = QStringLiteral("№ користувача");
inline const QString kKeyCode = QStringLiteral("Ідентифікатори iButton/RFID/Код клавіатури");

// Identity strip.
inline const QString kSerialNum = QStringLiteral("Серійний номер ППК: ");
inline const QString kFirmware = QStringLiteral("Прошивка ППК: ");

} // namespace zorel8z::compare::captions
