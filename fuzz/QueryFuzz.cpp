// Any typed text: its encoded form holds only unreserved characters and %XX,
// so it can never add, cut or change a query field, and it decodes back whole.

#include "device/DeviceRequests.h"

#include <cstdint>
#include <cstdlib>
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString typed =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString encoded = ovlix::encodeQueryValue(typed);
    for (QChar c : encoded) {
        const bool unreserved = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                                (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == u'_' ||
                                c == u'~' || c == u'%';
        if (!unreserved)
            std::abort();
    }
    if (QUrl::fromPercentEncoding(encoded.toLatin1()) != typed)
        std::abort();
    return 0;
}
