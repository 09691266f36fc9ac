#pragma once

#include <QPointer>
#include <QWidget>

class QApplication;
class QLineEdit;

namespace ovlix {

// The font and icon that every window of the program shares.
void applyProgramLook(QApplication& application);

void centreOnScreen(QWidget& window);

// A fixed single border without minimise and maximise buttons.
void useFixedBorder(QWidget& window);

// The same grey as a window's inactive border: a box to read, not to type in.
void greyAsReadOnly(QLineEdit& box);

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
