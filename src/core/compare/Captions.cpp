#include "compare/Captions.h"

// The texts declared in Captions.h: defined once here, not in every file that includes it.
namespace zorel8z::compare::captions {

const QString kPassword5 = QStringLiteral("Пароль віддаленого конфігурування:");
const QString kServerIP = QStringLiteral("Основний IP:");
const QString kServerPort = QStringLiteral("Основний порт:");
const QString kRedServerIP = QStringLiteral("Резервний IP:");
const QString kRedServerPort = QStringLiteral("Резервний порт:");
const QString kApn1 = QStringLiteral("APN (SIM1):");
const QString kApn2 = QStringLiteral("APN (SIM2):");
const QString kServerGroup = QStringLiteral("Адреса серверу ПЦС");
const QString kSimGroup = QStringLiteral("Параметри SIM карт");
const QString kUserNumber = QStringLiteral("№ п/п");
const QString kUserGroup = QStringLiteral("Група(1-8)");
const QString kUserPassword = QStringLiteral("Пароль");
const QString kZone = QStringLiteral("Шлейф");
const QString kZoneGroup = QStringLiteral("Група");
const QString kZoneType = QStringLiteral("Тип шлейфу");
const QString kZoneModifier = QStringLiteral("Модифікатор");
const QStringList kZoneTypes = {QStringLiteral("Нормальний"), QStringLiteral("Цілодобовий"),
                                       QStringLiteral("Точка входу/Шлях виходу"),
                                       QStringLiteral("Шлях входу/виходу")};
const QStringList kZoneModifiers = {QStringLiteral("Без змін"), QStringLiteral("Тривожна кнопка"),
                                           QStringLiteral("Тихий"),    QStringLiteral("Обхід"),
                                           QStringLiteral("Вимкнено"), QStringLiteral("Без включення UK1"),
                                           QStringLiteral("Пожежний")};
const QString kPPKType = QStringLiteral("Тип застосування ППК : ");
const QStringList kPPKTypes = {QStringLiteral("Автономний"), QStringLiteral("Робота на ПЦС")};
const QString kPwdLevelGroup = QStringLiteral("Пароль рівня доступу");
const QString kPwdLevel1 = QStringLiteral("Адміністратор :");
const QString kPwdLevel2 = QStringLiteral("Інженер :");
const QString kLowLevel = QStringLiteral("Нижній рівень заряду <= ");
const QString kHiLevel = QStringLiteral("Верхній рівень заряду >= ");
const QString kUKworkTime = QStringLiteral("Час роботи виходу UK1 і реле K1: ");
const QString kUKon = QStringLiteral("Час вмикання виходу UK1 : ");
const QString kUKoff = QStringLiteral("Час вимикання виходу UK1 : ");
const QString kUKinvert = QStringLiteral("Інверсія роботи виходу UK1 : ");
const QStringList kUKinvertItems = {QStringLiteral("Не встановлено"), QStringLiteral("Встановлено")};
const QString kSetNone = QStringLiteral("Не призначено");
const QString kSetGroup = QStringLiteral("Група %1");
const QString kIndicator = QStringLiteral("Індикатор");
const QString kDelay1 = QStringLiteral("Час затримки на вхід/вихід груп 1-4 : ");
const QString kDelay2 = QStringLiteral("Час затримки на вхід/вихід груп 5-8 : ");
const QString kMillivolts = QStringLiteral("мВ");
const QString kMinutes = QStringLiteral("хв");
const QString kSeconds = QStringLiteral("с");
const QString kKeyUser = QStringLiteral("№ користувача");
const QString kKeyCode = QStringLiteral("Ідентифікатори iButton/RFID/Код клавіатури");
const QString kSerialNum = QStringLiteral("Серійний номер ППК: ");
const QString kFirmware = QStringLiteral("Прошивка ППК: ");

} // namespace zorel8z::compare::captions
