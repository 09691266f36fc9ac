#include "WindowRegistry.h"

#include "AboutWindow.h"
#include "ControlDevicesWindow.h"
#include "DeviceLabelsWindow.h"
#include "FindDevicesWindow.h"
#include "MainWindow.h"
#include "NetworkWindow.h"

namespace ovlix {

WindowRegistry::WindowRegistry(WindowEnvironment& environment) : environment_(environment) {}

WindowRegistry::~WindowRegistry() = default;

MainWindow* WindowRegistry::mainWindow() const
{
    return main_;
}

template <class Window> Window* WindowRegistry::bringUp(QPointer<Window>& slot)
{
    if (!slot) {
        slot = new Window(environment_, *this);
        slot->setAttribute(Qt::WA_DeleteOnClose);
        slot->show();
        return slot;
    }
    slot->setWindowState(slot->windowState() & ~Qt::WindowMinimized);
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

MainWindow* WindowRegistry::openMain()
{
    return bringUp(main_);
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
    return bringUp(network_);
}

FindDevicesWindow* WindowRegistry::openFindDevices()
{
    const bool opening = !findDevices_;
    FindDevicesWindow* window = bringUp(findDevices_);
    // A main window the user has closed is not opened again for the address.
    if (opening)
        QObject::connect(window, &FindDevicesWindow::addressChosen, window,
                         [this](const QString& ip) {
                             if (main_)
                                 main_->showDeviceAddress(ip);
                         });
    return window;
}

} // namespace ovlix
