#include "layout/dpl_file.h"


#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <random>
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

// One entry of the section: its key, value, and where it stands.
struct Entry {
  std::string_view key;
  std::string_view value;
  size_t line = 0;
  std::string_view text;
};

// The keys of the first duplication section with their values; the first line of a key counts.
struct SectionValues {
  std::vector<Entry> entries;

  const Entry* Find(std::string_view key) const {
    for (const Entry& entry : entries) {
      if (SameName(entry.key, key)) return &entry;
    }
    return nullptr;
  }
};

std::string Shown(std::string_view line) {
  constexpr size_t kShown = 80;
  return line.size() > kShown ? std::string(line.substr(0, kShown)) + "..." : std::string(line);
}

// The first duplication section, with the lines within it that are no key=value lines and a last line that the
// end of the file cut.
std::optional<SectionValues> FindSection(std::string_view text, std::vector<LineProblem>& problems) {
  std::optional<SectionValues> found;
  size_t number = 0;
  for (std::string_view line : Lines(text)) {
    ++number;
    if (SectionName(line)) {
      if (found) break;
      if (IsDplSection(line)) found.emplace();
      continue;
    }
    if (!found) continue;
    const bool ended = !line.empty() && line.back() == '\n';
    line = Trim(line.substr(0, line.find('\n')));
    if (!ended && !line.empty()) problems.push_back({number, Shown(line), "", LineFault::kCutShort});
    if (line.empty() || line.front() == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      if (ended) problems.push_back({number, Shown(line), "", LineFault::kNotAKeyLine});
      continue;
    }
    found->entries.push_back({Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), number, line});
  }
  return found;
}

// Whether a new file can be made in the folder: tried, since permission bits do not tell (an account with every
// right, a read-only medium).
bool FolderTakesNewFiles(const std::filesystem::path& folder) {
  std::random_device seed;
  const std::string probe =
      (folder / (".varnholt-" + std::to_string(::getpid()) + "-" + std::to_string(seed() % 1000000))).string();
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EEXIST;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
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
  if (!folders.shipped.empty()) {
    const fs::path shipped = fs::path(folders.shipped).lexically_normal();
    if (shipped != fs::path(folders.writable).lexically_normal()) {
      const fs::path inside = fs::path(beside).lexically_normal().lexically_relative(shipped);
      if (!inside.empty() && *inside.begin() != "..") {
        return (fs::path(folders.writable) / inside).lexically_normal().string();
      }
    }
  }
  // A folder that is not there is left to the write to report.
  const fs::path folder = fs::absolute(fs::path(beside), error).lexically_normal().parent_path();
  if (error || !fs::is_directory(folder, error) || FolderTakesNewFiles(folder)) return beside;
  return (fs::path(folders.writable) / "Duplication" / folder.relative_path() / fs::path(beside).filename())
      .lexically_normal()
      .string();
}

bool IsDplPath(const std::string& path) { return SameName(std::filesystem::path(path).extension().string(), ".dpl"); }

DplRead ReadDplText(std::string_view text, int32_t pattern_width, int32_t pattern_height) {
  DplRead read;
  const std::optional<SectionValues> section = FindSection(text, read.problems);
  if (!section) {
    read.problems.push_back({0, "", "", LineFault::kNoSection});
    return read;
  }
  const auto refused = [&read](const Entry& entry, const RunTimeError& error) {
    read.problems.push_back({entry.line, Shown(entry.text), error.what(), LineFault::kBadValue});
  };
  const auto count = [&](std::string_view key, int32_t fallback) {
    const Entry* entry = section->Find(key);
    if (entry == nullptr) return fallback;
    if (const std::optional<int32_t> value = ReadCount(entry->value)) return *value;
    refused(*entry, RunTimeError::InvalidInteger(entry->value));
    return fallback;
  };
  const auto real = [&](std::string_view key, double fallback) {
    const Entry* entry = section->Find(key);
    if (entry == nullptr) return fallback;
    if (const std::optional<double> value = ParseFieldNumber(entry->value)) return *value;
    refused(*entry, RunTimeError::InvalidFloat(entry->value));
    return fallback;
  };
  DuplicationParameters values = DefaultParameters(pattern_width, pattern_height);
  values.columns = count(kColumnsKey, values.columns);
  values.rows = count(kRowsKey, values.rows);
  values.column_pitch = real(kColumnPitchKey, values.column_pitch);
  values.row_pitch = real(kRowPitchKey, values.row_pitch);
  // Half the gap a pitch leaves; pitches that leave none (overlapping or touching elements) leave the lines beside.
  const auto half_gap = [](double pitch, int32_t size) { return std::max(0.0, (pitch - UnitsToMm(size)) / 2.0); };
  values.vertical_distance = InUnits(real(kVerticalKey, half_gap(values.column_pitch, pattern_width)));
  values.horizontal_distance = InUnits(real(kHorizontalKey, half_gap(values.row_pitch, pattern_height)));
  read.values = values;
  return read;
}

std::optional<DuplicationParameters> ParseDplText(std::string_view text, int32_t pattern_width,
                                                  int32_t pattern_height) {
  return ReadDplText(text, pattern_width, pattern_height).values;
}

DplRead ReadDplFile(const std::string& path, int32_t pattern_width, int32_t pattern_height) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadWholeFile(path, kMaxDplBytes);
  } catch (const RunTimeError& error) {
    DplRead read;
    read.problems.push_back({0, "", error.what(), LineFault::kUnreadable});
    return read;
  }
  if (!bytes) return {};
  return ReadDplText(*bytes, pattern_width, pattern_height);
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
  const std::string existing = ReadWholeFile(path, kMaxDplBytes).value_or("");
  WriteFileReplacing(path, DplText(existing, values, separator));
}

}  // namespace varnholt
