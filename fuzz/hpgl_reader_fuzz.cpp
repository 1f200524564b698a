// Feeds arbitrary bytes to the plot reader: it must end with figures or a RunTimeError, nothing else.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "files/hpgl_reader.h"
#include "geometry/run_time_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
  varnholt::HpglReader reader(stream);
  size_t calls = 0;
  try {
    while (!reader.AtEnd()) {
      varnholt::tfigura figure;
      reader.ReadNextFigure(figure);
      // Every call consumes input, so the number of calls is bounded by the input size.
      if (++calls > size + 2) __builtin_trap();
    }
  } catch (const varnholt::RunTimeError&) {
  }
  return 0;
}
