#pragma once

#include "ui/MessageBoxes.h"

#include <functional>
#include <QStringList>

namespace ovlix::test {

// Records each message and closes it at once, as a user pressing OK would, or
// shows it in the program's own box for the test to close.
class RecordingMessages : public MessageBoxes {
public:
    void show(QWidget* over, const QString& text, std::function<void()> closed) override
    {
        shown.append(text);
        if (showReal)
            QtMessageBoxes().show(over, text, std::move(closed));
        else if (closed)
            closed();
    }
    QStringList shown;
    bool showReal = false;
};

} // namespace ovlix::test
