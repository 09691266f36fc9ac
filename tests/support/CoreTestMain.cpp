// Tests below the windows run with a QCoreApplication: its event loop is all
// that sockets and timers need, and it proves the core needs no window system.

#include <gtest/gtest.h>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
