#include "EnterPressesButtons.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace ovlix {

bool EnterPressesButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!button || !button->isEnabled() || qobject_cast<QDialog*>(button->window()) ||
        (key != Qt::Key_Return && key != Qt::Key_Enter))
        return false;
    button->click();
    return true;
}

} // namespace ovlix
