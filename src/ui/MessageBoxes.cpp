#include "MessageBoxes.h"

#include <QMessageBox>

namespace ovlix {

void QtMessageBoxes::show(QWidget* over, const QString& text, std::function<void()> closed)
{
    // A modeless show() instead of exec(): no nested event loop runs inside the
    // handler that asked for the box.
    auto* box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("OvlixSetup"),
                                QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                                QMessageBox::Ok, over);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    if (closed)
        QObject::connect(box, &QMessageBox::finished, box, [closed](int) { closed(); });
    box->show();
}

} // namespace ovlix
