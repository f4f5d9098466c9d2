#include "common/Errors.h"
#include "export/ConfExport.h"
#include "export/ZoneSummary.h"
#include "support/Printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace zorel8z;
using namespace zorel8z::exporting;
using Zones = std::array<model::ZoneEntry, model::kZoneCount>;
using Lines = std::vector<std::string>;

namespace {

std::string readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll().toStdString();
}

Lines splitCrLf(const std::string& bytes) {
    Lines lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// The lines under one section header, up to the next header.
Lines section(const std::string& bytes, const std::string& name) {
    Lines out;
    bool inside = false;
    for (const std::string& line : splitCrLf(bytes)) {
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + name + "]";
            continue;
        }
        if (inside)
            out.push_back(line);
    }
    return out;
}

Lines headers(const std::string& bytes) {
    Lines out;
    for (const std::string& line : splitCrLf(bytes))
        if (!line.empty() && line.front() == '[')
            out.push_back(line);
    return out;
}

Lines containing(const Lines& lines, const std::vector<std::string>& parts) {
    Lines out;
    for (const std::string& line : lines)
        for (const std::string& part : parts)
            if (line.find(part) != std::string::npos) {
                out.push_back(line);
                break;
            }
    return out;
}

Zones withGroups(const std::array<int, model::kZoneCount>& groups) {
    Zones zones{};
    for (int i = 0; i < model::kZoneCount; ++i)
        zones[i].group = groups[i];
    return zones;
}

