#pragma once

#include "model/PanelConfig.h"

#include <QString>

namespace zorel8z::remote {
class HttpClient;
}

namespace zorel8z::controller {

using model::ConnectionType;

// Frame and block codec and the password code. Holds no state: one instance serves everybody.
//
// Texts are handled character by character; in a frame every character stands for one byte
// (codes 0..255). Block values are returned as their JSON text, so string values keep their quotes.
class TController {
public:
    // Widths of the areas of a write frame (prefix + block 1 share the first).
    static constexpr int kBlock1Width = 152;
    static constexpr int kBlock2Width = 150;
    static constexpr int kBlock3Width = 50;
    static constexpr int kBlock4Width = 150;
    static constexpr int kBlock5Width = 400;
    static constexpr int kGapWidth = 61;
    static constexpr int kRedundantWidth = 36;

    QString USBConf(const QString& n, const QString& a, const QString& i, const QString& p, const QString& q,
                    const QString& r, const QString& u, const QString& l, const QString& p1, const QString& p2,
                    const QString& lowVLevel, const QString& hiVLevel, const QString& ppkType,
                    const QString& timeDelay, const QString& timeDelay2, const QString& UKworkTime,
                    const QString& UKon, const QString& UKoff, const QString& UKinvert, const QString& Set1,
                    const QString& Set2, const QString& b, const QString& redIP, const QString& redPort) const;

    QString Block1USBConf(const QString& n, const QString& a, const QString& i, const QString& p,
                          const QString& q, const QString& r) const;
    QString Block2USBConf(const QString& u) const;
    QString Block3USBConf(const QString& l) const;
    QString Block4USBConf(const QString& p1, const QString& p2, const QString& lowVLevel,
                          const QString& hiVLevel, const QString& ppkType, const QString& timeDelay,
                          const QString& timeDelay2, const QString& UKworkTime, const QString& UKon,
                          const QString& UKoff, const QString& UKinvert, const QString& Set1,
                          const QString& Set2) const;
    QString Block5USBConf(const QString& b) const;

    // Block objects alone (no padding), as the frame and the single-block frames hold them.
    static QString block1Object(const QString& n, const QString& a, const QString& i, const QString& p,
                                const QString& q, const QString& r);
    static QString block4Object(const QString& p1, const QString& p2, const QString& lowVLevel,
                                const QString& hiVLevel, const QString& ppkType, const QString& timeDelay,
                                const QString& timeDelay2, const QString& UKworkTime, const QString& UKon,
                                const QString& UKoff, const QString& UKinvert, const QString& Set1,
                                const QString& Set2);

    // The block parsers return 0 or the value of "err_conf"; they throw FormatError when the input is
    // not one JSON object and ConversionError when "err_conf" is not an integer.
    int ParseBlock1Conf(ConnectionType TypeConn, const QString& conf, QString& numPPK, QString& serverIP,
                        QString& serverPort, QString& apn, QString& apn2, QString& pwd) const;
    int ParseBlock2Conf(ConnectionType TypeConn, const QString& conf, QString& users) const;
    int ParseBlock3Conf(ConnectionType TypeConn, const QString& conf, QString& lines) const;
    int ParseBlock4Conf(ConnectionType TypeConn, const QString& conf, QString& PwdLev1, QString& PwdLev2,
                        QString& LowLevelV, QString& HiLevelV, QString& ppkType, QString& timeDelay,
                        QString& timeDelay2, QString& UKworkTime, QString& UKon_off, QString& UKinvert,
                        QString& Set12) const;
    int ParseBlock5Conf(ConnectionType TypeConn, const QString& conf, QString& UVICode) const;

    // One redundant block object as the whole text; throws FormatError with the redundant-block text.
    int ParseRedundantIP(const QString& redundantIPPort, QString& rIP, QString& rPort) const;
    // The redundant block of a received-form frame (a file): window 962..997, block rules.
    int ReadRedundantIP(const QString& conf, QString& IP, QString& Port) const;
    // The redundant block in what a panel sent: searched in 961..997 of a text longer than 995.
    // Returns false (outputs untouched) when no braces are there.
    bool FindRedundantIP(const QString& received, QString& rIP, QString& rPort) const;

    // Station server requests: one POST each, the reply body returned as text. `serverIP` is read
    // group by group as decimal (never octal); an address that does not read so throws Error with
    // "Не коректний IP серверу ПЦС". Request failures throw the client's Error.
    QString SetQueryPPKConf(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                            quint16 numPPK, const QString& pwd, const QString& block, int timeoutMs) const;
    QString ReadServerConf(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                           quint16 numPPK, const QString& block, int timeoutMs) const;
    QString WriteConf1(remote::HttpClient& httpService, const QString& serverIP, int serverPort, quint16 numPPK,
                       const QString& pwd, const QString& n, const QString& a, const QString& i, const QString& p,
                       const QString& q, int timeoutMs) const;
    QString WriteConf2(remote::HttpClient& httpService, const QString& serverIP, int serverPort, quint16 numPPK,
                       const QString& pwd, const QString& u, int timeoutMs) const;
    QString WriteConf3(remote::HttpClient& httpService, const QString& serverIP, int serverPort, quint16 numPPK,
                       const QString& pwd, const QString& l, int timeoutMs) const;
    QString WriteConf4(remote::HttpClient& httpService, const QString& serverIP, int serverPort, quint16 numPPK,
                       const QString& pwd, const QString& p1, const QString& p2, const QString& z,
                       const QString& x, const QString& g, const QString& s, const QString& v, const QString& f,
                       const QString& t, const QString& h, const QString& l, int timeoutMs) const;
    // 0 = written, else the station's failure code (1 = the panel refused access). Throws Error with
    // "Помилка запису конфігурації! Перевірте адресу серверу TORV!" for a reply that is not a JSON
    // object, ConversionError for an "err_wconf" that is not a number.
    int ParseWriteServerConf(const QString& response) const;

    QString codePwd(const QString& sGr, const QString& sPwd) const;
    void decodePwd(const QString& codePwd, QString& sGr, QString& sPwd) const;

    // pad(text, width): blanks appended up to width; a longer text is returned unchanged.
    static QString pad(const QString& text, int width);
    // Positions first..last (1-based, inclusive) of a text, cut at its end.
    static QString window(const QString& text, int first, int last);
};

} // namespace zorel8z::controller
