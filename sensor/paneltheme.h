#pragma once
// Theme pieces the small panels share: the picture folders and the combo
// colours of Config.ini group "Option".

#include "combotheme.h"

#include <QString>

class QWidget;

namespace PanelTheme {

// Application folder + "/Picture/" + folder + "/".
QString PictureDir(const QString &folder);

// ComboxTextColor, ComboxBackGroundColor and ComboxSelectColor.
ComboTheme::Colors ComboColors();

// The first three numbers of an "Option" colour list joined with ",".
QString Triple(const QString &key);

// The panels are laid on the dark pages without a frame line of their own;
// their frame shape stays as the form says.
void DropFrameLine(QWidget *panel);

}  // namespace PanelTheme
