#pragma once

#include <QPointer>
#include <QWidget>

class QApplication;

namespace ovlix {

// The font and icon that every window of the program shares.
void applyProgramLook(QApplication& application);

void centreOnScreen(QWidget& window);

// A window waiting for the device takes no input and cannot start a second
// request, yet keeps repainting; afterwards the focus comes back to where it was.
class DeviceWait {
public:
    explicit DeviceWait(QWidget& window) : window_(window) {}
    void begin();
    void end();
    bool active() const { return active_; }

private:
    QWidget& window_;
    QPointer<QWidget> focusBefore_;
    bool active_ = false;
};

} // namespace ovlix
