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

void DropFrameLine(QWidget *panel)
{
    panel->setStyleSheet(QString::fromLatin1(panel->metaObject()->className()) + "{border:0px;}");
}

}  // namespace PanelTheme
