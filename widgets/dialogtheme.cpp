#include "dialogtheme.h"

#include "configini.h"

namespace DialogTheme {

namespace {

QString Colour(const char *key)
{
    return ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QString::fromLatin1(key));
}

}  // namespace

QString LabelSheet()
{
    return QStringLiteral("QLabel{color: rgb(") + Colour("LabelColor") + QStringLiteral(";);}");
}

QString TextButtonSheet(const QString &pictureDir)
{
    return QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + Colour("ButtonColor") + QStringLiteral(";);border-image: url(") + pictureDir
           + QStringLiteral("Confirm.png);}QToolButton:pressed{border-image: url(") + pictureDir
           + QStringLiteral("ConfirmClick.png); }");
}

QString CloseButtonSheet(const QString &pictureDir)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + pictureDir
           + QStringLiteral("Close.png);background-position:center;background-repeat:no-repeat;}"
                            "QToolButton:hover{background-image: url(")
           + pictureDir + QStringLiteral("CloseHover.png);}QToolButton:pressed{background-image: url(") + pictureDir
           + QStringLiteral("CloseClick.png);}");
}

QString FrameSheet(const QString &frameName, const QString &pictureDir)
{
    return QStringLiteral("#") + frameName
           + QStringLiteral("{border:0px;background-position:center;background-repeat:no-repeat;"
                            "background-image: url(")
           + pictureDir + QStringLiteral("BackGround.png);}");
}

QString FieldSheet(const QString &type)
{
    return type + QStringLiteral("{color: rgb(") + Colour("LinEditColor") + QStringLiteral(";);background-color: rgb(")
           + Colour("ComboxBackGroundColor") + QStringLiteral(");border:1px solid rgba(255,255,255,60);}");
}

}  // namespace DialogTheme
