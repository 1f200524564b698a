#include "layout/dpl_file.h"


#include <charconv>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "config/file_read.h"
#include "config/file_write.h"
#include "geometry/run_time_error.h"
#include "config/konfig_file.h"
#include "geometry/units.h"
#include "layout/length_text.h"

namespace varnholt {
namespace {

constexpr size_t kMaxDplBytes = size_t{1} << 20;

constexpr std::string_view kColumnsKey = "Number of elements in a row";
constexpr std::string_view kRowsKey = "Number of rows";
constexpr std::string_view kColumnPitchKey = "Space between the elements";
constexpr std::string_view kRowPitchKey = "Space between the rows";
constexpr std::string_view kVerticalKey = "Space between the elements and the vertical connecting line";
constexpr std::string_view kHorizontalKey = "Space between the elements and the horizontal connecting line";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The lines of a text, each with its own line end.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const size_t length = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  }
  return lines;
}

// The name of a section header line ("[name]"), or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line.substr(0, line.find('\n')));
  if (line.empty() || line.front() != '[') return std::nullopt;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsDplSection(std::string_view line) {
  const auto name = SectionName(line);
  return name && SameName(*name, kDplSection);
}

std::optional<int32_t> ReadCount(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, value);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

// The keys of the first duplication section with their values; the first line of a key counts.
struct SectionValues {
  std::vector<std::pair<std::string_view, std::string_view>> entries;

  std::optional<std::string_view> Find(std::string_view key) const {
    for (const auto& [name, value] : entries) {
      if (SameName(name, key)) return value;
    }
    return std::nullopt;
  }
};

std::optional<SectionValues> FindSection(std::string_view text) {
  std::optional<SectionValues> found;
  for (std::string_view line : Lines(text)) {
    if (SectionName(line)) {
      if (found) break;
      if (IsDplSection(line)) found.emplace();
      continue;
    }
    if (!found) continue;
    line = Trim(line.substr(0, line.find('\n')));
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.front() == ';') continue;
    found->entries.emplace_back(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }
  return found;
}

// A connector distance rounded to whole plotter units, as the layout will take it.
double InUnits(double mm) { return UnitsToMm(MmToUnits(mm)); }

}  // namespace

std::string DplPathFor(const std::string& pattern_path) {
  return std::filesystem::path(pattern_path).replace_extension(".dpl").string();
}

std::string DplPathFor(const std::string& pattern_path, const ProgramFolders& folders) {
  namespace fs = std::filesystem;
  const std::string beside = DplPathFor(pattern_path);
  if (folders.writable.empty()) return beside;
  // A project named by the program and kept in no file (a text not saved yet) has nothing to stand beside.
  std::error_code error;
  if (fs::path(pattern_path).is_relative() && !fs::exists(pattern_path, error)) {
    return (fs::path(folders.writable) / beside).lexically_normal().string();
  }
  if (folders.shipped.empty()) return beside;
  const fs::path shipped = fs::path(folders.shipped).lexically_normal();
  if (shipped == fs::path(folders.writable).lexically_normal()) return beside;
  const fs::path inside = fs::path(beside).lexically_normal().lexically_relative(shipped);
  if (inside.empty() || *inside.begin() == "..") return beside;
  return (fs::path(folders.writable) / inside).lexically_normal().string();
}

bool IsDplPath(const std::string& path) { return SameName(std::filesystem::path(path).extension().string(), ".dpl"); }

std::optional<DuplicationParameters> ParseDplText(std::string_view text, int32_t pattern_width,
                                                  int32_t pattern_height) {
  const std::optional<SectionValues> section = FindSection(text);
  if (!section) return std::nullopt;
  const auto count = [&](std::string_view key, int32_t fallback) {
    const auto value = section->Find(key);
    return value ? ReadCount(*value).value_or(fallback) : fallback;
  };
  const auto real = [&](std::string_view key, double fallback) {
    const auto value = section->Find(key);
    return value ? ParseFieldNumber(*value).value_or(fallback) : fallback;
  };
  DuplicationParameters values = DefaultParameters(pattern_width, pattern_height);
  values.columns = count(kColumnsKey, values.columns);
  values.rows = count(kRowsKey, values.rows);
  values.column_pitch = real(kColumnPitchKey, values.column_pitch);
  values.row_pitch = real(kRowPitchKey, values.row_pitch);
  values.vertical_distance =
      InUnits(real(kVerticalKey, (values.column_pitch - UnitsToMm(pattern_width)) / 2.0));
  values.horizontal_distance =
      InUnits(real(kHorizontalKey, (values.row_pitch - UnitsToMm(pattern_height)) / 2.0));
  return values;
}

std::optional<DuplicationParameters> ReadDplFile(const std::string& path, int32_t pattern_width,
                                                 int32_t pattern_height) {
  // A file that cannot be read, or is far larger than any the program writes, counts as absent.
  std::optional<std::string> bytes;
  try {
    bytes = ReadFileBytes(path, kMaxDplBytes + 1);
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
  if (!bytes || bytes->size() > kMaxDplBytes) return std::nullopt;
  return ParseDplText(*bytes, pattern_width, pattern_height);
}

std::string DplText(std::string_view existing, const DuplicationParameters& values, char separator) {
  std::string text;
  bool skipping = false;
  for (std::string_view line : Lines(existing)) {
    if (SectionName(line)) skipping = IsDplSection(line);
    if (!skipping) text.append(line);
  }
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  const auto line = [&](std::string_view key, const std::string& value) {
    text.append(key);
    text += '=';
    text += value;
    text += "\r\n";
  };
  text += '[';
  text.append(kDplSection);
  text += "]\r\n";
  line(kColumnsKey, std::to_string(values.columns));
  line(kRowsKey, std::to_string(values.rows));
  line(kColumnPitchKey, FormatKonfigNumber(values.column_pitch, separator));
  line(kRowPitchKey, FormatKonfigNumber(values.row_pitch, separator));
  line(kVerticalKey, FormatKonfigNumber(UnitsToMm(ConnectorDistanceUnits(values.vertical_distance)), separator));
  line(kHorizontalKey, FormatKonfigNumber(UnitsToMm(ConnectorDistanceUnits(values.horizontal_distance)), separator));
  return text;
}

void WriteDplFile(const std::string& path, const DuplicationParameters& values, char separator) {
  const std::string existing = ReadFileBytes(path, SIZE_MAX).value_or("");
  WriteFileReplacing(path, DplText(existing, values, separator));
}

}  // namespace varnholt
