#pragma once
// Qt's own texts (the buttons and labels of the colour dialog) in the
// program's language, from Qt's translation files where the system has them.
//
// The translator is installed once and only its contents change, so choosing
// a language sends no application-wide LanguageChange: the pages take their
// texts from the language files, and a LanguageChange would put their form
// defaults back. A Qt dialog picks up the current texts when it is sent a
// LanguageChange of its own (see SensorDPI, before it shows its colour dialog).

namespace QtTexts {

// The Qt translation file's locale for a language index ("" for English and
// for any index outside 1 to 5).
const char *LocaleOf(int languageIndex);

// Makes Qt's own texts follow the language index; English when the system has
// no translation for it.
void Use(int languageIndex);

}  // namespace QtTexts
