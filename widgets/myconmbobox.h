#pragma once
#include <QComboBox>

// The combo box of every form: it paints its text (and icon) centred like a
// push-button label, and remembers the index it showed when it was pressed so
// that a page can put the previous choice back after a change that failed.
class MyConmboBox : public QComboBox
{
public:
    explicit MyConmboBox(QWidget *parent = nullptr);
    ~MyConmboBox() override;

    // The index shown before the last press opened the popup; 0 until then.
    int PressIndex = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
