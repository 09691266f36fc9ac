// Any labels file: the reader loads what it can, and every slot it fills holds
// a label the window could show (no comma, at most 16 characters) with a house
// code from A to P and a unit code from 1 to 16. The field splitter is tried
// on the same text.

#include "core/TextFiles.h"
#include "labels/LabelsFile.h"
#include "x10/X10Codes.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList houses = ovlix::x10HouseCodes();
    static const QStringList units = ovlix::x10UnitCodes();
    const QString text = ovlix::fromFileText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    ovlix::LabelSet slots = ovlix::clearedLabelSet();
    ovlix::applyLabelsText(text, slots);
    for (const ovlix::LabelSlot& slot : slots) {
        if (slot.text.contains(u',') || slot.text.size() > ovlix::kMaxLabelLength ||
            !houses.contains(slot.house) || !units.contains(slot.unit))
            std::abort();
    }

    QString field;
    QString remainder;
    ovlix::ParseField(text, u',', field, remainder);
    if (field.size() + remainder.size() > text.size())
        std::abort();
    return 0;
}
