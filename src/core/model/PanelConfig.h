#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace zorel8z::model {

// The transport a block text came over: a fixed-width frame (USB or a file) or one block object.
enum class ConnectionType { USB = 0, Internet = 1 };

// State mark of each page: nothing known, changed since last in step with the panel, in step.
enum class PageMark { None = 0, Edited = 1, Synced = 2 };

enum class ZoneType { Normal = 0, AllDay = 1, EntryPoint = 2, EntryPath = 3 };
enum class ZoneModifier {
    NoChange = 0,
    PanicButton = 1,
    Silent = 2,
    Bypass = 3,
    Disabled = 4,
    NoUK1 = 5,
    Fire = 6
};

constexpr int kUserCount = 24;
constexpr int kZoneCount = 8;
constexpr int kPageCount = 5;
constexpr int kKeyCodeLength = 16;

// Factory values of a panel that has never been configured.
extern const QString kFactoryUserPassword;
extern const QString kFactoryAdminPassword;
extern const QString kFactoryEngineerPassword;
extern const QString kEmptyKeyCode;
extern const QString kZeroAddress;
extern const QString kHiddenPassword;

// One row of the users grid, held as the cell texts: the packing and the checks read the texts,
// and a group cell may be empty or a password cell may show "****".
struct UserEntry {
    QString group = QStringLiteral("1");
    QString password = QStringLiteral("0000");
    bool operator==(const UserEntry& o) const { return group == o.group && password == o.password; }
};

// One zone. The digits are kept raw: a panel may report a digit that no list item stands for, and
// writing the configuration back must not lose it. `group` is the group number (1..8 when valid),
// `type` and `modifier` are item indexes (ZoneType, ZoneModifier when in range).
struct ZoneEntry {
    int group = 1;
    int type = 0;
    int modifier = 0;

    bool typeValid() const { return type >= 0 && type <= 3; }
    bool modifierValid() const { return modifier >= 0 && modifier <= 6; }
    bool groupValid() const { return group >= 1 && group <= 8; }
    ZoneType zoneType() const { return static_cast<ZoneType>(type); }
    ZoneModifier zoneModifier() const { return static_cast<ZoneModifier>(modifier); }
    bool operator==(const ZoneEntry& o) const {
        return group == o.group && type == o.type && modifier == o.modifier;
    }
};

// A SET input: group 0 = not assigned, 1..8 = arms/disarms that group; indicator = the terminal drives
// the arming indicator of the group instead.
struct SetInput {
    int group = 0;
    bool indicator = false;
    bool operator==(const SetInput& o) const { return group == o.group && indicator == o.indicator; }
};

// Ranges of the numeric fields, as their spin edits hold them.
struct Range {
    int min;
    int max;
    int clamp(int v) const { return v < min ? min : (v > max ? max : v); }
    bool contains(int v) const { return v >= min && v <= max; }
};
namespace ranges {
constexpr Range numPPK{0, 65536};
constexpr Range port{0, 65535};
constexpr Range timeDelay{1, 45};
constexpr Range UKworkTime{0, 60};
constexpr Range UKon{1, 60};
constexpr Range UKoff{0, 60};
constexpr Range setGroup{0, 8};
} // namespace ranges

// Field widths of the text fields.
namespace widths {
constexpr int apn = 30;
constexpr int address = 15;
constexpr int pwd = 6;
constexpr int fiveDigits = 5;
constexpr int userPassword = 4;
} // namespace widths

// The whole configuration of one panel as the configurator edits it.
struct PanelConfig {
    // Network (block 1).
    int numPPK = 0;
    QString serverIP = kZeroAddress;
    int serverPort = 0;
    QString apn;
    QString apn2;
    QString pwd = QStringLiteral("      ");

    // Users (block 2).
    std::array<UserEntry, kUserCount> users = defaultUsers();
    bool passwordsHidden = false;
    std::array<QString, kUserCount> hiddenPasswords{};

    // Zones (block 3).
    std::array<ZoneEntry, kZoneCount> lines{};

    // Panel parameters (block 4).
    QString PwdLev1 = kFactoryAdminPassword;
    QString PwdLev2 = kFactoryEngineerPassword;
    QString LowLevelV = QStringLiteral("11600");
    QString HiLevelV = QStringLiteral("14200");
    int ppkType = 1;
    int timeDelay = 30;
    int timeDelay2 = 30;
    int UKworkTime = 40;
    int UKon = 5;
    int UKoff = 60;
    int UKinvert = 0;
    SetInput Set1;
    SetInput Set2;

    // Key codes (block 5).
    std::array<QString, kUserCount> UVICode = defaultKeyCodes();

    // Redundant server (frame trailer).
    QString redIP = kZeroAddress;
    int redPort = 0;

    // Identity, only from a USB read; empty until then.
    QString serialNumber;
    QString firmwareVersion;

    bool operator==(const PanelConfig& o) const;
    bool operator!=(const PanelConfig& o) const { return !(*this == o); }

    // Everything except the identity values (which no file or write carries).
    bool sameSettings(const PanelConfig& o) const;

    static std::array<UserEntry, kUserCount> defaultUsers();
    static std::array<QString, kUserCount> defaultKeyCodes();
};

} // namespace zorel8z::model
