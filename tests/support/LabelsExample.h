#pragma once

#include <QByteArray>

namespace ovlix::test {

// Three labels typed, the other slots cleared, as the labels file holds them.
inline const QByteArray kWorkedExampleFile = "Porch,A,1\r\nGarage,A,2\r\nHall lamp,B,16\r\n"
                                             ",A,1\r\n,A,1\r\n,A,1\r\n,A,1\r\n,A,1\r\n";

} // namespace ovlix::test
