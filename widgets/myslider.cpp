#include "myslider.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtGlobal>

MySlider::MySlider(QWidget *parent)
    : QSlider(parent)
{
}

MySlider::~MySlider() = default;

int MySlider::ValueAt(int x, int width, int minimum, int maximum)
{
    // The span is formed in 64 bits so extreme ranges cannot overflow; the
    // result is truncated toward zero and kept inside the range, which also
    // covers presses that land outside the widget while it grabs the mouse.
    const qint64 span = static_cast<qint64>(maximum) - minimum;
    const double value = minimum + (static_cast<double>(x) / width) * static_cast<double>(span);
    const double low = qMin(minimum, maximum);
    const double high = qMax(minimum, maximum);
    return static_cast<int>(qBound(low, value, high));
}

bool MySlider::OnHandle(const QPoint &pos) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->hitTestComplexControl(QStyle::CC_Slider, &option, pos, this) == QStyle::SC_SliderHandle;
}

void MySlider::mousePressEvent(QMouseEvent *event)
{
    // A press on the knob only takes hold of it: the value changes when a
    // drag ends, not under the pointer now.
    const bool onHandle = OnHandle(event->pos());
    QSlider::mousePressEvent(event);
    if (onHandle || width() <= 0)
        return;  // (no geometry yet: nothing to map the press onto)
    setValue(ValueAt(event->pos().x(), width(), minimum(), maximum()));
    if (QWidget *parent = parentWidget()) {
        QEvent jumped(kJumpEventType);
        QCoreApplication::sendEvent(parent, &jumped);
    }
}