// The whole file for a fresh configuration: all zones in group 1, Normal, no modifier. The Cyrillic
// default names are in Windows-1251.
const std::string kFreshExport =
    "[PPK]\r\n"
    "Class_Name=PPK_ZRL128\r\n"
    "Tranzit=0\r\n"
    "ID=1\r\n"
    "Field=PLACE;SN;VER;GSM_PHONE;GSM_PHONE1;SRP_PHONE;SRP_CITY;SRP_BASE;REGISTRATION;SPIN_PHONE;"
    "SPIN_RADION_STATION;SWITCH_PHONE;TIMEOUT_ACTION;SPIN_ROUTE;TIMEOUT;CONTROL_TIME\r\n"
    "Description=\r\n"
    "PLACE=\r\n"
    "SN=\r\n"
    "VER=\r\n"
    "GSM_PHONE=\r\n"
    "GSM_PHONE1=\r\n"
    "SRP_PHONE=\r\n"
    "SRP_CITY=\r\n"
    "SRP_BASE=\r\n"
    "REGISTRATION=\r\n"
    "SPIN_PHONE=\r\n"
    "SPIN_RADION_STATION=\r\n"
    "SWITCH_PHONE=\r\n"
    "TIMEOUT_ACTIONE=\r\n"
    "SPIN_ROUTE=\r\n"
    "TIMEOUT=\r\n"
    "CONTROL_TIME=0:00:00\r\n"
    "[PPK_ZRL128_CFG]\r\n"
    "ID=100\r\n"
    "Count=0\r\n"
    "OID_List=\r\n"
    "[PIPELINE_GROUP]\r\n"
    "OID_List=1\r\n"
    "Group_1_ID=1\r\n"
    "Group_1_OID=1\r\n"
    "Group_1_Enabled=1\r\n"
    "Group_1_Name=\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_1\r\n"
    "Group_1_Description=\r\n"
    "[PIPELINE]\r\n"
    "Pipe_1_Type=0\r\n"
    "Pipe_1_Group=1\r\n"
    "Pipe_1_ID=1\r\n"
    "Pipe_1_ParentID=1\r\n"
    "Pipe_1_OID=1\r\n"
    "Pipe_1_Enabled=1\r\n"
    "Pipe_1_Name=\xD8\xEB\xE5\xE9\xF4_1\r\n"
    "Pipe_1_Description=\r\n"
    "Pipe_2_Type=0\r\n"
    "Pipe_2_Group=1\r\n"
    "Pipe_2_ID=2\r\n"
    "Pipe_2_ParentID=1\r\n"
    "Pipe_2_OID=2\r\n"
    "Pipe_2_Enabled=1\r\n"
    "Pipe_2_Name=\xD8\xEB\xE5\xE9\xF4_2\r\n"
    "Pipe_2_Description=\r\n"
    "Pipe_3_Type=0\r\n"
    "Pipe_3_Group=1\r\n"
    "Pipe_3_ID=3\r\n"
    "Pipe_3_ParentID=1\r\n"
    "Pipe_3_OID=3\r\n"
    "Pipe_3_Enabled=1\r\n"
    "Pipe_3_Name=\xD8\xEB\xE5\xE9\xF4_3\r\n"
    "Pipe_3_Description=\r\n"
    "Pipe_4_Type=0\r\n"
    "Pipe_4_Group=1\r\n"
    "Pipe_4_ID=4\r\n"
    "Pipe_4_ParentID=1\r\n"
    "Pipe_4_OID=4\r\n"
    "Pipe_4_Enabled=1\r\n"
    "Pipe_4_Name=\xD8\xEB\xE5\xE9\xF4_4\r\n"
    "Pipe_4_Description=\r\n"
    "Pipe_5_Type=0\r\n"
    "Pipe_5_Group=1\r\n"
    "Pipe_5_ID=5\r\n"
    "Pipe_5_ParentID=1\r\n"
    "Pipe_5_OID=5\r\n"
    "Pipe_5_Enabled=1\r\n"
    "Pipe_5_Name=\xD8\xEB\xE5\xE9\xF4_5\r\n"
    "Pipe_5_Description=\r\n"
    "Pipe_6_Type=0\r\n"
    "Pipe_6_Group=1\r\n"
    "Pipe_6_ID=6\r\n"
    "Pipe_6_ParentID=1\r\n"
    "Pipe_6_OID=6\r\n"
    "Pipe_6_Enabled=1\r\n"
    "Pipe_6_Name=\xD8\xEB\xE5\xE9\xF4_6\r\n"
    "Pipe_6_Description=\r\n"
    "Pipe_7_Type=0\r\n"
    "Pipe_7_Group=1\r\n"
    "Pipe_7_ID=7\r\n"
    "Pipe_7_ParentID=1\r\n"
    "Pipe_7_OID=7\r\n"
    "Pipe_7_Enabled=1\r\n"
    "Pipe_7_Name=\xD8\xEB\xE5\xE9\xF4_7\r\n"
    "Pipe_7_Description=\r\n"
    "Pipe_8_Type=0\r\n"
    "Pipe_8_Group=1\r\n"
    "Pipe_8_ID=8\r\n"
    "Pipe_8_ParentID=1\r\n"
    "Pipe_8_OID=8\r\n"
    "Pipe_8_Enabled=1\r\n"
    "Pipe_8_Name=\xD8\xEB\xE5\xE9\xF4_8\r\n"
    "Pipe_8_Description=\r\n"
    "OID_List_pGroups_1=1;2;3;4;5;6;7;8\r\n"
    "[PIPELINELINK]\r\n"
    "Pipe_1_ID=1\r\n"
    "Pipe_1_Pipe=1\r\n"
    "Pipe_1_Description=\r\n"
    "Pipe_1_OID=1\r\n"
    "Pipe_1_GroupNumber=1\r\n"
    "Pipe_1_zone=1\r\n"
    "Pipe_2_ID=2\r\n"
    "Pipe_2_Pipe=2\r\n"
    "Pipe_2_Description=\r\n"
    "Pipe_2_OID=2\r\n"
    "Pipe_2_GroupNumber=1\r\n"
    "Pipe_2_zone=2\r\n"
    "Pipe_3_ID=3\r\n"
    "Pipe_3_Pipe=3\r\n"
    "Pipe_3_Description=\r\n"
    "Pipe_3_OID=3\r\n"
    "Pipe_3_GroupNumber=1\r\n"
    "Pipe_3_zone=3\r\n"
    "Pipe_4_ID=4\r\n"
    "Pipe_4_Pipe=4\r\n"
    "Pipe_4_Description=\r\n"
    "Pipe_4_OID=4\r\n"
    "Pipe_4_GroupNumber=1\r\n"
    "Pipe_4_zone=4\r\n"
    "Pipe_5_ID=5\r\n"
    "Pipe_5_Pipe=5\r\n"
    "Pipe_5_Description=\r\n"
    "Pipe_5_OID=5\r\n"
    "Pipe_5_GroupNumber=1\r\n"
    "Pipe_5_zone=5\r\n"
    "Pipe_6_ID=6\r\n"
    "Pipe_6_Pipe=6\r\n"
    "Pipe_6_Description=\r\n"
    "Pipe_6_OID=6\r\n"
    "Pipe_6_GroupNumber=1\r\n"
    "Pipe_6_zone=6\r\n"
    "Pipe_7_ID=7\r\n"
    "Pipe_7_Pipe=7\r\n"
    "Pipe_7_Description=\r\n"
    "Pipe_7_OID=7\r\n"
    "Pipe_7_GroupNumber=1\r\n"
    "Pipe_7_zone=7\r\n"
    "Pipe_8_ID=8\r\n"
    "Pipe_8_Pipe=8\r\n"
    "Pipe_8_Description=\r\n"
    "Pipe_8_OID=8\r\n"
    "Pipe_8_GroupNumber=1\r\n"
    "Pipe_8_zone=8\r\n"
    "[PLACE]\r\n"
    "PLACE_1_OID=1\r\n"
    "PLACE_1_Name=\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_1\r\n"
    "PLACE_1_Description=\r\n"
    "PLACE_1_zoneGroup=1\r\n"
    "[GRDOBJ]\r\n"
    "OID=1\r\n"
    "Name=\xCE\xE1\xFA\xE5\xEA\xF2_New\r\n"
    "Description=\r\n"
    "CountPlaces=1\r\n";

} // namespace

