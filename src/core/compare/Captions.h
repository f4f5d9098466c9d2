#pragma once

#include <QString>
#include <QStringList>

// The window's own captions of the fields, word for word, so that a comparison, a configuration
// sheet or a journal names each field exactly as the installer sees it on its page.
namespace zorel8z::compare::captions {

// Network page ("№ ППК в ПЦС:" / "Новий № ППК в ПЦС:" follow the mode: remote::msg).
extern const QString kPassword5;
extern const QString kServerIP;
extern const QString kServerPort;
extern const QString kRedServerIP;
extern const QString kRedServerPort;
extern const QString kApn1;
extern const QString kApn2;
extern const QString kServerGroup;
extern const QString kSimGroup;

// Users grid.
extern const QString kUserNumber;
extern const QString kUserGroup;
extern const QString kUserPassword;

// Zones page.
extern const QString kZone;
extern const QString kZoneGroup;
extern const QString kZoneType;
extern const QString kZoneModifier;
extern const QStringList kZoneTypes;
extern const QStringList kZoneModifiers;

// Parameters page.
extern const QString kPPKType;
extern const QStringList kPPKTypes;
extern const QString kPwdLevelGroup;
extern const QString kPwdLevel1;
extern const QString kPwdLevel2;
extern const QString kLowLevel;
extern const QString kHiLevel;
extern const QString kUKworkTime;
extern const QString kUKon;
extern const QString kUKoff;
extern const QString kUKinvert;
extern const QStringList kUKinvertItems;
extern const QString kSetNone;
extern const QString kSetGroup;
extern const QString kIndicator;
extern const QString kDelay1;
extern const QString kDelay2;
extern const QString kMillivolts;
extern const QString kMinutes;
extern const QString kSeconds;

// Key-code grid.
extern const QString kKeyUser;
extern const QString kKeyCode;

// Identity strip.
extern const QString kSerialNum;
extern const QString kFirmware;

} // namespace zorel8z::compare::captions
