#include "ProgramLook.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

// The pictures are compiled into this static library, so they must be
// registered by hand before the first window needs them.
static void registerProgramPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace ovlix {

namespace {

// Enter on a focused button presses it, as a keyboard user expects; Qt leaves
// that to the default buttons of dialogs, which keep their own handling.
class EnterPressesButtons : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
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
};

} // namespace

void applyProgramLook(QApplication& application)
{
    registerProgramPictures();
    application.installEventFilter(new EnterPressesButtons(&application));
    // The forms are laid out for a small sans serif font of 8.25 points.
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
}

void centreOnScreen(QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

void useFixedBorder(QWidget& window)
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint);
}

static void setPointSize(QWidget& widget, qreal points)
{
    QFont font = widget.font();
    font.setPointSizeF(points);
    widget.setFont(font);
}

void useHeadingFont(QWidget& widget)
{
    // A font set on a frame would pass on to its children.
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        setPointSize(*child, child->font().pointSizeF());
    setPointSize(widget, 9.75);
}

void showAsReadOnly(QLineEdit& box)
{
    QPalette grey = box.palette();
    grey.setColor(QPalette::Base, box.window()->palette().color(QPalette::Window).darker(110));
    box.setPalette(grey);
}

void fillCodeList(QComboBox& list, const QStringList& codes)
{
    list.setCompleter(nullptr);
    list.setInsertPolicy(QComboBox::NoInsert);
    list.clear();
    list.addItems(codes);
    list.setCurrentIndex(0);
}

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
