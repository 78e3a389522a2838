#include "buttontheme.h"

namespace ButtonTheme {

QString MousePicture(const QString &dir, int number)
{
    return QStringLiteral("#widget{border:0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
        + dir + QStringLiteral("mouse") + QString::number(number) + QStringLiteral(".png);}");
}

QString DetailPage(const QString &dir, const QString &buttonColor)
{
    // "rgb(r,g,b;)" with the semicolon inside: Qt reads it as the colour.
    return QStringLiteral("QToolButton{color: rgb(") + buttonColor + QStringLiteral(";);border-image: url(") + dir
        + QStringLiteral("CMenuTitle.png);}QToolButton:checked{color: rgb(") + buttonColor
        + QStringLiteral(";);border-image: url(") + dir + QStringLiteral("CMenuTitleChecked.png); }");
}

QString MacroButton(const QString &dir, const QString &buttonColor)
{
    return QStringLiteral("QToolButton{color: rgb(") + buttonColor + QStringLiteral(";);border-image: url(") + dir
        + QStringLiteral("CMenuTitle.png);}QToolButton:hover{background-image: none;}QToolButton:checked{border-image: "
                         "url(")
        + dir + QStringLiteral("CMenuTitleChecked.png);}");
}

QString Rows(const QString &dir, const QString &buttonColor)
{
    return QStringLiteral("#scrollAreaWidgetContents_11{background-color:transparent;border:none;}"
                          "QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "color: rgb(")
        + buttonColor + QStringLiteral(";);background-image: url(") + dir
        + QStringLiteral("AMenuTitle.png);}QToolButton:checked{background-image: url(") + dir
        + QStringLiteral("AMenuTitleChecked.png); }QToolButton:unchecked{background-image: url(") + dir
        + QStringLiteral("AMenuTitle.png); }QLabel{color: rgb(0, 0, 0);border:0px;background-position:center;"
                         "background-repeat:no-repeat;background-image: url(")
        + dir + QStringLiteral("LabelNumber.png);}");
}

QString Label(const QString &labelColor)
{
    return QStringLiteral("QLabel{color: rgb(") + labelColor + QStringLiteral(";);}");
}

QString ActionButton(const QString &dir, const QString &buttonColor)
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "color: rgb(")
        + buttonColor + QStringLiteral(";);border-image: url(") + dir
        + QStringLiteral("Reset.png);}QToolButton:hover{border-image: url(") + dir
        + QStringLiteral("ResetHover.png); }QToolButton:pressed{border-image: url(") + dir
        + QStringLiteral("ResetClick.png); }"
                         // A disabled action (Export with nothing to export) shows dimmed text.
                         "QToolButton:disabled{color: rgb(110, 110, 110);}");
}

QString Marker(const QString &dir)
{
    return QStringLiteral("QToolButton{color: rgb(0, 0, 0);border:0px;background-position:center;"
                          "background-repeat:no-repeat;background-image: url(")
        + dir + QStringLiteral("NumberOrigin.png);}QToolButton:hover{background-image: url(") + dir
        + QStringLiteral("NumberHover.png);}QToolButton:pressed{padding-left: 0px;background-image: url(") + dir
        + QStringLiteral("NumberClick.png);}");
}

QString FunctionButton(const QString &dir, const QString &picture, const QString &checkedPicture)
{
    return QStringLiteral("QToolButton{border:0px;color: rgb(255,255,255);background-position:center;"
                          "background-repeat:no-repeat;background-image: url(")
        + dir + picture + QStringLiteral(");}QToolButton:checked{color: rgb(255,255,255);background-image: url(")
        + dir + checkedPicture + QStringLiteral(");}");
}

QString ProfileIcon(const QString &dir)
{
    return QStringLiteral("#label{border:0px;color: rgb(255, 255, 255);background-position:center;"
                          "background-repeat:no-repeat;background-image: url(")
        + dir + QStringLiteral("Config.png);}");
}

QString RowsBox(const QString &dir)
{
    return QStringLiteral("#groupBox {border: 0;background-image: url(") + dir + QStringLiteral("TiltleBack.png);}");
}

QString NoBorder(const QString &objectName)
{
    return QStringLiteral("#") + objectName + QStringLiteral("{border: 0;}");
}

QString NoBorderBox(const QString &objectName)
{
    return QStringLiteral("#") + objectName + QStringLiteral(" {border: 0;}");
}

}  // namespace ButtonTheme
