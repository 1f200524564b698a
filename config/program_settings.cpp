#include "config/program_settings.h"

#include <bit>
#include <string_view>

#include "config/file_read.h"
#include "config/file_write.h"
#include "config/utf16.h"

namespace varnholt {
namespace {

constexpr size_t kLastOpenFolderAt = 0;
constexpr size_t kLastSaveFolderAt = 160;
constexpr size_t kFolderFieldUnits = 80;
constexpr size_t kReserved320At = 320;
constexpr size_t kSaveFilterIndexAt = 324;
constexpr size_t kReserved328At = 328;
constexpr size_t kReserved329At = 329;
constexpr size_t kReserved333At = 333;
constexpr size_t kConfigFilePathAt = 334;
constexpr size_t kConfigPathFieldUnits = 255;
constexpr size_t kOpenFilterIndexAt = 844;
constexpr size_t kReserved848At = 848;
constexpr size_t kReserved856At = 856;
constexpr size_t kReserved860At = 860;

using Record = std::array<uint8_t, kProgramSettingsSize>;

void PutU32(Record& out, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
void PutI32(Record& out, size_t at, int32_t value) { PutU32(out, at, static_cast<uint32_t>(value)); }
void PutF64(Record& out, size_t at, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  for (size_t i = 0; i < 8; ++i) out[at + i] = static_cast<uint8_t>(bits >> (8 * i));
}
// Zero-fills the field and copies the first stored_units units of text.
void PutText(Record& out, size_t at, size_t field_units, size_t stored_units, const std::u16string& text) {
  for (size_t i = 0; i < 2 * field_units; ++i) out[at + i] = 0;
  const std::u16string stored = FirstUnits(text, stored_units);
  for (size_t i = 0; i < stored.size(); ++i) {
    out[at + 2 * i] = static_cast<uint8_t>(stored[i] & 0xFF);
    out[at + 2 * i + 1] = static_cast<uint8_t>(stored[i] >> 8);
  }
}

uint32_t GetU32(std::span<const uint8_t> in, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(in[at + i]) << (8 * i);
  return value;
}
int32_t GetI32(std::span<const uint8_t> in, size_t at) { return static_cast<int32_t>(GetU32(in, at)); }
double GetF64(std::span<const uint8_t> in, size_t at) {
  uint64_t bits = 0;
  for (size_t i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(in[at + i]) << (8 * i);
  return std::bit_cast<double>(bits);
}
std::u16string GetText(std::span<const uint8_t> in, size_t at, size_t field_units) {
  std::u16string text;
  for (size_t i = 0; i < field_units; ++i) {
    const auto unit = static_cast<char16_t>(in[at + 2 * i] | (in[at + 2 * i + 1] << 8));
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

// The first record of a file, or nothing when there is no file or it is shorter. A file that is there but cannot be
// read (a pipe or a device in its place, no permission) throws, and is not replaced by the defaults.
std::optional<ProgramSettings> ReadRecord(const std::string& path) {
  const std::optional<std::string> raw = ReadFileBytes(path, kProgramSettingsSize);
  if (!raw || raw->size() < kProgramSettingsSize) return std::nullopt;
  Record bytes{};
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>((*raw)[i]);
  return DecodeProgramSettings(bytes);
}

}  // namespace

ProgramSettings DefaultProgramSettings(const std::string& config_file_path) {
  ProgramSettings settings;
  // A path the field cannot hold is left out rather than cut: a cut path names another file. The program then
  // takes its default file.
  if (FitsConfigPath(config_file_path)) settings.ConfigFilePath = Utf8ToUtf16(config_file_path);
  return settings;
}

bool FitsConfigPath(const std::string& path) { return Utf8ToUtf16(path).size() <= kConfigPathUnits; }

std::array<uint8_t, kProgramSettingsSize> EncodeProgramSettings(const ProgramSettings& settings) {
  Record out{};
  PutText(out, kLastOpenFolderAt, kFolderFieldUnits, kFolderUnits, settings.LastOpenFolder);
  PutText(out, kLastSaveFolderAt, kFolderFieldUnits, kFolderUnits, settings.LastSaveFolder);
  PutI32(out, kReserved320At, settings.reserved320);
  PutI32(out, kSaveFilterIndexAt, settings.SaveFilterIndex);
  out[kReserved328At] = settings.reserved328;
  for (size_t i = 0; i < 4; ++i) out[kReserved329At + i] = settings.reserved329[i];
  out[kReserved333At] = settings.reserved333;
  PutText(out, kConfigFilePathAt, kConfigPathFieldUnits, kConfigPathUnits, settings.ConfigFilePath);
  PutI32(out, kOpenFilterIndexAt, settings.OpenFilterIndex);
  PutF64(out, kReserved848At, settings.reserved848);
  PutI32(out, kReserved856At, settings.reserved856);
  for (size_t i = 0; i < 4; ++i) out[kReserved860At + i] = settings.reserved860[i];
  return out;
}

std::optional<ProgramSettings> DecodeProgramSettings(std::span<const uint8_t> bytes) {
  if (bytes.size() < kProgramSettingsSize) return std::nullopt;
  ProgramSettings settings;
  settings.LastOpenFolder = GetText(bytes, kLastOpenFolderAt, kFolderFieldUnits);
  settings.LastSaveFolder = GetText(bytes, kLastSaveFolderAt, kFolderFieldUnits);
  settings.reserved320 = GetI32(bytes, kReserved320At);
  settings.SaveFilterIndex = GetI32(bytes, kSaveFilterIndexAt);
  settings.reserved328 = bytes[kReserved328At];
  for (size_t i = 0; i < 4; ++i) settings.reserved329[i] = bytes[kReserved329At + i];
  settings.reserved333 = bytes[kReserved333At];
  settings.ConfigFilePath = GetText(bytes, kConfigFilePathAt, kConfigPathFieldUnits);
  settings.OpenFilterIndex = GetI32(bytes, kOpenFilterIndexAt);
  settings.reserved848 = GetF64(bytes, kReserved848At);
  settings.reserved856 = GetI32(bytes, kReserved856At);
  for (size_t i = 0; i < 4; ++i) settings.reserved860[i] = bytes[kReserved860At + i];
  return settings;
}

ProgramSettings ReadProgramSettingsFile(const std::string& path, const std::string& default_config_file_path) {
  if (auto settings = ReadRecord(path)) return *settings;
  ProgramSettings defaults = DefaultProgramSettings(default_config_file_path);
  WriteProgramSettingsFile(path, defaults);
  return defaults;
}

void WriteProgramSettingsFile(const std::string& path, const ProgramSettings& settings) {
  const Record bytes = EncodeProgramSettings(settings);
  WriteFileReplacing(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace varnholt
