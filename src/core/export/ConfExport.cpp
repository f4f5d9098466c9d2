#include "export/ConfExport.h"

#include "export/IniFile.h"

#include <QStringList>
#include <algorithm>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace zorel8z::exporting {

namespace {

QString jsonText(const rapidjson::Value& value) {
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    value.Accept(writer);
    return QString::fromUtf8(buffer.GetString(), static_cast<qsizetype>(buffer.GetSize()));
}

QString stringOf(const rapidjson::Value& value) {
    if (value.IsString())
        return QString::fromUtf8(value.GetString(), static_cast<qsizetype>(value.GetStringLength()));
    return jsonText(value);
}

// The member of that name when it is an array, else null (absent or of another kind).
const rapidjson::Value* arrayMember(const rapidjson::Value& object, const char* name) {
    if (!object.IsObject())
        return nullptr;
    const auto it = object.FindMember(name);
    if (it == object.MemberEnd() || !it->value.IsArray())
        return nullptr;
    return &it->value;
}

void writePanel(IniFile& ini) {
    const QString s = QStringLiteral("PPK");
    ini.writeString(s, QStringLiteral("Class_Name"), conf::kClassName);
    ini.writeString(s, QStringLiteral("Tranzit"), QStringLiteral("0"));
    ini.writeString(s, QStringLiteral("ID"), QStringLiteral("1"));
    ini.writeString(s, QStringLiteral("Field"), conf::kFieldList);
    // Deliberately "TIMEOUT_ACTIONE", unlike the field list: exported files have always carried this key.
    const char* const emptyKeys[] = {"Description",  "PLACE",           "SN",         "VER",
                                     "GSM_PHONE",    "GSM_PHONE1",      "SRP_PHONE",  "SRP_CITY",
                                     "SRP_BASE",     "REGISTRATION",    "SPIN_PHONE", "SPIN_RADION_STATION",
                                     "SWITCH_PHONE", "TIMEOUT_ACTIONE", "SPIN_ROUTE", "TIMEOUT"};
    for (const char* key : emptyKeys)
        ini.writeString(s, QLatin1String(key), QString());
    ini.writeString(s, QStringLiteral("CONTROL_TIME"), conf::kControlTime);
}

void writeGroup(IniFile& ini, const QString& g) {
    const QString s = QStringLiteral("PIPELINE_GROUP");
    const QString prefix = QStringLiteral("Group_") + g + QLatin1Char('_');
    ini.writeString(s, prefix + QStringLiteral("ID"), g);
    ini.writeString(s, prefix + QStringLiteral("OID"), g);
    ini.writeString(s, prefix + QStringLiteral("Enabled"), QStringLiteral("1"));
    ini.writeString(s, prefix + QStringLiteral("Name"), conf::kGroupName + g);
    ini.writeString(s, prefix + QStringLiteral("Description"), QString());
}

void writePipe(IniFile& ini, const QString& g, const QString& z) {
    const QString pipeline = QStringLiteral("PIPELINE");
    const QString link = QStringLiteral("PIPELINELINK");
    const QString prefix = QStringLiteral("Pipe_") + z + QLatin1Char('_');
    ini.writeString(pipeline, prefix + QStringLiteral("Group"), g);
    ini.writeString(pipeline, prefix + QStringLiteral("ID"), z);
    ini.writeString(pipeline, prefix + QStringLiteral("ParentID"), g);
    ini.writeString(pipeline, prefix + QStringLiteral("OID"), z);
    ini.writeString(pipeline, prefix + QStringLiteral("Enabled"), QStringLiteral("1"));
    ini.writeString(pipeline, prefix + QStringLiteral("Name"), conf::kPipeName + z);
    ini.writeString(pipeline, prefix + QStringLiteral("Description"), QString());

    ini.writeString(link, prefix + QStringLiteral("ID"), z);
    ini.writeString(link, prefix + QStringLiteral("Pipe"), z);
    ini.writeString(link, prefix + QStringLiteral("Description"), QString());
    ini.writeString(link, prefix + QStringLiteral("OID"), z);
    ini.writeString(link, prefix + QStringLiteral("GroupNumber"), g);
    ini.writeString(link, prefix + QStringLiteral("zone"), z);
}

void writePlace(IniFile& ini, const QString& g) {
    const QString s = QStringLiteral("PLACE");
    const QString prefix = QStringLiteral("PLACE_") + g + QLatin1Char('_');
    ini.writeString(s, prefix + QStringLiteral("OID"), g);
    ini.writeString(s, prefix + QStringLiteral("Name"), conf::kPlaceName + g);
    ini.writeString(s, prefix + QStringLiteral("Description"), QString());
    ini.writeString(s, prefix + QStringLiteral("zoneGroup"), g);
}

void writeObject(IniFile& ini, int places) {
    const QString s = QStringLiteral("GRDOBJ");
    ini.writeString(s, QStringLiteral("OID"), QStringLiteral("1"));
    ini.writeString(s, QStringLiteral("Name"), conf::kObjectName);
    ini.writeString(s, QStringLiteral("Description"), QString());
    ini.writeString(s, QStringLiteral("CountPlaces"), QString::number(places));
}

} // namespace

