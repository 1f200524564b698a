#include <array>
#include <filesystem>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/lenient.h"
#include "config/file_read.h"
#include "config/konfig_file.h"
#include "config/program_settings.h"
#include "config/utf16.h"
#include "files/file_open.h"
#include "geometry/run_time_error.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage =
    "Usage: varnholt-cli config (--defaults | --load FILE [--lenient] | --settings FILE) [--decimal-separator CHAR]\n";

int Fail(std::ostream& err, const std::string& message) {
  err << message << '\n';
  return 1;
}

// Prints the lines of a configuration file with plain line ends.
void PrintLines(const Configuration& config, char separator, std::ostream& out) {
  for (const ParamSpec& spec : ParamTable()) {
    out << spec.name << " := " << KonfigValueText(config, spec.id, separator) << '\n';
  }
}

std::string Bytes(const std::array<uint8_t, 4>& bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02x", b);
    if (!text.empty()) text += ' ';
    text += hex;
  }
  return text;
}

int PrintSettings(const std::string& path, std::ostream& out, std::ostream& err) {
  std::optional<std::string> raw;
  try {
    raw = ReadFileBytes(path, kProgramSettingsSize);
  } catch (const RunTimeError& error) {
    return Fail(err, error.what());
  }
  if (!raw) return Fail(err, "Cannot open the file: " + path + " (" + IoCodeReason(kIoFileNotFound) + ")");
  const std::vector<uint8_t> bytes(raw->begin(), raw->end());
  const std::optional<ProgramSettings> settings = DecodeProgramSettings(bytes);
  if (!settings) {
    return Fail(err, "Not a settings record: " + path + " holds " + std::to_string(bytes.size()) + " bytes, " +
                         std::to_string(kProgramSettingsSize) + " expected");
  }
  out << "LastOpenFolder: " << Utf16ToUtf8(settings->LastOpenFolder) << '\n'
      << "LastSaveFolder: " << Utf16ToUtf8(settings->LastSaveFolder) << '\n'
      << "reserved320: " << settings->reserved320 << '\n'
      << "SaveFilterIndex: " << settings->SaveFilterIndex << '\n'
      << "reserved328: " << static_cast<int>(settings->reserved328) << '\n'
      << "reserved329: " << Bytes(settings->reserved329) << '\n'
      << "reserved333: " << static_cast<int>(settings->reserved333) << '\n'
      << "ConfigFilePath: " << Utf16ToUtf8(settings->ConfigFilePath) << '\n'
      << "OpenFilterIndex: " << settings->OpenFilterIndex << '\n'
      << "reserved848: " << FormatKonfigNumber(settings->reserved848, '.') << '\n'
      << "reserved856: " << settings->reserved856 << '\n'
      << "reserved860: " << Bytes(settings->reserved860) << '\n';
  return 0;
}

}  // namespace

int RunConfig(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  enum class Action { kNone, kDefaults, kLoad, kSettings } action = Action::kNone;
  std::string path;
  char separator = '.';
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (action == Action::kNone && arg == "--defaults") {
      action = Action::kDefaults;
    } else if (action == Action::kNone && (arg == "--load" || arg == "--settings") && i + 1 < args.size()) {
      action = arg == "--load" ? Action::kLoad : Action::kSettings;
      path = args[++i];
    } else if (arg == "--decimal-separator" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      if (value != "." && value != ",") return Fail(err, "The decimal separator is '.' or ','");
      separator = value[0];
    } else {
      err << kUsage;
      return 1;
    }
  }
  switch (action) {
    case Action::kNone:
      err << kUsage;
      return 1;
    case Action::kDefaults:
      PrintLines(Configuration(), separator, out);
      return 0;
    case Action::kSettings:
      return PrintSettings(path, out, err);
    case Action::kLoad:
      break;
  }
  std::error_code ignored;
  if (!std::filesystem::exists(path, ignored)) return Fail(err, "No configuration file: " + path);
  Configuration config;
  KonfigLoad load;
  try {
    load = ReadKonfigFile(path, config, separator);
  } catch (const RunTimeError& error) {
    return Fail(err, error.what());
  }
  for (const std::string& line : KonfigLoadLines(path, load)) err << line << '\n';
  if (!load.Whole() && !Lenient()) {
    return Fail(err, "The configuration did not load whole (--lenient prints what loaded)");
  }
  PrintLines(config, separator, out);
  return 0;
}

}  // namespace varnholt::cli
