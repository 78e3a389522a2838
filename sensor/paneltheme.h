#pragma once
// Theme pieces the small panels share: the picture folders and the combo
// colours of Config.ini group "Option".

#include "combotheme.h"

#include <QString>

class QComboBox;
class QWidget;

namespace PanelTheme {

// Application folder + "/Picture/" + folder + "/".
QString PictureDir(const QString &folder);

// ComboxTextColor, ComboxBackGroundColor and ComboxSelectColor.
ComboTheme::Colors ComboColors();

// The first three numbers of an "Option" colour list joined with ",".
QString Triple(const QString &key);

// Dresses a panel's combo box with the combo theme and makes its popup drop
// below the box as a list of at most maxVisibleItems rows (0: Qt's default),
// as on the program's home platform; some desktop styles would otherwise lay
// every item over the box.
void ApplyComboTheme(QComboBox *box, const QString &pictureDir, ComboTheme::Ending ending, bool ownPopup,
                     int maxVisibleItems = 0);

// "QLabel{color: rgb(<LabelColor>;);}".
QString LabelStyleSheet();

// Check boxes in the label colour whose indicator is LOD.png, or LODCheck.png
// while checked, from `pictureDir`.
QString CheckBoxStyleSheet(const QString &pictureDir);

// A horizontal slider on a thin groove with the HuaKuai.png handle of
// `pictureDir`, the part left of the handle in SliderColor, the rest white.
QString SliderStyleSheet(const QString &pictureDir);

// A read-only number box: transparent, 1 px gray border, LinEditColorSecond
// text, the same when hovered.
QString FramedSpinStyleSheet();

// The panels are laid on the dark pages without a frame line of their own;
// their frame shape stays as the form says.
void DropFrameLine(QWidget *panel);

}  // namespace PanelTheme
