#include "services/program_version.h"

namespace varnholt {

VersionNumbers BuildVersion() {
  return {VARNHOLT_VERSION_MAJOR, VARNHOLT_VERSION_MINOR, VARNHOLT_VERSION_RELEASE, VARNHOLT_VERSION_BUILD};
}

std::string VersionText(const VersionNumbers& version, bool with_release, bool with_build) {
  std::string text = std::to_string(version.major) + "." + std::to_string(version.minor);
  if (with_release) text += "." + std::to_string(version.release);
  if (with_build) text += "." + std::to_string(version.build);
  return text;
}

std::string ProgramVersion(bool with_release, bool with_build) {
  return VersionText(BuildVersion(), with_release, with_build);
}

}  // namespace varnholt
