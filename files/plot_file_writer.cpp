#include "files/plot_file_writer.h"

#include <array>
#include <charconv>
#include <string_view>

#include "config/file_write.h"

namespace varnholt {
namespace {

// The reader takes a number of at most this many characters.
constexpr size_t kLongestNumber = 64;

void AppendInt(std::string& text, int32_t value) {
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  text.append(digits.data(), end);
}

// The shortest decimal fraction that reads back as value; nothing when it is longer than the reader takes.
std::string_view FixedNumber(double value, std::array<char, kLongestNumber>& buffer) {
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
  if (error != std::errc()) return {};
  return std::string_view(buffer.data(), static_cast<size_t>(end - buffer.data()));
}

void AppendPoint(std::string& text, const TPlotPoint& p) {
  AppendInt(text, p.x);
  text += ',';
  AppendInt(text, p.y);
}

}  // namespace

std::string PlotFileText(const std::vector<const tfigura*>& figures) {
  std::string text = "IN;\n";
  int32_t pen = 0;  // the reader's pen and pen table before the first command
  std::array<double, 256> pen_values{};
  for (const tfigura* figure : figures) {
    if (figure == nullptr || figure->points.empty()) continue;
    if (figure->pen_value != pen_values[figure->pen]) {
      std::array<char, kLongestNumber> buffer{};
      const std::string_view value = FixedNumber(figure->pen_value, buffer);
      if (!value.empty()) {
        text += "PW";
        text += value;
        text += ',';
        AppendInt(text, figure->pen);
        text += ";\n";
        pen_values[figure->pen] = figure->pen_value;
      }
    }
    if (figure->pen != pen) {
      pen = figure->pen;
      text += "SP";
      AppendInt(text, pen);
      text += ";\n";
    }
    const std::vector<TPlotPoint>& points = figure->points;
    text += "PU";
    AppendPoint(text, points.front());
    // A stroke of one point still puts the pen down on it, so the reader makes a figure of it.
    text += ";PD";
    if (points.size() == 1) AppendPoint(text, points.front());
    bool first = true;
    for (size_t i = 1; i < points.size(); ++i) {
      if (points[i] == points[i - 1]) continue;
      if (!first) text += ',';
      AppendPoint(text, points[i]);
      first = false;
    }
    if (first && points.size() > 1) AppendPoint(text, points.front());
    text += ";\n";
  }
  text += "PU;\n";
  return text;
}

void WritePlotFile(const std::string& path, const std::vector<const tfigura*>& figures) {
  WriteFileReplacing(path, PlotFileText(figures));
}

}  // namespace varnholt
