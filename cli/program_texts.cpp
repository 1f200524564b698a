#include "cli/program_texts.h"

#include <memory>
#include <utility>

#include "services/interfejs.h"
#include "services/locale_country.h"
#include "services/program_folder.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {
namespace {

std::optional<std::string>& HomeOption() {
  static std::optional<std::string> home;
  return home;
}

}  // namespace

void SetHomeOption(std::optional<std::string> home) { HomeOption() = std::move(home); }

ProgramFolders CliProgramFolders() { return ProgramFoldersOfThisRun(HomeOption()); }

std::optional<std::string> CliWritableFolder(std::ostream& err) {
  const ProgramFolders folders = CliProgramFolders();
  if (const std::string problem = MakeWritableFolder(folders); !problem.empty()) {
    err << "Cannot make the folder for the program's files: " << problem << '\n';
    return std::nullopt;
  }
  return folders.writable;
}

const tInterfejs& ProgramLanguage(std::ostream& warnings) {
  static std::unique_ptr<tInterfejs> language;
  if (!language) {
    ScriptedOperator quiet;  // a failed load is told here, not in a message box
    {
      ScopedOperator scoped(quiet);
      language = std::make_unique<tInterfejs>(
          InterfaceSetup{CliProgramFolders().shipped, {}, LocaleCountryCode(), ""});
    }
    for (const auto& message : quiet.messages()) warnings << message.text << '\n';
  }
  return *language;
}

const TextLookup& ProgramTexts(std::ostream& warnings) {
  static TextLookup lookup;
  if (!lookup) {
    const tInterfejs* texts = &ProgramLanguage(warnings);
    lookup = [texts](std::string_view section, std::string_view key) { return texts->GetText(section, key); };
  }
  return lookup;
}

}  // namespace varnholt::cli
