#pragma once
// A click on a slider's groove beside its handle, as a user steps a slider.

#include <QApplication>
#include <QMouseEvent>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

namespace SliderGroove {

// Presses and releases the left button on the groove, a little to the right
// of the handle (`right`) or to its left.
inline void Click(QSlider *slider, bool right)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.state |= QStyle::State_Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.pageStep = slider->pageStep();
    option.singleStep = slider->singleStep();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    const QPoint at(right ? handle.right() + 15 : handle.left() - 15, slider->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, slider->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
    }
}

}  // namespace SliderGroove
