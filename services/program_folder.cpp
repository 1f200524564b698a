#include "services/program_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace varnholt {

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !executable.has_parent_path()) return "./";
  return WithTrailingSeparator(executable.parent_path().string());
}

std::string ProgramFolder(const std::optional<std::string>& home_option) {
  if (home_option && !home_option->empty()) return WithTrailingSeparator(*home_option);
  if (const char* home = std::getenv("VARNHOLT_HOME"); home != nullptr && *home != '\0') {
    return WithTrailingSeparator(home);
  }
  return ExecutableFolder();
}

}  // namespace varnholt
