// The yardstick for the start-up benchmark: the smallest Qt Widgets program
// that shows a window, built with the same Qt and compiler flags.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal Qt window"));
    window.resize(454, 284);
    window.show();
    return QApplication::exec();
}
