#include "UnitLookup.h"

#include "LabelsFile.h"

namespace ovlix {

UnitLookup lookUpX10Unit(const EventLog& log, const QString& labelsFile, const QString& unit)
{
    using Outcome = UnitLookup::Outcome;
    if (std::optional<X10Address> address = parseX10Address(unit))
        return {Outcome::Found, *address, {}};
    // "Q1" or "A17" is an address out of range, whatever the labels file holds.
    if (unit.isEmpty() || looksLikeX10Address(unit))
        return {};
    LabelSet slots = clearedLabelSet();
    if (QString error = readLabelsFile(log, labelsFile, slots); !error.isEmpty())
        return {Outcome::LabelsFileUnreadable, {}, error};
    for (const LabelSlot& slot : slots)
        if (slot.text.compare(unit, Qt::CaseInsensitive) == 0)
            return {Outcome::Found, {slot.house, slot.unit}, {}};
    return {};
}

} // namespace ovlix
