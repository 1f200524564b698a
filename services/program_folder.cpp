#include "services/program_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#ifndef VARNHOLT_INSTALLED_DATA_FOLDER
#error "VARNHOLT_INSTALLED_DATA_FOLDER names the shipped data relative to the installed executables"
#endif

namespace varnholt {
namespace {

namespace fs = std::filesystem;

// The program's own folder name inside the account's data folder.
constexpr const char* kAccountFolderName = "varnholt";

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool HasText(const std::optional<std::string>& value) { return value && !value->empty(); }

// The account's home folder from the password database, for a process started without $HOME.
std::optional<std::string> PasswordHome() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  if (size <= 0) size = 16384;
  std::vector<char> buffer(static_cast<size_t>(size));
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  if (found->pw_dir == nullptr || *found->pw_dir == '\0') return std::nullopt;
  return std::string(found->pw_dir);
}

// Makes one missing folder readable by the account alone.
std::error_code MakeOwnFolder(const fs::path& folder) {
  std::error_code error;
  const bool made = fs::create_directory(folder, error);
  if (error || !made) return error;  // one made meanwhile by someone else keeps its permissions
  fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
  return error;
}

}  // namespace

ProgramFolders OneProgramFolder(std::string folder) {
  folder = WithTrailingSeparator(std::move(folder));
  return ProgramFolders{folder, folder, false};
}

std::string InstalledDataFolderOf(const std::string& executable_folder) {
  return WithTrailingSeparator(
      (fs::path(executable_folder) / VARNHOLT_INSTALLED_DATA_FOLDER).lexically_normal().string());
}

ProgramFolders ChooseProgramFolders(const FolderFacts& facts) {
  if (HasText(facts.home_option)) return OneProgramFolder(*facts.home_option);
  if (HasText(facts.varnholt_home)) return OneProgramFolder(*facts.varnholt_home);
  const std::string installed_data = InstalledDataFolderOf(facts.executable_folder);
  if (!IsFolder(installed_data)) return OneProgramFolder(facts.executable_folder);

  ProgramFolders folders{installed_data, "", true};
  // Only an absolute $XDG_DATA_HOME counts; a relative one would depend on where the program was started.
  if (HasText(facts.xdg_data_home) && fs::path(*facts.xdg_data_home).is_absolute()) {
    folders.writable = WithTrailingSeparator((fs::path(*facts.xdg_data_home) / kAccountFolderName).string());
  } else if (HasText(facts.account_home)) {
    folders.writable =
        WithTrailingSeparator((fs::path(*facts.account_home) / ".local" / "share" / kAccountFolderName).string());
  }
  return folders;
}

FolderFacts FactsOfThisProcess(const std::optional<std::string>& home_option) {
  FolderFacts facts;
  facts.home_option = home_option;
  facts.varnholt_home = Environment("VARNHOLT_HOME");
  facts.xdg_data_home = Environment("XDG_DATA_HOME");
  facts.account_home = Environment("HOME");
  if (!HasText(facts.account_home)) facts.account_home = PasswordHome();
  facts.executable_folder = ExecutableFolder();
  return facts;
}

ProgramFolders ProgramFoldersOfThisRun(const std::optional<std::string>& home_option) {
  return ChooseProgramFolders(FactsOfThisProcess(home_option));
}

std::error_code MakeOwnFolders(const fs::path& folder) {
  std::vector<fs::path> missing;
  std::error_code error;
  for (fs::path step = folder; !step.empty() && !fs::exists(step, error); step = step.parent_path()) {
    if (error) return error;
    missing.push_back(step);
    if (step == step.parent_path()) break;
  }
  for (auto step = missing.rbegin(); step != missing.rend(); ++step) {
    if (const std::error_code made = MakeOwnFolder(*step)) return made;
  }
  if (!fs::is_directory(folder, error)) return error ? error : std::make_error_code(std::errc::not_a_directory);
  if (access(folder.c_str(), W_OK | X_OK) != 0) return {errno, std::generic_category()};
  return {};
}

std::string MakeWritableFolder(const ProgramFolders& folders) {
  if (!folders.per_account) return "";
  if (folders.writable.empty()) {
    return "~/.local/share/" + std::string(kAccountFolderName) + "/: " +
           std::make_error_code(std::errc::no_such_file_or_directory).message();
  }
  const std::error_code error = MakeOwnFolders(fs::path(folders.writable).parent_path());
  return error ? folders.writable + ": " + error.message() : "";
}

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (error || !executable.has_parent_path()) return "./";
  return WithTrailingSeparator(executable.parent_path().string());
}

}  // namespace varnholt
