#pragma once
// The program's version, as the build states it.

#include <string>

namespace varnholt {

struct VersionNumbers {
  int major = 0;
  int minor = 0;
  int release = 0;
  int build = 0;
};

// The version this program was built as.
VersionNumbers BuildVersion();

// Major and minor number joined by a point; on request the release and then the build number follow, each after a
// point ("0.1", "0.1.0", "0.1.0.0").
std::string VersionText(const VersionNumbers& version, bool with_release, bool with_build);

// VersionText of the build's version.
std::string ProgramVersion(bool with_release = false, bool with_build = false);

}  // namespace varnholt
