#pragma once

#include "EnterPressesButtons.h"

#include <QPointer>

namespace ovlix {

struct WindowEnvironment;
class AboutWindow;
class ControlDevicesWindow;
class DeviceLabelsWindow;
class FindDevicesWindow;
class MainWindow;
class NetworkWindow;

// Makes the windows and wires them: the main window's requests open the
// others, and a new device address found elsewhere goes to the main window.
// Each window exists at most once. Opening an open window brings it forward
// without loading it again; a window the user closed is made afresh next time.
// The windows have no owner, so closing the main window leaves the others open.
// While the registry lives, Enter on a focused button presses it, in every
// window.
class WindowRegistry {
public:
    explicit WindowRegistry(WindowEnvironment& environment);
    ~WindowRegistry();

    MainWindow* openMain();
    AboutWindow* openAbout();
    DeviceLabelsWindow* openDeviceLabels();
    ControlDevicesWindow* openControlDevices();
    NetworkWindow* openNetwork();
    FindDevicesWindow* openFindDevices();

private:
    // `wire` connects a window made afresh, before it shows.
    template <class Window, class Wiring> Window* bringUp(QPointer<Window>& slot, Wiring wire);
    template <class Window> Window* bringUp(QPointer<Window>& slot);
    // A main window the user has closed is not opened again for the address.
    void showInMain(const QString& ip) const;

    WindowEnvironment& environment_;
    EnterPressesButtons enterPressesButtons_;
    QPointer<MainWindow> main_;
    QPointer<AboutWindow> about_;
    QPointer<DeviceLabelsWindow> deviceLabels_;
    QPointer<ControlDevicesWindow> controlDevices_;
    QPointer<NetworkWindow> network_;
    QPointer<FindDevicesWindow> findDevices_;
};

} // namespace ovlix
