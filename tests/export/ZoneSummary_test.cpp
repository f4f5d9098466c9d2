#include "export/ZoneSummary.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::exporting;
using Zones = std::array<model::ZoneEntry, model::kZoneCount>;

namespace {

Zones withGroups(const std::array<int, model::kZoneCount>& groups) {
    Zones zones{};
    for (int i = 0; i < model::kZoneCount; ++i)
        zones[i].group = groups[i];
    return zones;
}

} // namespace

TEST(ZoneSummary, FreshConfigurationListsAllZonesInGroupOne) {
    EXPECT_EQ(GetConfig(Zones{}),
              QStringLiteral("{\"device\":\"ppk\",\"groups\":[1],\"gp\":[{\"gp_1\":["
                             "{\"p\":\"1\",\"t\":\"0\"},{\"p\":\"2\",\"t\":\"0\"},{\"p\":\"3\",\"t\":\"0\"},"
                             "{\"p\":\"4\",\"t\":\"0\"},{\"p\":\"5\",\"t\":\"0\"},{\"p\":\"6\",\"t\":\"0\"},"
                             "{\"p\":\"7\",\"t\":\"0\"},{\"p\":\"8\",\"t\":\"0\"}]}]}"));
}

TEST(ZoneSummary, GroupsAscendWhateverTheZoneOrder) {
    EXPECT_EQ(GetConfig(withGroups({3, 3, 3, 3, 1, 1, 1, 1})),
              QStringLiteral("{\"device\":\"ppk\",\"groups\":[1,3],\"gp\":["
                             "{\"gp_1\":[{\"p\":\"5\",\"t\":\"0\"},{\"p\":\"6\",\"t\":\"0\"},"
                             "{\"p\":\"7\",\"t\":\"0\"},{\"p\":\"8\",\"t\":\"0\"}]},"
                             "{\"gp_3\":[{\"p\":\"1\",\"t\":\"0\"},{\"p\":\"2\",\"t\":\"0\"},"
                             "{\"p\":\"3\",\"t\":\"0\"},{\"p\":\"4\",\"t\":\"0\"}]}]}"));
}

TEST(ZoneSummary, EveryZoneInItsOwnGroup) {
    // Zone z in group 9 - z: the groups still ascend.
    EXPECT_EQ(
        GetConfig(withGroups({8, 7, 6, 5, 4, 3, 2, 1})),
        QStringLiteral("{\"device\":\"ppk\",\"groups\":[1,2,3,4,5,6,7,8],\"gp\":["
                       "{\"gp_1\":[{\"p\":\"8\",\"t\":\"0\"}]},{\"gp_2\":[{\"p\":\"7\",\"t\":\"0\"}]},"
                       "{\"gp_3\":[{\"p\":\"6\",\"t\":\"0\"}]},{\"gp_4\":[{\"p\":\"5\",\"t\":\"0\"}]},"
                       "{\"gp_5\":[{\"p\":\"4\",\"t\":\"0\"}]},{\"gp_6\":[{\"p\":\"3\",\"t\":\"0\"}]},"
                       "{\"gp_7\":[{\"p\":\"2\",\"t\":\"0\"}]},{\"gp_8\":[{\"p\":\"1\",\"t\":\"0\"}]}]}"));
}

TEST(ZoneSummary, ZoneWithGroupOutsideTheListIsLeftOut) {
    EXPECT_EQ(
        GetConfig(withGroups({0, 2, 9, 2, -1, 10, 2, 0})),
        QStringLiteral("{\"device\":\"ppk\",\"groups\":[2],\"gp\":[{\"gp_2\":["
                       "{\"p\":\"2\",\"t\":\"0\"},{\"p\":\"4\",\"t\":\"0\"},{\"p\":\"7\",\"t\":\"0\"}]}]}"));
    EXPECT_EQ(GetConfig(withGroups({0, 0, 0, 0, 9, 9, 9, 9})),
              QStringLiteral("{\"device\":\"ppk\",\"groups\":[],\"gp\":[]}"));
}

TEST(ZoneSummary, ZoneCodeFromTypeAndModifier) {
    const struct {
        int type;
        int modifier;
        const char* code;
    } cases[] = {
        // 24-hour zones: the modifier decides.
        {1, 0, "6"}, // NoChange
        {1, 1, "6"}, // PanicButton
        {1, 2, "0"}, // Silent
        {1, 3, "6"}, // Bypass
        {1, 4, "6"}, // Disabled
        {1, 5, "0"}, // NoUK1
        {1, 6, "2"}, // Fire
        // Other types are always "0", even with Fire.
        {0, 6, "0"},
        {0, 1, "0"},
        {0, 0, "0"},
        {2, 6, "0"},
        {3, 1, "0"},
        // Digits no list item stands for.
        {1, 7, "0"},
        {1, 9, "0"},
        {1, -1, "0"},
        {4, 1, "0"},
        {9, 6, "0"},
        {-1, 0, "0"},
    };
    for (const auto& c : cases) {
        model::ZoneEntry zone;
        zone.type = c.type;
        zone.modifier = c.modifier;
        const QString code = QLatin1String(c.code);
        EXPECT_EQ(zoneCode(zone), code) << "type " << c.type << " modifier " << c.modifier;

        // The code reaches the summary as zone 2's "t".
        Zones zones{};
        zones[1] = zone;
        const QString zone2 = QStringLiteral("{\"p\":\"2\",\"t\":\"%1\"}").arg(code);
        EXPECT_TRUE(GetConfig(zones).contains(zone2)) << "type " << c.type << " modifier " << c.modifier;
    }
}
