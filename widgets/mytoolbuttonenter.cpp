#include "mytoolbuttonenter.h"

mytoolButtonEnter::mytoolButtonEnter(QWidget *parent)
    : QToolButton(parent)
{
}

mytoolButtonEnter::~mytoolButtonEnter() = default;

int mytoolButtonEnter::TileIndexFromName(const QString &objectName)
{
    QString digits = objectName;
    digits.remove(QStringLiteral("btn"), Qt::CaseSensitive);
    bool ok = false;
    const int index = digits.toInt(&ok, 10);
    return ok && index >= 0 ? index : -1;
}

void mytoolButtonEnter::enterEvent(QEvent *)
{
    const int index = TileIndexFromName(objectName());
    if (index >= 0)
        emit tileEntered(index);
}

void mytoolButtonEnter::leaveEvent(QEvent *)
{
}
