#pragma once

#include <QObject>

namespace ovlix {

// Enter on a focused button presses it, as a keyboard user expects; Qt leaves
// that to the default buttons of dialogs, which keep their own handling.
// Installed on the application, it watches every window.
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace ovlix
