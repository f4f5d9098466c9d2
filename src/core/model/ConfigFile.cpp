#include "model/ConfigFile.h"

#include "common/Errors.h"
#include "model/FrameCodec.h"

#include <QFile>
#include <QSaveFile>

namespace zorel8z::model {

QByteArray configFileContent(const controller::TController& ctl, const PanelConfig& cfg) {
    return buildWriteFrame(ctl, cfg).toLatin1().toBase64();
}

bool saveConfigFile(const controller::TController& ctl, const QString& path, const PanelConfig& cfg,
                    Ui& ui) {
    QByteArray content;
    try {
        content = configFileContent(ctl, cfg);
    } catch (const Error& e) {
        ui.showMessage(MsgIcon::Error, e.text());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        ui.showMessage(MsgIcon::Error, texts::kCannotSaveFile + QStringLiteral("\r\n") + file.errorString());
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui.showMessage(MsgIcon::Error, texts::kCannotOpenFile + QStringLiteral("\r\n") + file.errorString());
        return false;
    }
    // Only the first line counts; a configuration line is about 1.3 KB, so a megabyte is plenty and
    // keeps a wrongly chosen huge file from being read whole.
    const QByteArray content = file.read(1 << 20);
    if (file.error() != QFileDevice::NoError) {
        ui.showMessage(MsgIcon::Error, texts::kCannotOpenFile + QStringLiteral("\r\n") + file.errorString());
        return false;
    }
    return loadConfigFileContent(ctl, content, cfg, ui);
}

} // namespace zorel8z::model
