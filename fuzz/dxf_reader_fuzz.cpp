// Feeds arbitrary bytes to the DXF reader: it must end with figures, notes or a RunTimeError, nothing else.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "files/dxf_points.h"
#include "files/dxf_reader.h"
#include "geometry/run_time_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks the drawing unit, so inches and feet are fuzzed too.
  const auto unit = static_cast<varnholt::DrawingUnit>(data[0] % 3);
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  varnholt::DxfReader reader(stream, unit);
  size_t calls = 0;
  try {
    while (!reader.AtEnd()) {
      varnholt::tfigura figure;
      reader.ReadNextFigure(figure);
      if (figure.points.size() > varnholt::kMaxDxfFigurePoints) __builtin_trap();
      // Every call but the last reads at least one group, so the calls are bounded by the input size.
      if (++calls > size + 2) __builtin_trap();
    }
  } catch (const varnholt::RunTimeError&) {
  }
  return 0;
}
