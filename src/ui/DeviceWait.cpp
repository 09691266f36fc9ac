#include "DeviceWait.h"

namespace ovlix {

void DeviceWait::begin()
{
    if (waiting_++ > 0)
        return;
    focusBefore_ = window_.focusWidget();
    window_.setCursor(Qt::WaitCursor);
    window_.setEnabled(false);
}

void DeviceWait::end()
{
    if (--waiting_ > 0)
        return;
    window_.setEnabled(true);
    window_.unsetCursor();
    if (focusBefore_)
        focusBefore_->setFocus();
}

} // namespace ovlix
