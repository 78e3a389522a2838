#pragma once
// The style sheets of the button page. Each takes the page's picture folder
// (ending in a separator) and the theme colours as "r,g,b" texts, and returns
// the sheet exactly as the page sets it.

#include <QString>

namespace ButtonTheme {

// The mouse picture `mouse<number>.png` on the page's `widget`.
QString MousePicture(const QString &dir, int number);

// The pages of the detail list; their tool buttons inherit it.
QString DetailPage(const QString &dir, const QString &buttonColor);

// A button of the macro list.
QString MacroButton(const QString &dir, const QString &buttonColor);

// The rows' contents widget: the row buttons and their number labels.
QString Rows(const QString &dir, const QString &buttonColor);

// A label in the theme's label colour.
QString Label(const QString &labelColor);

// Reset, ImportData and OutputData.
QString ActionButton(const QString &dir, const QString &buttonColor);

// The numbered badges on the mouse picture.
QString Marker(const QString &dir);

// A button of the function list: white text on `picture`, and on
// `checkedPicture` while checked.
QString FunctionButton(const QString &dir, const QString &picture, const QString &checkedPicture);

// The small picture beside the profile box.
QString ProfileIcon(const QString &dir);

// The box behind the rows and both lists.
QString RowsBox(const QString &dir);

// "#<objectName>{border: 0;}", the borderless look of scroll areas and boxes.
QString NoBorder(const QString &objectName);

// "#<objectName> {border: 0;}", the same with the blank the group boxes carry.
QString NoBorderBox(const QString &objectName);

}  // namespace ButtonTheme
