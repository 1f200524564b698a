#pragma once
// The program folders and interface texts the commands share.

#include <optional>
#include <ostream>
#include <string>

#include "project/project_document.h"
#include "services/interfejs.h"
#include "services/program_folder.h"

namespace varnholt::cli {

// The --home folder given on the command line, if any; it replaces $VARNHOLT_HOME and the folders of an
// installed program.
void SetHomeOption(std::optional<std::string> home);

// The program folders in use: the shipped data and the folder the commands write into.
ProgramFolders CliProgramFolders();

// The folder out.cn and firmware images are written into, made when it is missing (the account's data folder of an
// installed program); nothing, with the reason written to err, when it cannot be made.
std::optional<std::string> CliWritableFolder(std::ostream& err);

// The language component of the locale's language, loaded once from the shipped data; a failed load is written
// to `warnings` once.
const tInterfejs& ProgramLanguage(std::ostream& warnings);

// The interface texts of the locale's language, loaded once from the shipped data. When the language file cannot
// be loaded, the reason is written to `warnings` once and every lookup answers "error".
const TextLookup& ProgramTexts(std::ostream& warnings);

}  // namespace varnholt::cli