QString GetConfFile(const QString& FPath, const QString& JData) {
    IniFile ini(FPath);

    rapidjson::Document doc;
    const QByteArray utf8 = JData.toUtf8();
    doc.Parse(utf8.constData(), static_cast<size_t>(utf8.size()));

    // The group numbers are taken from the array's JSON text, so a group reads exactly as the summary
    // wrote it.
    QStringList groupList;
    QString oidList;
    const rapidjson::Value* groups = arrayMember(doc, "groups");
    if (groups) {
        QString text = jsonText(*groups);
        text.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
        if (!text.isEmpty())
            groupList = text.split(QLatin1Char(','));
        oidList = text.replace(QLatin1Char(','), QLatin1Char(';'));
    }

    writePanel(ini);
    const QString cfg = QStringLiteral("PPK_ZRL128_CFG");
    ini.writeString(cfg, QStringLiteral("ID"), QStringLiteral("100"));
    ini.writeString(cfg, QStringLiteral("Count"), QStringLiteral("0"));
    ini.writeString(cfg, QStringLiteral("OID_List"), QString());
    ini.writeString(QStringLiteral("PIPELINE_GROUP"), QStringLiteral("OID_List"), oidList);

    const rapidjson::Value* gp = arrayMember(doc, "gp");
    if (!gp)
        return QString();
    // "groups" and "gp" list the same groups in the same order; a shorter group list ends the loop.
    const rapidjson::SizeType count =
        std::min<rapidjson::SizeType>(gp->Size(), static_cast<rapidjson::SizeType>(groupList.size()));
    for (rapidjson::SizeType i = 0; i < count; ++i) {
        const QString& g = groupList[static_cast<qsizetype>(i)];
        writeGroup(ini, g);
        const QByteArray memberName = (QStringLiteral("gp_") + g).toUtf8();
        if (const rapidjson::Value* zones = arrayMember((*gp)[i], memberName.constData())) {
            QStringList zoneList;
            for (const rapidjson::Value& zone : zones->GetArray()) {
                if (!zone.IsObject())
                    continue;
                const auto p = zone.FindMember("p");
                if (p == zone.MemberEnd() || !p->value.IsString())
                    continue;
                const QString z = stringOf(p->value);
                zoneList << z;
                const auto t = zone.FindMember("t");
                if (t != zone.MemberEnd())
                    ini.writeString(QStringLiteral("PIPELINE"),
                                    QStringLiteral("Pipe_") + z + QStringLiteral("_Type"),
                                    stringOf(t->value));
                writePipe(ini, g, z);
            }
            ini.writeString(QStringLiteral("PIPELINE"), QStringLiteral("OID_List_pGroups_") + g,
                            zoneList.join(QLatin1Char(';')));
        }
        writePlace(ini, g);
    }
    writeObject(ini, static_cast<int>(groups ? groups->Size() : 0));
    return QString();
}

} // namespace zorel8z::exporting

// The texts declared in ConfExport.h: defined once here, not in every file that includes it.
namespace zorel8z::exporting::conf {

const QString kClassName = QStringLiteral("PPK_ZRL128");
const QString kFieldList =
    QStringLiteral("PLACE;SN;VER;GSM_PHONE;GSM_PHONE1;SRP_PHONE;SRP_CITY;SRP_BASE;REGISTRATION;SPIN_PHONE;"
                   "SPIN_RADION_STATION;SWITCH_PHONE;TIMEOUT_ACTION;SPIN_ROUTE;TIMEOUT;CONTROL_TIME");
const QString kControlTime = QStringLiteral("0:00:00");
const QString kGroupName = QStringLiteral("Группа шлейфов_");
const QString kPipeName = QStringLiteral("Шлейф_");
const QString kPlaceName = QStringLiteral("Помещение_");
const QString kObjectName = QStringLiteral("Объект_New");

} // namespace zorel8z::exporting::conf
