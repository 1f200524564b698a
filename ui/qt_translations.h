#pragma once
// Qt's own texts (the standard buttons of message boxes, the file dialogs, the edit fields' context menus) in the
// language the program speaks, taken from Qt's translations when the system has them installed.

#include <string>
#include <string_view>

namespace varnholt {

// The locale name Qt's translation files use for one of the program's language codes ("PL" -> "pl", "US" -> "en").
std::string QtLanguageOf(std::string_view language_code);

// Installs Qt's translation for the language into the running application. True when Qt's texts now speak it
// (English needs no translation); false when no translation of Qt is installed for it, and Qt stays in English.
bool InstallQtTranslations(std::string_view language_code);

}  // namespace varnholt
