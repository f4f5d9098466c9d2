#pragma once

#include "model/PanelConfig.h"

#include <QString>
#include <random>

namespace zorel8z::test {

// A random configuration whose every field is within what the window's controls accept.
class RandomConfig {
public:
    explicit RandomConfig(unsigned seed) : m_rng(seed) {}

    model::PanelConfig next() {
        model::PanelConfig c;
        c.numPPK = pick(0, 65536);
        c.serverIP = address();
        c.serverPort = pick(0, 65535);
        c.apn = apn();
        c.apn2 = apn();
        c.pwd = pick(0, 3) == 0 ? QStringLiteral("      ") : digits(6);
        for (auto& u : c.users) {
            u.group = QString::number(pick(1, 8));
            u.password = digits(4);
        }
        for (auto& z : c.lines)
            z = {pick(1, 8), pick(0, 3), pick(0, 6)};
        c.PwdLev1 = digits(5);
        c.PwdLev2 = digits(5);
        c.LowLevelV = digits(5);
        c.HiLevelV = digits(5);
        c.ppkType = pick(0, 1);
        c.timeDelay = pick(1, 45);
        c.timeDelay2 = pick(1, 45);
        c.UKworkTime = pick(0, 60);
        c.UKon = pick(1, 60);
        c.UKoff = pick(0, 60);
        c.UKinvert = pick(0, 1);
        c.Set1 = setInput();
        c.Set2 = setInput();
        for (auto& code : c.UVICode)
            code = hex(16);
        c.redIP = address();
        c.redPort = pick(0, 65535);
        return c;
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

private:
    QString digits(int n) {
        QString s;
        for (int k = 0; k < n; ++k)
            s += QChar('0' + pick(0, 9));
        return s;
    }
    QString hex(int n) {
        static const char kHex[] = "0123456789ABCDEF";
        QString s;
        for (int k = 0; k < n; ++k)
            s += QLatin1Char(kHex[pick(0, 15)]);
        return s;
    }
    QString address() {
        QString s;
        for (int k = 0; k < 4; ++k)
            s += (k ? QStringLiteral(".") : QString()) + QString::number(pick(0, 255)).rightJustified(3, QLatin1Char('0'));
        return s;
    }
    // Printable ASCII without the double quote and the backslash, as the APN fields accept.
    QString apn() {
        QString s;
        const int len = pick(0, 30);
        while (s.size() < len) {
            const int c = pick(0x20, 0x7E);
            if (c != '"' && c != '\\')
                s += QChar(c);
        }
        return s;
    }
    model::SetInput setInput() {
        model::SetInput in;
        in.group = pick(0, 8);
        in.indicator = in.group > 0 && pick(0, 1) == 1;
        return in;
    }

    std::mt19937 m_rng;
};

} // namespace zorel8z::test
