#pragma once

#include "labels/LabelSet.h"

#include <QByteArray>

namespace ovlix::test {

// Three labels typed, the other slots cleared: the rows and the file they make.
inline LabelSet workedExample()
{
    LabelSet slots = clearedLabelSet();
    slots[0] = {"Porch", "A", "1"};
    slots[1] = {"Garage", "A", "2"};
    slots[2] = {"Hall lamp", "B", "16"};
    return slots;
}

inline const QByteArray kWorkedExampleFile = "Porch,A,1\r\nGarage,A,2\r\nHall lamp,B,16\r\n"
                                             ",A,1\r\n,A,1\r\n,A,1\r\n,A,1\r\n,A,1\r\n";

} // namespace ovlix::test
