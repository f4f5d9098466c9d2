// The station server requests of TController and the decoder of a write reply.
#include "controller/TController.h"

#include "common/Errors.h"
#include "controller/JsonDepth.h"
#include "remote/HttpClient.h"
#include "rules/Checks.h"
#include "rules/Messages.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <QStringList>

#include <cstring>

namespace zorel8z::controller {

using remote::FormFields;

namespace {

// The host part of the URL. The address field holds zero-padded groups ("010.000.000.001"), which
// common resolvers read as octal; each group is read here as a decimal number and written without
// its leading zeros, so the request reaches the address the installer meant. An empty field
// (0.0.0.0 once normalised) names no server; Linux would quietly connect to this machine.
QString hostOf(const QString& serverIP) {
    QString compact = serverIP;
    compact.remove(QLatin1Char(' '));
    const std::optional<QString> normal = rules::NormalizeIP(compact);
    if (!normal || normal->isEmpty() || *normal == QLatin1String("000.000.000.000"))
        throw Error(rules::msg::kBadRemoteServerIP);
    QStringList groups = normal->split(QLatin1Char('.'));
    for (QString& g : groups)
        g = QString::number(g.toInt());
    return groups.join(QLatin1Char('.'));
}

QString post(remote::HttpClient& http, const QString& serverIP, int serverPort, const char* path,
             const FormFields& fields, int timeoutMs) {
    const QString url = QStringLiteral("http://") + hostOf(serverIP) + QLatin1Char(':') +
                        QString::number(serverPort) + QLatin1String(path);
    return http.post(url, remote::formBody(fields), timeoutMs);
}

// "ppk_num" and "pc" lead every request that carries a password.
FormFields withPassword(quint16 numPPK, const QString& pwd) {
    return {{QStringLiteral("ppk_num"), QString::number(numPPK)}, {QStringLiteral("pc"), pwd}};
}

} // namespace

QString TController::SetQueryPPKConf(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                     quint16 numPPK, const QString& pwd, const QString& block,
                                     int timeoutMs) const {
    FormFields fields = withPassword(numPPK, pwd);
    fields.emplace_back(QStringLiteral("block"), block);
    return post(httpService, serverIP, serverPort, "/get_config", fields, timeoutMs);
}

QString TController::ReadServerConf(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                    quint16 numPPK, const QString& block, int timeoutMs) const {
    const FormFields fields = {{QStringLiteral("ppk_num"), QString::number(numPPK)},
                               {QStringLiteral("block"), block}};
    return post(httpService, serverIP, serverPort, "/read_config", fields, timeoutMs);
}

QString TController::WriteConf1(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                quint16 numPPK, const QString& pwd, const QString& n, const QString& a,
                                const QString& i, const QString& p, const QString& q, int timeoutMs) const {
    // The panel's own remote password ("r") is never sent: it can be changed over USB only.
    FormFields fields = withPassword(numPPK, pwd);
    fields.insert(fields.end(), {{QStringLiteral("n"), n},
                                 {QStringLiteral("a"), a},
                                 {QStringLiteral("i"), i},
                                 {QStringLiteral("p"), p},
                                 {QStringLiteral("q"), q}});
    return post(httpService, serverIP, serverPort, "/set_config1", fields, timeoutMs);
}

QString TController::WriteConf2(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                quint16 numPPK, const QString& pwd, const QString& u, int timeoutMs) const {
    FormFields fields = withPassword(numPPK, pwd);
    fields.emplace_back(QStringLiteral("u"), u);
    return post(httpService, serverIP, serverPort, "/set_config2", fields, timeoutMs);
}

QString TController::WriteConf3(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                quint16 numPPK, const QString& pwd, const QString& l, int timeoutMs) const {
    FormFields fields = withPassword(numPPK, pwd);
    fields.emplace_back(QStringLiteral("l"), l);
    return post(httpService, serverIP, serverPort, "/set_config3", fields, timeoutMs);
}

QString TController::WriteConf4(remote::HttpClient& httpService, const QString& serverIP, int serverPort,
                                quint16 numPPK, const QString& pwd, const QString& p1, const QString& p2,
                                const QString& z, const QString& x, const QString& g, const QString& s,
                                const QString& v, const QString& f, const QString& t, const QString& h,
                                const QString& l, int timeoutMs) const {
    // Block 4's members "1" and "2" travel as "p1" and "p2".
    FormFields fields = withPassword(numPPK, pwd);
    fields.insert(fields.end(), {{QStringLiteral("p1"), p1},
                                 {QStringLiteral("p2"), p2},
                                 {QStringLiteral("z"), z},
                                 {QStringLiteral("x"), x},
                                 {QStringLiteral("g"), g},
                                 {QStringLiteral("s"), s},
                                 {QStringLiteral("v"), v},
                                 {QStringLiteral("f"), f},
                                 {QStringLiteral("t"), t},
                                 {QStringLiteral("h"), h},
                                 {QStringLiteral("l"), l}});
    return post(httpService, serverIP, serverPort, "/set_config4", fields, timeoutMs);
}

int TController::ParseWriteServerConf(const QString& response) const {
    const QByteArray bytes = response.toUtf8();
    if (!jsonDepthWithin(bytes.constData(), size_t(bytes.size())))
        throw Error(texts::kBadWriteReply);
    rapidjson::Document doc;
    // Iterative parsing: a hostile reply of nested brackets must not exhaust the stack.
    doc.Parse<rapidjson::kParseIterativeFlag>(bytes.constData(), size_t(bytes.size()));
    if (doc.HasParseError() || !doc.IsObject())
        throw Error(texts::kBadWriteReply);

    // Whichever of the two names comes first decides.
    for (auto m = doc.MemberBegin(); m != doc.MemberEnd(); ++m) {
        const char* name = m->name.GetString();
        const size_t nameLen = m->name.GetStringLength();
        if (nameLen == 6 && std::memcmp(name, "w_conf", 6) == 0)
            return 0;
        if (nameLen == 9 && std::memcmp(name, "err_wconf", 9) == 0) {
            // The member's JSON text: a string keeps its quotes and so fails the conversion.
            rapidjson::StringBuffer sb;
            rapidjson::Writer<rapidjson::StringBuffer> writer(sb);
            m->value.Accept(writer);
            return strToInt(QString::fromUtf8(sb.GetString(), qsizetype(sb.GetSize())));
        }
    }
    return 0;
}

} // namespace zorel8z::controller
