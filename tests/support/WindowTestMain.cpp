// Window tests run with a QApplication on the offscreen platform, in the
// program's look, so that windows and their requests share one event loop.

#include "ui/EnterPressesButtons.h"
#include "ui/ProgramLook.h"

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ovlix::applyProgramLook();
    application.installEventFilter(new ovlix::EnterPressesButtons(&application));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
