#pragma once
// The operating-system check made when the language component cannot be created.

#include <string>
#include <string_view>

namespace varnholt {

struct KernelIdentity {
  std::string sysname;  // "Linux"
  std::string release;  // "6.1.0-18-amd64"
};

struct OsCheckResult {
  bool supported = false;
  // Product name, " [ver. ", major.minor of the kernel, "]", "\r\n" and the kernel's name and full release.
  std::string description;
};

// The value of one KEY=value line of an os-release text, unquoted; empty when the key is missing.
std::string OsReleaseValue(std::string_view os_release_text, std::string_view key);

// The check from the distribution's os-release file and the kernel's identity. Every Linux system is supported; the
// product name is PRETTY_NAME, else NAME, else the kernel's name.
OsCheckResult CheckOperatingSystem(const std::string& os_release_path, const KernelIdentity& kernel);

// The check of the system this program runs on (/etc/os-release, else /usr/lib/os-release, and uname).
OsCheckResult CheckThisOperatingSystem();

}  // namespace varnholt
