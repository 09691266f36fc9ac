#include "LabelUpload.h"

#include "core/EventLog.h"
#include "device/DeviceRequests.h"

namespace ovlix {

QString labelUploadPath(const LabelSet& slots)
{
    QString path = QStringLiteral("/label.spi?labelevent=1");
    for (int i = 0; i < kLabelSlots; ++i) {
        const QString n = QString::number(i + 1);
        const LabelSlot& slot = slots[i];
        path += QStringLiteral("&label0") + n + u'=' + encodeQueryValue(slot.text) +
                QStringLiteral("&h0") + n + u'=' + encodeQueryValue(slot.house) +
                QStringLiteral("&u0") + n + u'=' + encodeQueryValue(slot.unit);
    }
    return path;
}

void sendLabels(HttpFetcher& inet, const EventLog& log, const QString& deviceIp,
                const LabelSet& slots, std::function<void(const FetchResult& result)> done)
{
    SendHttp(inet, log, kLabelsWindowSend, deviceIp, labelUploadPath(slots),
             [&log, done = std::move(done)](const FetchResult& result) {
                 if (!result.ok)
                     log.WriteLog(
                         QStringLiteral("frmDeviceLabels.SetOvlixLabels: Http get failed"));
                 done(result);
             });
}

} // namespace ovlix
