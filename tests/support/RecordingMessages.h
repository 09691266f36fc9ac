#pragma once

#include "ui/MessageBoxes.h"

#include <functional>
#include <QStringList>
#include <utility>

namespace ovlix::test {

// Records each message and closes it at once, as a user pressing OK would, or
// leaves it open until the test closes it.
class RecordingMessages : public MessageBoxes {
public:
    void show(QWidget*, const QString& text, std::function<void()> closed) override
    {
        shown.append(text);
        if (leaveOpen)
            open = std::move(closed);
        else if (closed)
            closed();
    }
    void closeOpen()
    {
        if (auto closed = std::exchange(open, {}))
            closed();
    }
    QStringList shown;
    bool leaveOpen = false;
    std::function<void()> open;
};

} // namespace ovlix::test
