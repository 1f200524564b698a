#include "app/last_cut.h"

#include <QCryptographicHash>
#include <QByteArray>
#include <charconv>
#include <map>
#include <sstream>

#include "config/file_read.h"
#include "config/file_write.h"

namespace varnholt {
namespace {

constexpr const char* kFileName = "last_cut.txt";
constexpr size_t kLargestRecord = 64 * 1024;

bool ParseWhole(const std::string& text, int64_t& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

std::string LastCutFile(const std::string& program_folder) { return program_folder + kFileName; }

std::string DigestOf(std::string_view bytes) {
  const QByteArray digest = QCryptographicHash::hash(
      QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
  return digest.toHex().toStdString();
}

std::optional<LastCut> ReadLastCut(const std::string& program_folder) {
  const std::optional<std::string> text = ReadFileBytes(LastCutFile(program_folder), kLargestRecord);
  if (!text) return std::nullopt;
  std::map<std::string, std::string> values;
  std::istringstream lines(*text);
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  LastCut cut;
  const auto number = [&values](const std::string& key, int64_t low, int64_t high) -> std::optional<int64_t> {
    const auto found = values.find(key);
    int64_t value = 0;
    if (found == values.end() || !ParseWhole(found->second, value) || value < low || value > high) return std::nullopt;
    return value;
  };
  const auto text_of = [&values](const std::string& key) -> std::optional<std::string> {
    const auto found = values.find(key);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  const auto drawing = text_of("drawing"), configuration = text_of("configuration"), program = text_of("program");
  if (!drawing || !configuration || !program) return std::nullopt;
  cut.drawing = *drawing;
  cut.configuration_digest = *configuration;
  cut.program_digest = *program;
  for (size_t axis = 0; axis < cut.start.size(); ++axis) {
    const auto steps = number("axis" + std::to_string(axis), INT32_MIN, INT32_MAX);
    if (!steps) return std::nullopt;
    cut.start[axis] = static_cast<int32_t>(*steps);
  }
  const auto start_x = number("start_x", INT32_MIN, INT32_MAX), start_y = number("start_y", INT32_MIN, INT32_MAX);
  const auto commands = number("commands", 0, INT64_MAX), move = number("reached_move", 0, INT32_MAX);
  const auto along = number("reached_along_millionths", 0, 999999), finished = number("finished", 0, 1);
  if (!start_x || !start_y || !commands || !move || !along || !finished) return std::nullopt;
  cut.start_x = static_cast<int32_t>(*start_x);
  cut.start_y = static_cast<int32_t>(*start_y);
  cut.commands_received = *commands;
  cut.reached = {static_cast<size_t>(*move), static_cast<double>(*along) / 1e6};
  cut.finished = *finished == 1;
  const auto entry_x = number("entry_x", INT32_MIN, INT32_MAX), entry_y = number("entry_y", INT32_MIN, INT32_MAX);
  if (entry_x && entry_y) cut.entry = TPlotPoint{static_cast<int32_t>(*entry_x), static_cast<int32_t>(*entry_y)};
  return cut;
}

void WriteLastCut(const std::string& program_folder, const LastCut& cut) {
  std::string text = "drawing=" + cut.drawing + "\nconfiguration=" + cut.configuration_digest +
                     "\nprogram=" + cut.program_digest + "\n";
  for (size_t axis = 0; axis < cut.start.size(); ++axis) {
    text += "axis" + std::to_string(axis) + "=" + std::to_string(cut.start[axis]) + "\n";
  }
  // The place is kept rounded down: the wire was at or beyond it.
  text += "start_x=" + std::to_string(cut.start_x) + "\nstart_y=" + std::to_string(cut.start_y) +
          "\ncommands=" + std::to_string(cut.commands_received) + "\nreached_move=" + std::to_string(cut.reached.move) +
          "\nreached_along_millionths=" + std::to_string(static_cast<int64_t>(cut.reached.along * 1e6)) +
          "\nfinished=" + (cut.finished ? "1" : "0") + "\n";
  if (cut.entry) text += "entry_x=" + std::to_string(cut.entry->x) + "\nentry_y=" + std::to_string(cut.entry->y) + "\n";
  WriteFileReplacing(LastCutFile(program_folder), text);
}

}  // namespace varnholt
