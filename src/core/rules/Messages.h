#pragma once

#include "model/SaveCheck.h"

#include <QString>

// Every text the editing and validation rules show, kept word for word as the panel's installers
// know them (the misspellings included), so the code and the tests share one source.
namespace zorel8z::rules::msg {

// Address normalisation at the start of a write.
extern const QString kBadServerIP;
extern const QString kBadRedServerIP;
extern const QString kBadRemoteServerIP;

// Network page.
extern const QString kNumConfPPKZero;
extern const QString kServerIPZero;
extern const QString kServerPortZero;
extern const QString kRedServerIPZero;
extern const QString kRedServerPortZero;
extern const QString kRemotePwdMissing;
extern const QString kRemotePwdLeadingZero;
extern const QString kApn1Missing;
extern const QString kApn2Missing;
// The save's read-back check refuses the same characters with the same words.
inline const QString& kBadApnChar = model::kBadApnChar;
extern const QString kBadServerIPFormat;
extern const QString kBadRedServerIPFormat;

// Users page.
extern const QString kUserGroupMissing;
extern const QString kUserPwdLength;
extern const QString kUserGroupAbsentPrefix;
extern const QString kUserGroupAbsentSuffix;
extern const QString kPwdLeadingZero;
extern const QString kPwdNotUnique;
extern const QString kPwdNeighbours;
extern const QString kPwd9999;
extern const QString kPasswordsHidden;

// Key codes.
extern const QString kCodesNotUnique;
extern const QString kBadKeyCode;

// Parameters page.
extern const QString kParamsEmpty;
extern const QString kAdminPwdLeadingZero;
extern const QString kStandAloneWarning;
extern const QString kSetGroupTaken;
extern const QString kSetGroupAbsent;

// Captions of the SET rows, following the indicator tick.
extern const QString kSet1Input;
extern const QString kSet1Indicator;
extern const QString kSet2Input;
extern const QString kSet2Indicator;

// Write command.
extern const QString kNoComPort;
extern const QString kNumPPKZero;
extern const QString kNumPPKRange;
extern const QString kRemotePortRange;

// Zones page.
extern const QString kOneEntryPoint;
extern const QString kEntryModifier;
extern const QString kPathLeftAlone;
extern const QString kAllDayModifier;
extern const QString kPathNeedsEntry;
extern const QString kNormalTypeModifier;
extern const QString kPanicNeedsAllDay;
extern const QString kNormalModifier;

} // namespace zorel8z::rules::msg
