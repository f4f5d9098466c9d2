#include "sim/SimConfigIo.h"

#include "common/Ui.h"
#include "controller/TController.h"
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace zorel8z::sim {

namespace {

// Collects what the core reports, so the simulator can hand it on as one text.
class CollectingUi : public Ui {
public:
    void showMessage(MsgIcon, const QString& text) override { m_texts << text; }
    QString joined() const { return m_texts.join(QStringLiteral("; ")); }

private:
    QStringList m_texts;
};

bool isJson(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool loadPanelConfig(const QString& path, model::PanelConfig& cfg, QString& error) {
    if (!isJson(path)) {
        CollectingUi ui;
        const controller::TController ctl;
        if (!model::openConfigFile(ctl, path, cfg, ui)) {
            error = path + QStringLiteral(": ") + ui.joined();
            return false;
        }
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    model::PanelConfig next = cfg;
    QString why;
    if (!model::configFromJson(file.readAll(), next, why)) {
        error = path + QStringLiteral(": ") + why;
        return false;
    }
    cfg = next;
    return true;
}

bool savePanelConfig(const QString& path, const model::PanelConfig& cfg, QString& error) {
    if (!isJson(path)) {
        CollectingUi ui;
        const controller::TController ctl;
        if (!model::saveConfigFile(ctl, path, cfg, ui)) {
            error = path + QStringLiteral(": ") + ui.joined();
            return false;
        }
        return true;
    }
    QSaveFile file(path);
    const QByteArray json = model::configToJson(cfg);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

} // namespace zorel8z::sim
