#include "model/ConfigJson.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::model;

TEST(ConfigJson, RandomRecordsRoundTrip) {
    test::RandomConfig gen(99);
    for (int k = 0; k < 100; ++k) {
        PanelConfig c = gen.next();
        if (k % 3 == 0) {
            c.serialNumber = QStringLiteral("00065535");
            c.firmwareVersion = QStringLiteral("256");
            c.users[4].group.clear();
        }
        PanelConfig back;
        QString error;
        ASSERT_TRUE(configFromJson(configToJson(c), back, error)) << error.toStdString();
        EXPECT_EQ(back, c);
    }
}

TEST(ConfigJson, AcceptsWhatTheControlsCanHold) {
    const char* accepted[] = {
        R"({})",
        R"({"numPPK": 0, "apn": ""})",
        R"({"numPPK": 65536})",
        R"({"PwdLev1": "01234"})",
        R"({"pwd": "12"})",
        R"({"Set1": {"group": 8, "indicator": true}})",
        R"({"lines": [{"group":9,"type":4,"modifier":9},{},{},{},{},{},{},{}]})",
    };
    for (const char* json : accepted) {
        PanelConfig c;
        QString error;
        EXPECT_TRUE(configFromJson(QByteArray(json), c, error)) << json << " " << error.toStdString();
    }
    PanelConfig c;
    QString error;
    ASSERT_TRUE(configFromJson(R"({"pwd": "12"})", c, error));
    EXPECT_EQ(c.pwd, QStringLiteral("12    "));
    EXPECT_EQ(c.users[0].password, QStringLiteral("1234")); // missing keys keep the defaults
}

TEST(ConfigJson, RefusalsNameTheKey) {
    const struct {
        const char* json;
        const char* key;
    } cases[] = {
        {R"({"numPPK": 65537})", "numPPK"},
        {R"({"numPPK": "5"})", "numPPK"},
        {R"({"serverPort": -1})", "serverPort"},
        {R"({"timeDelay": 0})", "timeDelay"},
        {R"({"UKon": 0})", "UKon"},
        {R"({"apn": "a\"b"})", "apn"},
        {R"({"apn2": "київ"})", "apn2"},
        {R"({"apn": "0123456789012345678901234567890"})", "apn"},
        {R"({"PwdLev1": "12a45"})", "PwdLev1"},
        {R"({"HiLevelV": "123456"})", "HiLevelV"},
        {R"({"users": []})", "users"},
        {R"({"Set2": {"group": 0, "indicator": true}})", "Set2"},
        {R"({"Set1": {"group": 9}})", "Set1.group"},
        {R"({"serverIP": "1.2.3.4:5"})", "serverIP"},
        {R"({"UVICode": [1]})", "UVICode"},
        {R"({"numPPk": 1})", "numPPk"},
        {R"({"numPPK": 1, "numPPK": 2})", "numPPK"},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        cfg.numPPK = 5;
        QString error;
        EXPECT_FALSE(configFromJson(QByteArray(c.json), cfg, error)) << c.json;
        EXPECT_TRUE(error.contains(QStringLiteral("\"%1\"").arg(QString::fromLatin1(c.key)))) << error.toStdString();
        EXPECT_EQ(cfg.numPPK, 5) << c.json; // nothing applied
    }
    PanelConfig cfg;
    QString error;
    EXPECT_FALSE(configFromJson("{\"numPPK\": ", cfg, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Невірний JSON"))) << error.toStdString();
}