TEST(ConfExport, FreshConfigurationGivesTheWholeFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("object.conf"));
    EXPECT_EQ(GetConfFile(path, GetConfig(Zones{})), QString());
    const std::string bytes = readBytes(path);
    EXPECT_EQ(bytes, kFreshExport);

    // The default names, as the station software on a Cyrillic Windows reads them.
    const struct {
        const char* utf8;
        std::string cp1251;
    } names[] = {
        {"Группа шлейфов_1", "\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_1"},
        {"Шлейф_1", "\xD8\xEB\xE5\xE9\xF4_1"},
        {"Помещение_1", "\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_1"},
        {"Объект_New", "\xCE\xE1\xFA\xE5\xEA\xF2_New"},
    };
    for (const auto& n : names) {
        EXPECT_NE(bytes.find("=" + n.cp1251 + "\r\n"), std::string::npos) << n.utf8;
        EXPECT_EQ(bytes.find(n.utf8), std::string::npos) << n.utf8;
    }
}

TEST(ConfExport, GroupsAndTheirZonesFollowTheSummaryOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("object.conf"));
    Zones zones = withGroups({3, 3, 3, 3, 1, 1, 1, 1});
    zones[1].type = int(model::ZoneType::AllDay);
    zones[1].modifier = int(model::ZoneModifier::Fire);
    zones[5].type = int(model::ZoneType::AllDay);
    zones[5].modifier = int(model::ZoneModifier::PanicButton);
    GetConfFile(path, GetConfig(zones));
    const std::string bytes = readBytes(path);

    EXPECT_EQ(headers(bytes), (Lines{"[PPK]", "[PPK_ZRL128_CFG]", "[PIPELINE_GROUP]", "[PIPELINE]",
                                     "[PIPELINELINK]", "[PLACE]", "[GRDOBJ]"}));
    EXPECT_EQ(section(bytes, "PIPELINE_GROUP"),
              (Lines{"OID_List=1;3", "Group_1_ID=1", "Group_1_OID=1", "Group_1_Enabled=1",
                     "Group_1_Name=\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_1",
                     "Group_1_Description=", "Group_3_ID=3", "Group_3_OID=3", "Group_3_Enabled=1",
                     "Group_3_Name=\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_3",
                     "Group_3_Description="}));
    EXPECT_EQ(containing(section(bytes, "PIPELINE"), {"_Type=", "_Group=", "OID_List"}),
              (Lines{"Pipe_5_Type=0", "Pipe_5_Group=1", "Pipe_6_Type=6", "Pipe_6_Group=1", "Pipe_7_Type=0",
                     "Pipe_7_Group=1", "Pipe_8_Type=0", "Pipe_8_Group=1", "OID_List_pGroups_1=5;6;7;8",
                     "Pipe_1_Type=0", "Pipe_1_Group=3", "Pipe_2_Type=2", "Pipe_2_Group=3", "Pipe_3_Type=0",
                     "Pipe_3_Group=3", "Pipe_4_Type=0", "Pipe_4_Group=3", "OID_List_pGroups_3=1;2;3;4"}));
    EXPECT_EQ(containing(section(bytes, "PIPELINELINK"), {"GroupNumber"}),
              (Lines{"Pipe_5_GroupNumber=1", "Pipe_6_GroupNumber=1", "Pipe_7_GroupNumber=1",
                     "Pipe_8_GroupNumber=1", "Pipe_1_GroupNumber=3", "Pipe_2_GroupNumber=3",
                     "Pipe_3_GroupNumber=3", "Pipe_4_GroupNumber=3"}));
    EXPECT_EQ(section(bytes, "PLACE"),
              (Lines{"PLACE_1_OID=1", "PLACE_1_Name=\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_1",
                     "PLACE_1_Description=", "PLACE_1_zoneGroup=1", "PLACE_3_OID=3",
                     "PLACE_3_Name=\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_3",
                     "PLACE_3_Description=", "PLACE_3_zoneGroup=3"}));
    EXPECT_EQ(section(bytes, "GRDOBJ"),
              (Lines{"OID=1", "Name=\xCE\xE1\xFA\xE5\xEA\xF2_New", "Description=", "CountPlaces=2"}));
}

