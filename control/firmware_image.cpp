#include "control/firmware_image.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "config/file_read.h"
#include "geometry/run_time_error.h"
#include "link/byte_order.h"

namespace varnholt {
namespace {

constexpr const char* kImageFileName = "Ondrel.rom";
constexpr uint16_t kErasedWord = 0xFFFF;

uint16_t WordAt(const std::string& bytes, size_t index) {
  const std::span<const uint8_t> raw(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return ReadU16(raw, 2 * index);
}

bool IsRegularFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string FirmwareVersion::Text() const { return std::to_string(major) + "." + std::to_string(minor); }

bool UpgradeAllowed(const FirmwareVersion& version) {
  if (version.major < 1 || version.major > 9 || version.minor < 1) return false;
  return version.major != 1 || version.minor >= 2;
}

bool PlausibleImageVersion(const FirmwareVersion& version) {
  // The button's majors; any minor the controller's one byte can report (a new major starts at .0).
  return version.major >= 1 && version.major <= 9 && version.minor <= 0xFF;
}

bool IsDowngrade(const FirmwareVersion& image, const FirmwareVersion& controller) { return image < controller; }

FirmwareVersion FirmwareImage::CarriedVersion() const {
  if (words.size() != kFirmwareProgramWords) return {};
  return {words[kFirmwareMajorWord], words[kFirmwareMinorWord]};
}

std::string FirmwareImagePath(const std::string& program_folder, const std::string& model_code) {
  if (model_code.empty()) return program_folder + kImageFileName;
  return program_folder + "ROM/" + model_code + "/" + kImageFileName;
}

std::string FindFirmwareImage(const ProgramFolders& folders, const std::string& model_code) {
  const std::string shipped = FirmwareImagePath(folders.shipped, model_code);
  if (folders.writable.empty()) return shipped;
  const std::string own = FirmwareImagePath(folders.writable, model_code);
  if (own == shipped || !IsRegularFile(own)) return shipped;
  const ImageLoad own_image = LoadFirmwareImage(own);
  const ImageLoad shipped_image = LoadFirmwareImage(shipped);
  if (shipped_image.image && (!own_image.image || own_image.image->version < shipped_image.image->version)) {
    return shipped;
  }
  return own;
}

std::string FirmwareBackupPath(const std::string& writable_folder, const std::string& model_code,
                               const FirmwareVersion& version, const std::string& image_bytes) {
  const std::string folder = model_code.empty() ? writable_folder : writable_folder + "ROM/" + model_code + "/";
  const std::string stem = folder + (model_code.empty() ? "" : model_code + "-") + version.Text() + "-backup";
  for (int n = 1;; ++n) {
    const std::string path = stem + (n == 1 ? "" : "-" + std::to_string(n)) + ".rom";
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return path;
    // The same program read again goes where it already is.
    try {
      if (ReadFileBytes(path, image_bytes.size() + 1) == image_bytes) return path;
    } catch (const RunTimeError&) {
    }
  }
}

ImageLoad LoadFirmwareImage(const std::string& path) {
  ImageLoad load;
  std::optional<std::string> bytes;
  try {
    // One byte more than an image tells a longer file from an image, however long it is.
    bytes = ReadFileBytes(path, kFirmwareImageBytes + 1);
  } catch (const RunTimeError& error) {
    load.problem = ImageProblem::kUnreadable;
    load.detail = error.what();
    return load;
  }
  if (!bytes) {
    load.problem = ImageProblem::kMissing;
    return load;
  }
  if (bytes->size() != kFirmwareImageBytes) {
    load.problem = bytes->size() < kFirmwareImageBytes ? ImageProblem::kShort : ImageProblem::kLong;
    return load;
  }
  FirmwareImage image;
  image.version = {WordAt(*bytes, 0), WordAt(*bytes, 1)};
  image.words.reserve(kFirmwareProgramWords);
  for (size_t i = 0; i < kFirmwareProgramWords; ++i) image.words.push_back(WordAt(*bytes, 2 + i));
  const FirmwareVersion carried = image.CarriedVersion();
  if (carried != image.version) {
    load.problem = ImageProblem::kVersionMismatch;
    load.detail = image.version.Text() + " / " + carried.Text();
    return load;
  }
  if (!PlausibleImageVersion(image.version)) {
    load.problem = ImageProblem::kImplausible;
    load.detail = image.version.Text();
    return load;
  }
  if (std::all_of(image.words.begin(), image.words.begin() + kFirmwareMajorWord,
                  [](uint16_t word) { return word == kErasedWord; })) {
    load.problem = ImageProblem::kErased;
    return load;
  }
  load.image = std::move(image);
  return load;
}

std::string FirmwareImageBytes(const FirmwareImage& image) {
  std::string bytes;
  bytes.reserve(2 * (2 + image.words.size()));
  AppendU16(bytes, static_cast<uint16_t>(image.version.major));
  AppendU16(bytes, static_cast<uint16_t>(image.version.minor));
  for (uint16_t word : image.words) AppendU16(bytes, word);
  return bytes;
}

}  // namespace varnholt
