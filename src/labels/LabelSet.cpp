#include "LabelSet.h"

#include "x10/X10Codes.h"

namespace ovlix {

LabelSet clearedLabelSet()
{
    LabelSet slots;
    slots.fill({QString(), x10HouseCodes().first(), x10UnitCodes().first()});
    return slots;
}

} // namespace ovlix
