#include "ProgramLook.h"

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOption>
#include <QWidget>

// The pictures are compiled into this static library, so they must be
// registered by hand before the first window needs them. Q_INIT_RESOURCE
// declares a function where it stands, so this one stays outside every
// namespace, anonymous ones included.
static void registerProgramPictures()
{
    Q_INIT_RESOURCE(resources);
}

namespace ovlix {

namespace {

// Draws a frame's line at half the title's height, with the title set in
// from the left and interrupting the line.
class LineThroughTitleStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                         const QWidget* widget) const override
    {
        const QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        return control == CC_GroupBox && part == SC_GroupBoxLabel ? rect.translated(kTitleIndent, 0)
                                                                  : rect;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        const auto* frame = qobject_cast<const QGroupBox*>(widget);
        if (element != PE_FrameGroupBox || !frame) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        QStyleOptionGroupBox box;
        box.initFrom(frame);
        box.text = frame->title();
        box.textAlignment = frame->alignment();
        box.subControls = SC_GroupBoxFrame | SC_GroupBoxLabel;
        const QRect title = subControlRect(CC_GroupBox, &box, SC_GroupBoxLabel, frame);
        const QRectF line = QRectF(option->rect.adjusted(0, option->fontMetrics.height() / 2, 0, 0))
                                .adjusted(0.5, 0.5, -0.5, -0.5);
        painter->save();
        painter->setClipRegion(QRegion(option->rect) - title.adjusted(-2, 0, 2, 0));
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(option->palette.color(QPalette::Window).darker(140));
        painter->drawRoundedRect(line, 2, 2);
        painter->restore();
    }

private:
    static constexpr int kTitleIndent = 6;
};

// The forms are laid out for MS Sans Serif, whose letters run narrower than
// those of Liberation Sans, the font the look is measured with (the package
// depends on it; Arial, on Windows, is its metric twin). Each documented size
// is drawn at 10/11 of its points, 8.25 points as 10 pixels at 96 dpi: every
// caption then fits its control with room to spare for a slightly wider font.
constexpr qreal kDrawnPerDocumentedPoint = 10.0 / 11.0;

void setPointSize(QWidget& widget, qreal points)
{
    QFont font = widget.font();
    font.setPointSizeF(points);
    widget.setFont(font);
}

} // namespace

void applyProgramLook()
{
    registerProgramPictures();
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(8.25 * kDrawnPerDocumentedPoint);
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

void useHeadingFont(QWidget& widget)
{
    // A font set on a frame would pass on to its children.
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        setPointSize(*child, child->font().pointSizeF());
    setPointSize(widget, 9.75 * kDrawnPerDocumentedPoint);
}

void useLargeFont(QWidget& widget)
{
    setPointSize(widget, 12 * kDrawnPerDocumentedPoint);
}

void runLineThroughTitle(QGroupBox& frame)
{
    auto* style = new LineThroughTitleStyle;
    style->setParent(&frame);
    frame.setStyle(style);
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

} // namespace ovlix
