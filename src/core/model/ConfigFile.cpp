#include "model/ConfigFile.h"

#include "common/Errors.h"
#include "model/FileAccess.h"
#include "model/FrameCodec.h"
#include "model/SaveCheck.h"

namespace zorel8z::model {

QByteArray configFileContent(const controller::TController& ctl, const PanelConfig& cfg) {
    return buildWriteFrame(ctl, cfg).toLatin1().toBase64();
}

bool saveConfigFile(const controller::TController& ctl, const QString& path, const PanelConfig& cfg, Ui& ui) {
    QByteArray content;
    try {
        // Nothing is written that would not read back as this configuration.
        const QString refusal = c8zRefusal(ctl, cfg);
        if (!refusal.isEmpty()) {
            ui.showMessage(MsgIcon::Error, refusal);
            return false;
        }
        content = configFileContent(ctl, cfg);
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        return false;
    }
    QString reason;
    if (!writeFileSafely(path, content, reason)) {
        ui.showMessage(MsgIcon::Error, texts::kCannotSaveFile + QStringLiteral("\r\n") + reason);
        return false;
    }
    return true;
}

bool loadConfigFileContent(const controller::TController& ctl, const QByteArray& content, PanelConfig& cfg,
                           Ui& ui) {
    QByteArray line = content;
    const qsizetype eol = line.indexOf('\n');
    if (eol >= 0)
        line.truncate(eol);
    if (line.endsWith('\r'))
        line.chop(1);

    // Strict: the text must be exactly what encoding its decoded bytes gives back.
    const auto decoded = QByteArray::fromBase64Encoding(line, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.toBase64() != line) {
        ui.showMessage(MsgIcon::Error, texts::kBadConfigFile);
        return false;
    }

    const QString text = QString::fromLatin1(decoded.decoded).mid(2);
    PanelConfig next = cfg;
    try {
        decodeFileText(ctl, text, next, ui);
    } catch (const Error&) {
        ui.showMessage(MsgIcon::Error, texts::kBadConfigFile);
        return false;
    }
    cfg = next;
    return true;
}

bool openConfigFile(const controller::TController& ctl, const QString& path, PanelConfig& cfg, Ui& ui) {
    QByteArray content;
    QString reason;
    if (!readSmallFile(path, content, reason)) {
        ui.showMessage(MsgIcon::Error, texts::kCannotOpenFile + QStringLiteral("\r\n") + reason);
        return false;
    }
    return loadConfigFileContent(ctl, content, cfg, ui);
}

} // namespace zorel8z::model

// The texts declared in ConfigFile.h: defined once here, not in every file that includes it.
namespace zorel8z::model::configfile {

const QString kExtension = QStringLiteral("c8z");
const QString kDefaultName = QStringLiteral("conf");
const QString kFilter = QStringLiteral("Файли конфігурації ППК \"Зорел-8Z\" (*.c8z)");

} // namespace zorel8z::model::configfile
