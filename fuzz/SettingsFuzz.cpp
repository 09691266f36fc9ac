// Settings-file text of any shape: the reader must end, and a name it returns
// must be one of the fields it split off.

#include "core/Settings.h"
#include "core/TextFiles.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = ovlix::fromFileText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QStringList fields = ovlix::settingFields(text);
    for (const QString& field : fields) {
        if (field.size() > text.size())
            std::abort();
    }
    return 0;
}
