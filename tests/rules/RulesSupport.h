#pragma once

#include "model/PanelConfig.h"
#include "rules/EditorState.h"
#include "support/Printers.h"
#include "support/RecordingUi.h"

#include <QString>
#include <QStringList>

// Shared ground of the rules tests: a configuration that every check accepts, and the expected
// message texts typed out independently of the code's constants, so a wrong character shows.
namespace zorel8z::test::rules {

inline model::PanelConfig validConfig() {
    model::PanelConfig c;
    c.numPPK = 57;
    c.serverIP = QStringLiteral("010.000.000.001");
    c.serverPort = 5000;
    c.redIP = QStringLiteral("010.000.000.002");
    c.redPort = 5001;
    c.pwd = QStringLiteral("123456");
    c.apn = QStringLiteral("internet");
    c.apn2 = QStringLiteral("internet2");
    return c;
}

inline zorel8z::rules::EditorState localState() {
    zorel8z::rules::EditorState s;
    s.portSelected = true;
    return s;
}

inline zorel8z::rules::EditorState remoteState(zorel8z::rules::Page page) {
    zorel8z::rules::EditorState s;
    s.mode = zorel8z::rules::Mode::Remote;
    s.openPage = page;
    s.seNumPPK = 57;
    s.edPwd = QStringLiteral("123456");
    return s;
}

inline QString U(const char* s) { return QString::fromUtf8(s); }

// Passes the texts as one list; an empty list for "no message".
inline QStringList T(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts)
        out << QString::fromUtf8(t);
    return out;
}

namespace text {
constexpr const char* numConfPPKZero = "Введіть номер ППК на ПЦС, відмінний від нуля!";
constexpr const char* serverIPZero = "Введіть основну IP адресу, відмінну від нуля!";
constexpr const char* serverPortZero = "Введіть основний порт, відмінний від нуля!";
constexpr const char* redIPZero = "Введіть резервну IP адресу, відмінну від нуля!";
constexpr const char* redPortZero = "Введіть резервний порт, відмінний від нуля!";
constexpr const char* remotePwd = "Введіть пароль віддаленого конфігурування!";
constexpr const char* remotePwdZero = "Пароль віддаленого конфігурування не повинен починатися з 0!";
constexpr const char* apn1 = "Введіть назву APN SIM1!";
constexpr const char* apn2 = "Введіть назву APN SIM2!";
constexpr const char* groupMissing = "Ввведіть номер групи від 1-8 для кожного користувача!";
constexpr const char* pwdLength = "Ввведіть паролі довжиною 4 символи для кожного користувача!";
constexpr const char* paramsEmpty = "Запис блока \"Параметри ППК\" неможливий! Заповніть числові поля!";
constexpr const char* pwdZero = "Пароль користувача не повинен починатись з 0!";
constexpr const char* pwdUnique = "Паролі повинні бути унікальні для кожного з користувачів групи!";
constexpr const char* pwdNeighbours = "Паролі не повинні відрізнятися на 1!";
constexpr const char* pwd9999 = "Пароль користувача не може мати значення 9999!";
constexpr const char* codesUnique = "Коди iButton/RFID повинні бути унікальні!";
constexpr const char* adminZero = "Пароль Адміністратора не повинен починатись з 0!";
constexpr const char* mainFormat = "Невірний формат основної IP адреси серверу ПЦС!";
constexpr const char* redFormat = "Невірний формат резервної IP адреси серверу ПЦС!";
constexpr const char* badMainIP = "Не корректний Основний IP";
constexpr const char* badRedIP = "Не коректний Резервний IP";
constexpr const char* badRemoteIP = "Не коректний IP серверу ПЦС";
constexpr const char* noPort = "Не вибраний COM порт драйверу ППК!";
constexpr const char* numPPKZero = "Введіть номер ППК, відмінний від 0!";
constexpr const char* numPPKRange = "Номер ППК в ПЦС повинен бути від 1 до 65535!";
constexpr const char* portRange = "Порт серверу ПЦС повинен бути від 1 до 65535!";
constexpr const char* badCode = "Невірний формат коду!";
constexpr const char* badApn = "Недопустимий символ в APN!";
constexpr const char* hidden =
    "Паролі користувачів приховані! Введіть паролі або зчитайте конфігурацію по USB!";
} // namespace text

inline QString groupAbsent(int user) {
    return QStringLiteral("Група користувача №%1 відсутня на вкладці \"Шлейфи\"!").arg(user);
}

} // namespace zorel8z::test::rules
