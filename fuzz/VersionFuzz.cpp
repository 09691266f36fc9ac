// Any page body: the probe finds a version only between the two markers, and
// what it cuts out is part of the page.

#include "core/TextFiles.h"
#include "device/DeviceRequests.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString page = ovlix::fromFileText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const std::optional<QString> version = ovlix::findVersion(page);
    if (version &&
        !page.contains(QStringLiteral("<version>") + *version + QStringLiteral("</version>"),
                       Qt::CaseInsensitive))
        std::abort();
    return 0;
}
