// Any typed text: its encoded form holds only unreserved characters and %XX,
// so it can never add, cut or change a query field, and it decodes back to
// the text's bytes in the files' code page, whole (a leading byte order mark
// too, which decoding to a QString would drop).

#include "core/TextFiles.h"
#include "device/DeviceRequests.h"

#include <cstdint>
#include <cstdlib>
#include <QByteArray>

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
    if (QByteArray::fromPercentEncoding(encoded.toLatin1()) != ovlix::toFileText(typed))
        std::abort();
    return 0;
}
