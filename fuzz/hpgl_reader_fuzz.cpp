// Feeds arbitrary bytes to the plot reader: it must end with figures or a RunTimeError, nothing else, and its quick
// paths must read exactly what the general path reads (figures, error and notes).

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/hpgl_reader.h"
#include "geometry/run_time_error.h"

namespace {

struct Outcome {
  std::vector<std::pair<uint8_t, std::vector<varnholt::TPlotPoint>>> figures;
  std::string error;
  std::vector<std::string> notes;
  bool operator==(const Outcome&) const = default;
};

Outcome Read(const std::string& text, bool fast_pairs) {
  std::istringstream stream(text);
  varnholt::HpglReader reader(stream, fast_pairs);
  Outcome outcome;
  size_t calls = 0;
  try {
    while (!reader.AtEnd()) {
      varnholt::tfigura figure;
      reader.ReadNextFigure(figure);
      // Every call consumes input, so the number of calls is bounded by the input size.
      if (++calls > text.size() + 2) __builtin_trap();
      if (figure.has_points) outcome.figures.emplace_back(figure.pen, figure.points);
    }
  } catch (const varnholt::RunTimeError& error) {
    outcome.error = error.what();
  }
  for (const varnholt::ReaderNote& note : reader.Notes()) outcome.notes.push_back(note.text());
  return outcome;
}

// The reader takes its input in blocks of 64 KiB, and the quick paths stop at the end of a block. Inputs whose
// first byte has its top bit set are read after a pad that leaves the first 0 to 63 bytes of the rest in the first
// block, so that commands and numbers fall across its end; the pad begins with letters, which stay in the buffer
// beyond the end of the short second block.
std::string PlotText(const uint8_t* data, size_t size) {
  constexpr size_t kBlock = size_t{1} << 16;
  if (size == 0 || (data[0] & 0x80) == 0) return std::string(reinterpret_cast<const char*>(data), size);
  std::string text(kBlock - (data[0] & 0x3F), ';');
  text.replace(0, 64, 64, 'I');
  text.append(reinterpret_cast<const char*>(data + 1), size - 1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = PlotText(data, size);
  if (!(Read(text, true) == Read(text, false))) __builtin_trap();
  return 0;
}
