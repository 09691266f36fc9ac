#pragma once

#include <QPointer>
#include <QWidget>
#include <utility>

namespace ovlix {

// Ties an answer to the window that asked: it runs only while the window is
// open, so an answer never reaches a closed window, whichever of its members
// goes first.
template <class Handler> auto whileOpen(QWidget& window, Handler handler)
{
    return [window = QPointer<QWidget>(&window), handler = std::move(handler)](auto&&... answer) {
        if (window && window->isVisible())
            handler(std::forward<decltype(answer)>(answer)...);
    };
}

// A window waiting for the device takes no input and cannot start a second
// request, yet keeps repainting; once the last request it waits for has ended,
// the focus comes back to where it was.
class DeviceWait {
public:
    explicit DeviceWait(QWidget& window) : window_(window) {}

    // Begins a wait for one answer and returns what that answer runs: the wait
    // ends, then `handler`; neither once the window is closed.
    template <class Handler> auto forAnswer(Handler handler)
    {
        begin();
        return whileOpen(window_, [this, handler = std::move(handler)](auto&&... answer) {
            end();
            handler(std::forward<decltype(answer)>(answer)...);
        });
    }

private:
    void begin();
    void end();

    QWidget& window_;
    QPointer<QWidget> focusBefore_;
    int waiting_ = 0;
};

} // namespace ovlix
