#pragma once
// Firmware image files: where the image of a model lives, its version words and its program words, and the version
// rules of the upgrade.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "services/program_folder.h"

namespace varnholt {

// Program words of the controller's firmware, and the bytes of an image: two version words and the program.
inline constexpr size_t kFirmwareProgramWords = 65537;
inline constexpr size_t kFirmwareImageBytes = 2 * (2 + kFirmwareProgramWords);

// A firmware version as the controller and the image state it.
struct FirmwareVersion {
  uint32_t major = 0;
  uint32_t minor = 0;

  // "major.minor".
  std::string Text() const;
  // The numbers written one after the other in decimal: 1.12 gives 112, 2.3 gives 23.
  int64_t Number() const;

  friend bool operator==(const FirmwareVersion&, const FirmwareVersion&) = default;
};

// Whether a controller of this version may be upgraded with the upgrade button: majors 1 to 9 with a minor of at
// least 1, except 1.1.
bool UpgradeAllowed(const FirmwareVersion& controller);

// Whether the image is older than the controller's firmware, by the numbers of FirmwareVersion::Number.
bool IsDowngrade(const FirmwareVersion& image, const FirmwareVersion& controller);

struct FirmwareImage {
  FirmwareVersion version;
  std::vector<uint16_t> words;  // kFirmwareProgramWords program words in address order
};

// The image of a model: the program folder, "ROM/", the model code, "/Ondrel.rom"; without a model code the image
// in the program folder itself.
std::string FirmwareImagePath(const std::string& program_folder, const std::string& model_code);

// The image a model is upgraded from: the one in the writable folder (read from a controller or put there by the
// operator) when that file exists, else the one shipped with the program.
std::string FindFirmwareImage(const ProgramFolders& folders, const std::string& model_code);

// Why an image could not be loaded.
enum class ImageProblem { kNone, kMissing, kUnreadable, kShort };

struct ImageLoad {
  std::optional<FirmwareImage> image;
  ImageProblem problem = ImageProblem::kNone;
  std::string detail;  // the run-time message of an unreadable file
};

// Reads a whole image; bytes after the program are not read.
ImageLoad LoadFirmwareImage(const std::string& path);

// The bytes of an image file.
std::string FirmwareImageBytes(const FirmwareImage& image);

}  // namespace varnholt
