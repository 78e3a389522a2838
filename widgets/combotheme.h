#pragma once
#include <QColor>
#include <QString>

class QComboBox;

// The one style-sheet template with which every form dresses its combo boxes:
// colours from the theme, pictures ComboboxBack / Menu / MenuClicked /
// ComboboxTextBack from the form's picture folder.
namespace ComboTheme {

// How the box shows its text while it is disabled.
enum class Ending {
    Plain,          // nothing extra
    DisabledBlack,  // rgb(0, 0, 0)
    DisabledGrey,   // rgb(63, 63, 63)
};

struct Colors
{
    QColor text;        // text of the box and of its list
    QColor background;  // the drop-down button
    QColor selection;   // selected (and hovered) list item
};

// "r,g,b" in decimal, the form the theme lists are written in.
QString RgbText(const QColor &color);

// The style sheet of the box; `pictureFolder` ends with a separator.
QString StyleSheet(const Colors &colors, const QString &pictureFolder, Ending ending);

// The style sheet of a popup list of the form's own.
QString PopupStyleSheet(const QColor &selection);

// Applies the theme to `box`: the style sheet, and when `ownPopup` a new
// parentless list view (owned by the box from then on) styled with the
// selection colour; `maxVisibleItems` > 0 limits the rows the popup shows.
void Apply(QComboBox *box, const Colors &colors, const QString &pictureFolder, Ending ending,
           bool ownPopup, int maxVisibleItems = 0);

}  // namespace ComboTheme
