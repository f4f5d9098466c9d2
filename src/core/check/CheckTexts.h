#pragma once

#include <QString>

// What the connection check says, step by step, in the installer's words.
namespace zorel8z::check::msg {

// Over USB.
extern const QString kPortFound;
extern const QString kPortMissing;
extern const QString kPermissionGroup;
extern const QString kPermissionNoGroup;
extern const QString kPortOpened;
extern const QString kPortNotOpened;
extern const QString kRequestNotSent;
extern const QString kFrameReceived;
extern const QString kNoAnswer;
extern const QString kNotAFrame;
extern const QString kBadFrame;
extern const QString kUsbWorks;

// Through the monitoring station.
extern const QString kAddress;
extern const QString kTcpConnected;
extern const QString kTcpFailed;
extern const QString kHttpAnswered;
extern const QString kHttpFailed;
extern const QString kNoPanelGiven;
extern const QString kQueryAccepted;
extern const QString kQueryRefused;
extern const QString kQueryFailed;
extern const QString kPanelAnswered;
extern const QString kPanelRefused;
extern const QString kPanelSilent;
extern const QString kPollFailed;
extern const QString kStationWorks;

} // namespace zorel8z::check::msg
