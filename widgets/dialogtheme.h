#pragma once
// The look shared by the small frameless dialogs that are not built on the
// notice template (the key-capture dialogs, the delay dialog): style sheets
// from the theme colours of Config.ini and the pictures of a folder.

#include <QString>

namespace DialogTheme {

// Text colour of a prompt: Option/LabelColor.
QString LabelSheet();
// A text button on Confirm.png / ConfirmClick.png in Option/ButtonColor.
QString TextButtonSheet(const QString &pictureDir);
// The close button: Close.png, CloseHover.png, CloseClick.png.
QString CloseButtonSheet(const QString &pictureDir);
// The background frame named `frameName`: BackGround.png.
QString FrameSheet(const QString &frameName, const QString &pictureDir);
// The entry field, for widgets of `type` ("QLineEdit", "QSpinBox"): the
// theme's field text colour (Option/LinEditColor) on the theme's field
// background (ComboxBackGroundColor) with a faint border. The theme's text
// colours are light, so the platform's white field would hide the text.
QString FieldSheet(const QString &type);

}  // namespace DialogTheme
