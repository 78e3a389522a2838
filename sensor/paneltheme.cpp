#include "paneltheme.h"

#include "configini.h"
#include "paths.h"

#include <QComboBox>
#include <QWidget>

namespace PanelTheme {

QString PictureDir(const QString &folder)
{
    return Paths::AppFolder() + "/Picture/" + folder + "/";
}

ComboTheme::Colors ComboColors()
{
    ConfigIni *config = ConfigIni::GetInstance();
    ComboTheme::Colors colors;
    colors.text = config->Color("Option", "ComboxTextColor");
    colors.background = config->Color("Option", "ComboxBackGroundColor");
    colors.selection = config->Color("Option", "ComboxSelectColor");
    return colors;
}

QString Triple(const QString &key)
{
    return ConfigIni::GetInstance()->ColorTriple("Option", key);
}

void ApplyComboTheme(QComboBox *box, const QString &pictureDir, ComboTheme::Ending ending, bool ownPopup,
                     int maxVisibleItems)
{
    ComboTheme::Apply(box, ComboColors(), pictureDir, ending, ownPopup, maxVisibleItems);
}

QString LabelStyleSheet()
{
    return "QLabel{color: rgb(" + Triple("LabelColor") + ";);}";
}

QString CheckBoxStyleSheet(const QString &pictureDir)
{
    return "QCheckBox{color: rgb(" + Triple("LabelColor") + ";);}QCheckBox::indicator:checked {image: url("
        + pictureDir + "LODCheck.png);}QCheckBox::indicator:unchecked {image: url(" + pictureDir + "LOD.png);}";
}

QString SliderStyleSheet(const QString &pictureDir)
{
    return "QSlider:groove:horizontal{height:2px;left: 0px;right: 0px;border:0px;border-radius:6px;"
           "background:rgba(0,0,0,50);}QSlider:handle:horizontal{ width:  5px;height: 50px;  margin-top: -20px;"
           "margin-left: 0px; margin-bottom: -20px;margin-right: 0px; border-image: url("
        + pictureDir + "HuaKuai.png);} QSlider:sub-page:horizontal{background-color: rgb(" + Triple("SliderColor")
        + ";);}QSlider:add-page:horizontal{background-color: rgb(255, 255, 255);}";
}

QString FramedSpinStyleSheet()
{
    const QString text = Triple("LinEditColorSecond");
    return "QSpinBox{background-color: transparent;color: rgb(" + text
        + ";);border: 1px  solid gray;}QSpinBox:hover{background-color: transparent;color: rgb(" + text
        + ";);border: 1px  solid gray;}";
}

void DropFrameLine(QWidget *panel)
{
    panel->setStyleSheet(QString::fromLatin1(panel->metaObject()->className()) + "{border:0px;}");
}

}  // namespace PanelTheme
