#pragma once
// The look of the entry field of the small dialogs (the key-capture dialogs'
// line edits, the delay dialog's spin box).

#include <QString>

// A style sheet for widgets of `type` ("QLineEdit", "QSpinBox"): the theme's
// field text colour (Config.ini Option/LinEditColor) on the theme's field
// background (ComboxBackGroundColor), with a faint border. The theme's text
// colours are light, so the platform's white field would hide the text.
QString FieldStyleSheet(const QString &type);
