#pragma once
// The program settings record (".vhc"): last folders, dialog filter indexes and the configuration file path, one
// fixed 864-byte little-endian record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnholt {

inline constexpr size_t kProgramSettingsSize = 864;
inline constexpr size_t kFolderUnits = 79;      // units stored of LastOpenFolder and LastSaveFolder
inline constexpr size_t kConfigPathUnits = 254;  // units stored of ConfigFilePath
inline constexpr const char* kSettingsFileName = "Varnholt.vhc";

// The record's fields; the reserved ones are kept as read so that rewriting a file preserves them.
struct ProgramSettings {
  std::u16string LastOpenFolder;  // offset 0, 80 units
  std::u16string LastSaveFolder;  // offset 160, 80 units
  int32_t reserved320 = 1;
  int32_t SaveFilterIndex = 1;  // offset 324
  uint8_t reserved328 = 1;
  std::array<uint8_t, 4> reserved329{};
  uint8_t reserved333 = 0;
  std::u16string ConfigFilePath;  // offset 334, 255 units
  int32_t OpenFilterIndex = 1;    // offset 844
  double reserved848 = 1.0;
  int32_t reserved856 = 0;
  std::array<uint8_t, 4> reserved860{};

  friend bool operator==(const ProgramSettings&, const ProgramSettings&) = default;
};

// The record a missing or short file is replaced by: every field at its default and config_file_path (the
// program folder's "Varnholt.qcc") as the configuration file, or no path when the field cannot hold it.
ProgramSettings DefaultProgramSettings(const std::string& config_file_path);

// Whether the record can hold this configuration file path whole (at most kConfigPathUnits UTF-16 units).
bool FitsConfigPath(const std::string& path);

// The 864 bytes of a record. Each text is cut to the units its field stores.
std::array<uint8_t, kProgramSettingsSize> EncodeProgramSettings(const ProgramSettings& settings);
// The record in the first 864 bytes, or nothing when there are fewer. A text ends at its first zero unit or at
// the end of its field.
std::optional<ProgramSettings> DecodeProgramSettings(std::span<const uint8_t> bytes);

// Reads the settings file; when it is missing, or holds less than one record, the defaults are written to it and
// returned. A failed write throws RunTimeError, and so does a file that is there but cannot be read (a pipe or a
// device in its place is refused at once), which is then left as it is.
ProgramSettings ReadProgramSettingsFile(const std::string& path, const std::string& default_config_file_path);
// Writes the record whole, replacing the file only once the new one is complete; throws RunTimeError on failure.
void WriteProgramSettingsFile(const std::string& path, const ProgramSettings& settings);

}  // namespace varnholt
