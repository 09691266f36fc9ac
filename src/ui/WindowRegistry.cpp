#include "WindowRegistry.h"

#include "AboutWindow.h"
#include "ControlDevicesWindow.h"
#include "DeviceLabelsWindow.h"
#include "FindDevicesWindow.h"
#include "MainWindow.h"
#include "NetworkWindow.h"

#include <QCoreApplication>

namespace ovlix {

WindowRegistry::WindowRegistry(WindowEnvironment& environment) : environment_(environment)
{
    QCoreApplication::instance()->installEventFilter(&enterPressesButtons_);
}

WindowRegistry::~WindowRegistry() = default;

template <class Window, class Wiring>
Window* WindowRegistry::bringUp(QPointer<Window>& slot, Wiring wire)
{
    if (!slot) {
        slot = new Window(environment_);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        wire(*slot);
        slot->show();
        return slot;
    }
    slot->setWindowState(slot->windowState() & ~Qt::WindowMinimized);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

template <class Window> Window* WindowRegistry::bringUp(QPointer<Window>& slot)
{
    return bringUp(slot, [](Window&) {});
}

void WindowRegistry::showInMain(const QString& ip) const
{
    if (main_)
        main_->showDeviceAddress(ip);
}

MainWindow* WindowRegistry::openMain()
{
    return bringUp(main_, [this](MainWindow& main) {
        QObject::connect(&main, &MainWindow::networkSetupRequested, &main,
                         [this] { openNetwork(); });
        QObject::connect(&main, &MainWindow::deviceLabelsRequested, &main,
                         [this] { openDeviceLabels(); });
        QObject::connect(&main, &MainWindow::controlDevicesRequested, &main,
                         [this] { openControlDevices(); });
        QObject::connect(&main, &MainWindow::aboutRequested, &main, [this] { openAbout(); });
        QObject::connect(&main, &MainWindow::findDevicesRequested, &main,
                         [this] { openFindDevices(); });
    });
}

AboutWindow* WindowRegistry::openAbout()
{
    return bringUp(about_);
}

DeviceLabelsWindow* WindowRegistry::openDeviceLabels()
{
    return bringUp(deviceLabels_);
}

ControlDevicesWindow* WindowRegistry::openControlDevices()
{
    return bringUp(controlDevices_);
}

NetworkWindow* WindowRegistry::openNetwork()
{
    return bringUp(network_, [this](NetworkWindow& network) {
        QObject::connect(&network, &NetworkWindow::addressAssigned, &network,
                         [this](const QString& ip) { showInMain(ip); });
    });
}

FindDevicesWindow* WindowRegistry::openFindDevices()
{
    return bringUp(findDevices_, [this](FindDevicesWindow& find) {
        QObject::connect(&find, &FindDevicesWindow::addressChosen, &find,
                         [this](const QString& ip) { showInMain(ip); });
    });
}

} // namespace ovlix
