#pragma once
// The program folder, split in two when the program is installed: the data shipped with it, which it only reads, and
// the files it writes, which belong to the account that runs it.

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace varnholt {

struct ProgramFolders {
  // Language files, samples, manuals, catalogue, firmware images, dealer pictures. With a trailing '/'.
  std::string shipped;
  // out.cn, the configuration, the settings record, base.txt, firmware images read from a controller. With a
  // trailing '/'; empty when the account has no home folder to hold it.
  std::string writable;
  // The writable folder is the account's data folder of an installed program (made on first start).
  bool per_account = false;
};

// One folder for both roles: the build tree, a copied program folder, --home.
ProgramFolders OneProgramFolder(std::string folder);

// What decides the folders, as the command line, the environment and the executable's place give it.
struct FolderFacts {
  std::optional<std::string> home_option;    // --home DIR
  std::optional<std::string> varnholt_home;  // $VARNHOLT_HOME
  std::optional<std::string> xdg_data_home;  // $XDG_DATA_HOME
  std::optional<std::string> account_home;   // $HOME, else the account's home folder
  std::string executable_folder;
};

// The shipped data of an installed program, relative to the folder of its executables.
std::string InstalledDataFolderOf(const std::string& executable_folder);

// Decides the folders. --home, else a non-empty $VARNHOLT_HOME: that one folder for both. Else, when the executable
// is installed (InstalledDataFolderOf its folder exists): the installed data folder, and for the written files
// $XDG_DATA_HOME/varnholt when that variable holds an absolute path, else ~/.local/share/varnholt. Else the
// executable's own folder for both, as in the build tree.
ProgramFolders ChooseProgramFolders(const FolderFacts& facts);

// The facts of this process: the environment, the account's home folder and the running executable's folder.
FolderFacts FactsOfThisProcess(const std::optional<std::string>& home_option);

// The folders of this process (ChooseProgramFolders over FactsOfThisProcess).
ProgramFolders ProgramFoldersOfThisRun(const std::optional<std::string>& home_option);

// Makes the account's data folder on first start, missing parents included, readable by the account alone. Returns
// why it cannot be used ("" when it can): a folder that cannot be made, or no home folder to make it in. A single
// program folder is left as it is.
std::string MakeWritableFolder(const ProgramFolders& folders);

// Makes folder and each missing parent readable by the account alone, the way every folder of the account's data
// is made (folders that exist keep their permissions); an error when one cannot be made or the folder cannot be
// written.
std::error_code MakeOwnFolders(const std::filesystem::path& folder);

// The folder of the running executable, with a trailing '/'; "./" when the system cannot tell.
std::string ExecutableFolder();

// The folder with a trailing '/' added when it has none ("" stays "").
std::string WithTrailingSeparator(std::string folder);

}  // namespace varnholt
