#include "services/os_check.h"

#include <sys/utsname.h>

#include <cctype>
#include <filesystem>
#include <fstream>

namespace varnholt {
namespace {

// An os-release file is a few hundred bytes; more than this is not read.
constexpr std::streamsize kMaxOsReleaseBytes = 64 * 1024;

std::string ReadSmallFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string text(static_cast<size_t>(kMaxOsReleaseBytes), '\0');
  file.read(text.data(), kMaxOsReleaseBytes);
  text.resize(static_cast<size_t>(file.gcount()));
  return text;
}

// Removes the shell quoting of an os-release value: "..." with backslash escapes, or '...'.
std::string Unquote(std::string_view value) {
  if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
    return std::string(value.substr(1, value.size() - 2));
  }
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    std::string text;
    value = value.substr(1, value.size() - 2);
    for (size_t i = 0; i < value.size(); ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      text += value[i];
    }
    return text;
  }
  return std::string(value);
}

// The kernel release's leading "major.minor", or the whole release when it does not start that way.
std::string KernelMajorMinor(const std::string& release) {
  size_t end = 0;
  while (end < release.size() && std::isdigit(static_cast<unsigned char>(release[end])) != 0) ++end;
  if (end == 0 || end >= release.size() || release[end] != '.') return release;
  size_t minor_end = end + 1;
  while (minor_end < release.size() && std::isdigit(static_cast<unsigned char>(release[minor_end])) != 0) ++minor_end;
  if (minor_end == end + 1) return release;
  return release.substr(0, minor_end);
}

}  // namespace

std::string OsReleaseValue(std::string_view os_release_text, std::string_view key) {
  std::string_view rest = os_release_text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
      return Unquote(line.substr(key.size() + 1));
    }
  }
  return {};
}

OsCheckResult CheckOperatingSystem(const std::string& os_release_path, const KernelIdentity& kernel) {
  const std::string text = ReadSmallFile(os_release_path);
  std::string product = OsReleaseValue(text, "PRETTY_NAME");
  if (product.empty()) product = OsReleaseValue(text, "NAME");
  if (product.empty()) product = kernel.sysname.empty() ? "Linux" : kernel.sysname;
  OsCheckResult result;
  result.supported = true;
  result.description = product + " [ver. " + KernelMajorMinor(kernel.release) + "]\r\n" + kernel.sysname + " " +
                       kernel.release;
  return result;
}

OsCheckResult CheckThisOperatingSystem() {
  KernelIdentity kernel;
  struct utsname name {};
  if (::uname(&name) == 0) {
    kernel.sysname = name.sysname;
    kernel.release = name.release;
  }
  std::error_code error;
  const std::string path = std::filesystem::exists("/etc/os-release", error) ? "/etc/os-release" : "/usr/lib/os-release";
  return CheckOperatingSystem(path, kernel);
}

}  // namespace varnholt
