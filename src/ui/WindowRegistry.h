#pragma once

#include <QPointer>

namespace ovlix {

struct WindowEnvironment;
class AboutWindow;
class ControlDevicesWindow;
class DeviceLabelsWindow;
class FindDevicesWindow;
class MainWindow;
class NetworkWindow;

// Each window exists at most once. Opening an open window brings it forward
// without loading it again; a window the user closed is made afresh next time.
// The windows have no owner, so closing the main window leaves the others open.
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

    // The main window while it is open, else nothing.
    MainWindow* mainWindow() const;

private:
    template <class Window> Window* bringUp(QPointer<Window>& slot);

    WindowEnvironment& environment_;
    QPointer<MainWindow> main_;
    QPointer<AboutWindow> about_;
    QPointer<DeviceLabelsWindow> deviceLabels_;
    QPointer<ControlDevicesWindow> controlDevices_;
    QPointer<NetworkWindow> network_;
    QPointer<FindDevicesWindow> findDevices_;
};

} // namespace ovlix
