#pragma once
#include <QEvent>
#include <QSlider>

// A slider that jumps straight to the clicked position instead of stepping
// towards it. After the jump it tells its parent with an event of type
// kJumpEventType (nothing in the program acts on it). A press on the knob
// itself does not jump: it takes hold of the knob for a drag.
class MySlider : public QSlider
{
public:
    static constexpr QEvent::Type kJumpEventType = static_cast<QEvent::Type>(QEvent::User + 1);

    explicit MySlider(QWidget *parent = nullptr);
    ~MySlider() override;

    // The value a press at widget x lands on for the given geometry and range;
    // the caller must pass a positive width.
    static int ValueAt(int x, int width, int minimum, int maximum);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    bool OnHandle(const QPoint &pos) const;
};