TEST(ConfExport, SecondExportKeepsWhatOnlyTheFirstWrote) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("object.conf"));
    Zones first = withGroups({2, 2, 2, 2, 2, 2, 2, 2});
    first[2].type = int(model::ZoneType::AllDay);
    GetConfFile(path, GetConfig(first));
    GetConfFile(path, GetConfig(Zones{}));
    const std::string bytes = readBytes(path);

    EXPECT_EQ(headers(bytes), (Lines{"[PPK]", "[PPK_ZRL128_CFG]", "[PIPELINE_GROUP]", "[PIPELINE]",
                                     "[PIPELINELINK]", "[PLACE]", "[GRDOBJ]"}));
    EXPECT_EQ(section(bytes, "PIPELINE_GROUP"),
              (Lines{"OID_List=1", "Group_2_ID=2", "Group_2_OID=2", "Group_2_Enabled=1",
                     "Group_2_Name=\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_2",
                     "Group_2_Description=", "Group_1_ID=1", "Group_1_OID=1", "Group_1_Enabled=1",
                     "Group_1_Name=\xC3\xF0\xF3\xEF\xEF\xE0 \xF8\xEB\xE5\xE9\xF4\xEE\xE2_1",
                     "Group_1_Description="}));
    // Zone keys are replaced where they stand; the zone list of group 2 stays behind.
    EXPECT_EQ(containing(section(bytes, "PIPELINE"), {"Pipe_3_", "OID_List"}),
              (Lines{"Pipe_3_Type=0", "Pipe_3_Group=1", "Pipe_3_ID=3", "Pipe_3_ParentID=1", "Pipe_3_OID=3",
                     "Pipe_3_Enabled=1", "Pipe_3_Name=\xD8\xEB\xE5\xE9\xF4_3", "Pipe_3_Description=",
                     "OID_List_pGroups_2=1;2;3;4;5;6;7;8", "OID_List_pGroups_1=1;2;3;4;5;6;7;8"}));
    EXPECT_EQ(section(bytes, "PIPELINE").size(), 8u * 8u + 2u);
    EXPECT_EQ(section(bytes, "PIPELINELINK").size(), 8u * 6u);
    EXPECT_EQ(containing(section(bytes, "PIPELINELINK"), {"GroupNumber"}),
              (Lines{"Pipe_1_GroupNumber=1", "Pipe_2_GroupNumber=1", "Pipe_3_GroupNumber=1",
                     "Pipe_4_GroupNumber=1", "Pipe_5_GroupNumber=1", "Pipe_6_GroupNumber=1",
                     "Pipe_7_GroupNumber=1", "Pipe_8_GroupNumber=1"}));
    EXPECT_EQ(section(bytes, "PLACE"),
              (Lines{"PLACE_2_OID=2", "PLACE_2_Name=\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_2",
                     "PLACE_2_Description=", "PLACE_2_zoneGroup=2", "PLACE_1_OID=1",
                     "PLACE_1_Name=\xCF\xEE\xEC\xE5\xF9\xE5\xED\xE8\xE5_1",
                     "PLACE_1_Description=", "PLACE_1_zoneGroup=1"}));
    EXPECT_EQ(section(bytes, "GRDOBJ"),
              (Lines{"OID=1", "Name=\xCE\xE1\xFA\xE5\xEA\xF2_New", "Description=", "CountPlaces=1"}));
}

