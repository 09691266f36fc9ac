#pragma once

#include <functional>
#include <QString>

class QWidget;

namespace ovlix {

// The only way the program tells the user an outcome: an OK button, no icon,
// the caption "OvlixSetup". show() returns at once; `closed` runs after the
// user has closed the box (and not at all if `over` goes away first).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void show(QWidget* over, const QString& text, std::function<void()> closed = {}) = 0;
};

class QtMessageBoxes : public MessageBoxes {
public:
    void show(QWidget* over, const QString& text, std::function<void()> closed = {}) override;
};

} // namespace ovlix
