#include "myconmbobox.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

MyConmboBox::MyConmboBox(QWidget *parent)
    : QComboBox(parent)
{
}

MyConmboBox::~MyConmboBox() = default;

void MyConmboBox::mousePressEvent(QMouseEvent *event)
{
    PressIndex = currentIndex();
    QComboBox::mousePressEvent(event);
}

void MyConmboBox::paintEvent(QPaintEvent *)
{
    QStyleOptionComboBox option;
    QStyleOptionButton label;
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        initStyleOption(&option);
        style()->drawComplexControl(QStyle::CC_ComboBox, &option, &painter, this);
        if (isEditable()) {
            style()->drawControl(QStyle::CE_ComboBoxLabel, &option, &painter, this);
            return;
        }
        label.initFrom(this);
        label.rect = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                             QStyle::SC_ComboBoxEditField, this);
        label.text = currentText();
        label.icon = itemIcon(currentIndex());
        label.iconSize = option.iconSize;
    }
    // Laid out as a push-button label: text and icon centred in the edit field.
    QPainter painter(this);
    style()->drawControl(QStyle::CE_PushButtonLabel, &label, &painter, this);
}