TEST(ConfExport, ZoneEntriesWithoutNumberOrCodeInTheSummary) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("object.conf"));
    // A zone without "t" gets no Type key; one without a string "p" is skipped.
    GetConfFile(path, QStringLiteral(
                          "{\"device\":\"ppk\",\"groups\":[4],\"gp\":[{\"gp_4\":["
                          "{\"p\":\"7\"},{\"t\":\"6\"},{\"p\":\"2\",\"t\":\"6\"},{\"p\":3,\"t\":\"2\"}]}]}"));
    const std::string bytes = readBytes(path);
    EXPECT_EQ(section(bytes, "PIPELINE"),
              (Lines{"Pipe_7_Group=4", "Pipe_7_ID=7", "Pipe_7_ParentID=4", "Pipe_7_OID=7", "Pipe_7_Enabled=1",
                     "Pipe_7_Name=\xD8\xEB\xE5\xE9\xF4_7", "Pipe_7_Description=", "Pipe_2_Type=6",
                     "Pipe_2_Group=4", "Pipe_2_ID=2", "Pipe_2_ParentID=4", "Pipe_2_OID=2", "Pipe_2_Enabled=1",
                     "Pipe_2_Name=\xD8\xEB\xE5\xE9\xF4_2", "Pipe_2_Description=", "OID_List_pGroups_4=7;2"}));
    EXPECT_EQ(section(bytes, "PIPELINELINK"),
              (Lines{"Pipe_7_ID=7", "Pipe_7_Pipe=7", "Pipe_7_Description=", "Pipe_7_OID=7",
                     "Pipe_7_GroupNumber=4", "Pipe_7_zone=7", "Pipe_2_ID=2", "Pipe_2_Pipe=2",
                     "Pipe_2_Description=", "Pipe_2_OID=2", "Pipe_2_GroupNumber=4", "Pipe_2_zone=2"}));
}

TEST(ConfExport, FileNameIsUsedAsTyped) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    GetConfFile(dir.filePath(QStringLiteral("objekt")), GetConfig(Zones{}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("objekt")});
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("objekt"))), kFreshExport);
}

TEST(ConfExport, UnwritableFileStopsTheExport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("no-such-folder/object.conf"));
    try {
        GetConfFile(path, GetConfig(Zones{}));
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + path);
    }
}
