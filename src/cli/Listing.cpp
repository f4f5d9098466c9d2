#include "cli/Listing.h"

#include <QStringList>

namespace zorel8z::cli {

namespace {

QString item(const QStringList& items, int index) {
    if (index >= 0 && index < items.size())
        return items[index];
    return QStringLiteral("(значення %1 поза списком)").arg(index);
}

QString line(const QString& caption, const QString& value) {
    return QStringLiteral("  %1 %2\n").arg(caption, value);
}

const QStringList kZoneTypes = {QStringLiteral("Нормальний"), QStringLiteral("Цілодобовий"),
                                QStringLiteral("Точка входу/Шлях виходу"), QStringLiteral("Шлях входу/виходу")};
const QStringList kModifiers = {QStringLiteral("Без змін"),  QStringLiteral("Тривожна кнопка"),
                                QStringLiteral("Тихий"),     QStringLiteral("Обхід"),
                                QStringLiteral("Вимкнено"),  QStringLiteral("Без включення UK1"),
                                QStringLiteral("Пожежний")};
const QStringList kPPKTypes = {QStringLiteral("Автономний"), QStringLiteral("Робота на ПЦС")};
const QStringList kInvert = {QStringLiteral("Не встановлено"), QStringLiteral("Встановлено")};

QString setText(const model::SetInput& in, int number) {
    const QString caption = in.indicator ? QStringLiteral("Індикатор взяття PV%1 : ").arg(number)
                                         : QStringLiteral("Вхід SET%1 : ").arg(number);
    const QString group = in.group == 0 ? QStringLiteral("Не призначено") : QStringLiteral("Група %1").arg(in.group);
    return line(caption.trimmed(), group);
}

} // namespace

QString listing(const model::PanelConfig& c) {
    QString out;
    if (!c.serialNumber.isEmpty() || !c.firmwareVersion.isEmpty()) {
        out += QStringLiteral("Конфігурація ППК\n");
        out += line(QStringLiteral("Серійний номер ППК:"), c.serialNumber);
        out += line(QStringLiteral("Прошивка ППК:"), c.firmwareVersion);
        out += QLatin1Char('\n');
    }

    out += QStringLiteral("Налаштування зв'язку\n");
    out += line(QStringLiteral("№ ППК на ПЦС:"), QString::number(c.numPPK));
    out += line(QStringLiteral("Пароль віддаленого конфігурування:"), QLatin1Char('"') + c.pwd + QLatin1Char('"'));
    out += line(QStringLiteral("Основний IP:"), c.serverIP);
    out += line(QStringLiteral("Основний порт:"), QString::number(c.serverPort));
    out += line(QStringLiteral("Резервний IP:"), c.redIP);
    out += line(QStringLiteral("Резервний порт:"), QString::number(c.redPort));
    out += line(QStringLiteral("APN (SIM1):"), c.apn);
    out += line(QStringLiteral("APN (SIM2):"), c.apn2);

    out += QStringLiteral("\nКористувачі\n  № п/п  Група(1-8)  Пароль\n");
    for (int k = 0; k < model::kUserCount; ++k) {
        const auto& u = c.users[size_t(k)];
        QString pwd = u.password;
        if (c.passwordsHidden && pwd == model::kHiddenPassword)
            pwd += QStringLiteral(" (прихований: %1)").arg(c.hiddenPasswords[size_t(k)]);
        out += QStringLiteral("  %1  %2  %3\n").arg(k + 1, 5).arg(u.group, 10).arg(pwd);
    }

    out += QStringLiteral("\nШлейфи\n");
    for (int n = 0; n < model::kZoneCount; ++n) {
        const auto& z = c.lines[size_t(n)];
        out += QStringLiteral("  Шлейф %1. Група: %2; Тип шлейфу: %3; Модифікатор: %4\n")
                   .arg(n + 1)
                   .arg(z.groupValid() ? QString::number(z.group) : item({}, z.group))
                   .arg(item(kZoneTypes, z.type), item(kModifiers, z.modifier));
    }

    out += QStringLiteral("\nПараметри ППК\n");
    out += line(QStringLiteral("Тип застосування ППК :"), item(kPPKTypes, c.ppkType));
    out += line(QStringLiteral("Пароль рівня доступу, Адміністратор :"), c.PwdLev1);
    out += line(QStringLiteral("Пароль рівня доступу, Інженер :"), c.PwdLev2);
    out += line(QStringLiteral("АКБ, Нижній рівень заряду <="), c.LowLevelV + QStringLiteral(" мВ"));
    out += line(QStringLiteral("АКБ, Верхній рівень заряду >="), c.HiLevelV + QStringLiteral(" мВ"));
    out += line(QStringLiteral("Час затримки на вхід/вихід, групи 1-4:"), QString::number(c.timeDelay) + QStringLiteral(" с"));
    out += line(QStringLiteral("Час затримки на вхід/вихід, групи 5-8:"), QString::number(c.timeDelay2) + QStringLiteral(" с"));
    out += line(QStringLiteral("Вихід UK1, час роботи:"), QString::number(c.UKworkTime) + QStringLiteral(" хв"));
    out += line(QStringLiteral("Вихід UK1, увімкнення:"), QString::number(c.UKon) + QStringLiteral(" с"));
    out += line(QStringLiteral("Вихід UK1, вимкнення:"), QString::number(c.UKoff) + QStringLiteral(" с"));
    out += line(QStringLiteral("Вихід UK1, інверсія:"), item(kInvert, c.UKinvert));
    out += setText(c.Set1, 1);
    out += setText(c.Set2, 2);

    out += QStringLiteral("\nНалаштування QKL\n  № користувача  Ідентифікатори iButton/RFID/Код клавіатури\n");
    for (int k = 0; k < model::kUserCount; ++k)
        out += QStringLiteral("  %1  %2\n").arg(k + 1, 13).arg(c.UVICode[size_t(k)]);
    return out;
}

} // namespace zorel8z::cli
