// Tests below the windows run with a QCoreApplication: its event loop is all
// that sockets and timers need, and it proves the core needs no window system.
// Window tests run with a QApplication on the offscreen platform, in the
// program's look, so that windows and their requests share one event loop.

#include <gtest/gtest.h>
#ifdef OVLIX_WINDOW_TESTS
#include "ui/ProgramLook.h"

#include <QApplication>
#else
#include <QCoreApplication>
#endif

int main(int argc, char* argv[])
{
#ifdef OVLIX_WINDOW_TESTS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ovlix::applyProgramLook();
#else
    QCoreApplication application(argc, argv);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
