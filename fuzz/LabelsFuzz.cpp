// Any labels file: the reader loads what it can, every slot it fills holds
// texts the window's boxes accept (the label at most 16 characters), and those
// slots, saved, read back unchanged. The field splitter is tried on the same
// text.

#include "core/TextFiles.h"
#include "labels/LabelsFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QRegularExpression accepted(
        QRegularExpression::anchoredPattern(ovlix::labelFieldPattern().pattern()));
    const QString text = ovlix::fromFileText(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    ovlix::LabelSet slots = ovlix::clearedLabelSet();
    ovlix::applyLabelsText(text, slots);
    for (const ovlix::LabelSlot& slot : slots) {
        for (const QString& field : {slot.text, slot.house, slot.unit})
            if (!accepted.match(field).hasMatch())
                std::abort();
        if (slot.text.size() > ovlix::kMaxLabelLength)
            std::abort();
    }
    ovlix::LabelSet again = ovlix::clearedLabelSet();
    ovlix::applyLabelsText(ovlix::fromFileText(ovlix::labelsFileText(slots)), again);
    if (again != slots)
        std::abort();

    QString field;
    QString remainder;
    ovlix::ParseField(text, u',', field, remainder);
    if (field.size() + remainder.size() > text.size())
        std::abort();
    return 0;
}
