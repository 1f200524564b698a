#pragma once
// The program folder and interface texts the commands share.

#include <optional>
#include <ostream>
#include <string>

#include "project/project_document.h"
#include "services/interfejs.h"

namespace varnholt::cli {

// The --home folder given on the command line, if any; it replaces $VARNHOLT_HOME and the executable's folder.
void SetHomeOption(std::optional<std::string> home);

// The program folder in use, with a trailing '/'.
std::string CliProgramFolder();

// The language component of the locale's language, loaded once from the program folder; a failed load is written
// to `warnings` once.
const tInterfejs& ProgramLanguage(std::ostream& warnings);

// The interface texts of the locale's language, loaded once from the program folder. When the language file cannot
// be loaded, the reason is written to `warnings` once and every lookup answers "error".
const TextLookup& ProgramTexts(std::ostream& warnings);

}  // namespace varnholt::cli
