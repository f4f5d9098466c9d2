#include "model/FrameCodec.h"

#include "common/Errors.h"
#include "model/Packing.h"

namespace zorel8z::model {

using controller::TController;

QString buildWriteFrame(const TController& ctl, const PanelConfig& cfg, bool removeAddressBlanks) {
    NetworkTexts net = packNetwork(cfg);
    QString redIP = cfg.redIP;
    if (removeAddressBlanks) {
        net.i.remove(QLatin1Char(' '));
        redIP.remove(QLatin1Char(' '));
    }
    const ParamTexts par = packParams(cfg);
    return ctl.USBConf(net.n, net.a, net.i, net.p, net.q, net.r, packUsers(ctl, cfg), packZones(cfg), par.p1,
                       par.p2, par.low, par.hi, par.ppkType, par.timeDelay, par.timeDelay2, par.UKworkTime,
                       par.UKon, par.UKoff, par.UKinvert, par.Set1, par.Set2, packKeyCodes(cfg), redIP,
                       QString::number(cfg.redPort));
}

QString blockObject(const TController& ctl, const PanelConfig& cfg, int block) {
    switch (block) {
    case 1: {
        const NetworkTexts t = packNetwork(cfg);
        return TController::block1Object(t.n, t.a, t.i, t.p, t.q, t.r);
    }
    case 2:
        return QStringLiteral("{\"u\":\"") + packUsers(ctl, cfg) + QStringLiteral("\"}");
    case 3:
        return QStringLiteral("{\"l\":\"") + packZones(cfg) + QStringLiteral("\"}");
    default: {
        const ParamTexts t = packParams(cfg);
        return TController::block4Object(t.p1, t.p2, t.low, t.hi, t.ppkType, t.timeDelay, t.timeDelay2,
                                         t.UKworkTime, t.UKon, t.UKoff, t.UKinvert, t.Set1, t.Set2);
    }
    }
}

int decodeNetworkBlock(const TController& ctl, ConnectionType type, const QString& text, PanelConfig& cfg) {
    NetworkTexts t;
    const int status = ctl.ParseBlock1Conf(type, text, t.n, t.i, t.p, t.a, t.q, t.r);
    if (status == 0)
        unpackNetwork(cfg, t);
    return status;
}

int decodeUsersBlock(const TController& ctl, ConnectionType type, const QString& text, PanelConfig& cfg) {
    QString users;
    const int status = ctl.ParseBlock2Conf(type, text, users);
    if (status == 0)
        unpackUsers(ctl, cfg, users);
    return status;
}

int decodeZonesBlock(const TController& ctl, ConnectionType type, const QString& text, PanelConfig& cfg) {
    QString lines;
    const int status = ctl.ParseBlock3Conf(type, text, lines);
    if (status == 0)
        unpackZones(cfg, lines);
    return status;
}

int decodeParamsBlock(const TController& ctl, ConnectionType type, const QString& text, PanelConfig& cfg,
                      Ui& ui) {
    ParsedParams p;
    const int status = ctl.ParseBlock4Conf(type, text, p.PwdLev1, p.PwdLev2, p.LowLevelV, p.HiLevelV,
                                           p.ppkType, p.timeDelay, p.timeDelay2, p.UKworkTime, p.UKon_off,
                                           p.UKinvert, p.Set12);
    if (status == 0)
        unpackParams(cfg, p, ui);
    return status;
}

int decodeKeyCodesBlock(const TController& ctl, ConnectionType type, const QString& text, PanelConfig& cfg) {
    QString codes;
    const int status = ctl.ParseBlock5Conf(type, text, codes);
    if (status == 0)
        unpackKeyCodes(cfg, codes);
    return status;
}

namespace {
void require(int status) {
    if (status != 0)
        throw FormatError(texts::kBadConfigFormat);
}
} // namespace

void decodeFrameBlocks(const TController& ctl, const QString& text, PanelConfig& cfg, Ui& ui) {
    require(decodeNetworkBlock(ctl, ConnectionType::USB, text, cfg));
    require(decodeUsersBlock(ctl, ConnectionType::USB, text, cfg));
    require(decodeZonesBlock(ctl, ConnectionType::USB, text, cfg));
    require(decodeParamsBlock(ctl, ConnectionType::USB, text, cfg, ui));
    require(decodeKeyCodesBlock(ctl, ConnectionType::USB, text, cfg));
}

void decodeFileText(const TController& ctl, const QString& text, PanelConfig& cfg, Ui& ui) {
    decodeFrameBlocks(ctl, text, cfg, ui);
    QString ip;
    QString port;
    require(ctl.ReadRedundantIP(text, ip, port));
    unpackRedundant(cfg, ip, port);
}

} // namespace zorel8z::model
