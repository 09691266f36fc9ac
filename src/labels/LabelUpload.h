#pragma once

#include "device/DeviceRequests.h"
#include "LabelSet.h"

#include <functional>
#include <QString>
#include <QStringList>

namespace ovlix {

class EventLog;
class HttpFetcher;

// The device's label page with all eight slots; every value is encoded, so no
// label or code can add, cut or change another field.
QString labelUploadPath(const LabelSet& slots);

// The two lines that tell the user an upload failed.
inline const QStringList kSendLabelsFailedText{QStringLiteral("Send Labels Failed"),
                                               QStringLiteral("Verify IP Address")};

// How a label upload reports itself in the log, from the window or not.
inline const SendHttpStyle kLabelsWindowSend{QStringLiteral("frmDeviceLabels.SendHttp: URL="),
                                             QStringLiteral("ERROR::frmDeviceLabels.SendHttp: ")};

// Sends the whole label set in one request; a failed request is logged, and
// `done` learns whether it went through, whatever the device answered, and if
// not, what was observed.
void sendLabels(HttpFetcher& inet, const EventLog& log, const QString& deviceIp,
                const LabelSet& slots, std::function<void(const FetchResult& result)> done);

} // namespace ovlix
