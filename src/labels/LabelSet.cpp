#include "LabelSet.h"

#include "x10/X10Codes.h"

namespace ovlix {

QRegularExpression labelFieldPattern()
{
    // The reader drops CR, LF, TAB and space in front of a field and ends a
    // line at CR or LF.
    return QRegularExpression(
        QStringLiteral("(?:[^%1\\r\\n\\t ][^%1\\r\\n]*)?").arg(kLabelFieldDelimiter));
}

LabelSet clearedLabelSet()
{
    LabelSet slots;
    slots.fill({QString(), x10HouseCodes().first(), x10UnitCodes().first()});
    return slots;
}

} // namespace ovlix
