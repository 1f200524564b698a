#pragma once
// Firmware image files: where the image of a model lives, its version words and its program words, the checks an
// image passes before it is sent, and the version rules of the upgrade.

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
// The controller's firmware carries its own version in its last two program words (major, then minor).
inline constexpr size_t kFirmwareMajorWord = kFirmwareProgramWords - 2;
inline constexpr size_t kFirmwareMinorWord = kFirmwareProgramWords - 1;

// A firmware version as the controller and the image state it.
struct FirmwareVersion {
  uint32_t major = 0;
  uint32_t minor = 0;

  // "major.minor".
  std::string Text() const;

  // Versions order by their major number, then by their minor number: 1.10 after 1.9, 2.1 after 1.12.
  friend auto operator<=>(const FirmwareVersion&, const FirmwareVersion&) = default;
};

// Whether a controller of this version may be upgraded with the upgrade button: majors 1 to 9 with a minor of at
// least 1, except 1.1.
bool UpgradeAllowed(const FirmwareVersion& version);

// Whether an image's version is one a controller's firmware can have: the button's majors 1 to 9, and a minor the
// controller reports in its one byte (2.0 is as real as 2.1).
bool PlausibleImageVersion(const FirmwareVersion& version);

// Whether the image is older than the controller's firmware.
bool IsDowngrade(const FirmwareVersion& image, const FirmwareVersion& controller);

struct FirmwareImage {
  FirmwareVersion version;
  std::vector<uint16_t> words;  // kFirmwareProgramWords program words in address order

  // The version the program itself carries in its last two words.
  FirmwareVersion CarriedVersion() const;
};

// The image of a model: the program folder, "ROM/", the model code, "/Ondrel.rom"; without a model code the image
// in the program folder itself.
std::string FirmwareImagePath(const std::string& program_folder, const std::string& model_code);

// The image a model is upgraded from. An image in the writable folder (put there by the operator) comes first, unless
// the one shipped with the program is newer, or the writable folder's cannot be used and the shipped one can: a copy
// left there must not hide a newer program.
std::string FindFirmwareImage(const ProgramFolders& folders, const std::string& model_code);

// The file a program read from a controller is kept in: "ROM/Qe/Qe-1.12-backup.rom" in the writable folder
// ("Qe-1.12-backup-2.rom" and on when that name is taken by another program), never the image of the model.
std::string FirmwareBackupPath(const std::string& writable_folder, const std::string& model_code,
                               const FirmwareVersion& version, const std::string& image_bytes);

// Why an image cannot be used.
enum class ImageProblem {
  kNone,
  kMissing,
  kUnreadable,        // not a regular file, no permission, a read error
  kShort,             // fewer than kFirmwareImageBytes bytes
  kLong,              // more than kFirmwareImageBytes bytes
  kVersionMismatch,   // the version words in front differ from those the program carries
  kImplausible,       // a version no controller's firmware has (PlausibleImageVersion)
  kErased,            // every program word is 0xFFFF but the version: the pattern of an erased memory
};

struct ImageLoad {
  std::optional<FirmwareImage> image;  // only for an image without a problem
  ImageProblem problem = ImageProblem::kNone;
  std::string detail;  // the run-time message of an unreadable file; the versions of a mismatch or an implausible one
};

// Reads an image and checks it whole: its exact size, its version in front equal to the one its program carries,
// a plausible version, and a program that is not the erased pattern (random bytes fail the version checks). The
// image layout holds no checksum.
ImageLoad LoadFirmwareImage(const std::string& path);

// The bytes of an image file.
std::string FirmwareImageBytes(const FirmwareImage& image);

}  // namespace varnholt
