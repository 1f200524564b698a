#include "control/firmware_image.h"

#include <filesystem>
#include <system_error>

#include "config/file_read.h"
#include "geometry/run_time_error.h"
#include "link/byte_order.h"

namespace varnholt {
namespace {

constexpr const char* kImageFileName = "Ondrel.rom";

uint16_t WordAt(const std::string& bytes, size_t index) {
  const std::span<const uint8_t> raw(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return ReadU16(raw, 2 * index);
}

}  // namespace

std::string FirmwareVersion::Text() const { return std::to_string(major) + "." + std::to_string(minor); }

int64_t FirmwareVersion::Number() const { return std::stoll(std::to_string(major) + std::to_string(minor)); }

bool UpgradeAllowed(const FirmwareVersion& controller) {
  if (controller.major < 1 || controller.major > 9 || controller.minor < 1) return false;
  return controller.major != 1 || controller.minor >= 2;
}

bool IsDowngrade(const FirmwareVersion& image, const FirmwareVersion& controller) {
  return image.Number() < controller.Number();
}

std::string FirmwareImagePath(const std::string& program_folder, const std::string& model_code) {
  if (model_code.empty()) return program_folder + kImageFileName;
  return program_folder + "ROM/" + model_code + "/" + kImageFileName;
}

std::string FindFirmwareImage(const ProgramFolders& folders, const std::string& model_code) {
  const std::string own = FirmwareImagePath(folders.writable, model_code);
  std::error_code error;
  if (!folders.writable.empty() && std::filesystem::is_regular_file(own, error)) return own;
  return FirmwareImagePath(folders.shipped, model_code);
}

ImageLoad LoadFirmwareImage(const std::string& path) {
  ImageLoad load;
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileBytes(path, kFirmwareImageBytes);
  } catch (const RunTimeError& error) {
    load.problem = ImageProblem::kUnreadable;
    load.detail = error.what();
    return load;
  }
  if (!bytes) {
    load.problem = ImageProblem::kMissing;
    return load;
  }
  if (bytes->size() < kFirmwareImageBytes) {
    load.problem = ImageProblem::kShort;
    return load;
  }
  FirmwareImage image;
  image.version = {WordAt(*bytes, 0), WordAt(*bytes, 1)};
  image.words.reserve(kFirmwareProgramWords);
  for (size_t i = 0; i < kFirmwareProgramWords; ++i) image.words.push_back(WordAt(*bytes, 2 + i));
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
