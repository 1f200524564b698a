// Feeds arbitrary bytes to the configuration reader under both separators: every value must end clamped into its
// range, or the load must end with a RunTimeError; saving what was read must read back to the same text.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "config/konfig_file.h"
#include "config/program_settings.h"
#include "geometry/run_time_error.h"

namespace {

void CheckRanges(const varnholt::Configuration& config) {
  for (const varnholt::ParamSpec& spec : varnholt::ParamTable()) {
    switch (spec.kind) {
      case varnholt::ParamKind::kNumber:
      case varnholt::ParamKind::kUnitNumber: {
        const double value = config.Number(spec.id);
        if (!(value >= config.Min(spec.id) && value <= config.Max(spec.id))) __builtin_trap();
        break;
      }
      case varnholt::ParamKind::kChoice: {
        const int index = config.Choice(spec.id);
        if (index < -1 || index >= spec.items) __builtin_trap();
        break;
      }
      case varnholt::ParamKind::kFlag:
        break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (char separator : {'.', ','}) {
    varnholt::Configuration config;
    std::istringstream in(bytes);
    try {
      varnholt::ReadKonfig(in, config, separator);
    } catch (const varnholt::RunTimeError&) {
    }
    CheckRanges(config);
    const std::string saved = varnholt::KonfigText(config, separator);
    varnholt::Configuration again;
    std::istringstream saved_in(saved);
    varnholt::ReadKonfig(saved_in, again, separator);
    if (varnholt::KonfigText(again, separator) != saved) __builtin_trap();
  }
  // The same bytes as a settings record: decoding must not read beyond them.
  const auto record = varnholt::DecodeProgramSettings(
      std::span<const uint8_t>(data, size));
  if (record && size < varnholt::kProgramSettingsSize) __builtin_trap();
  return 0;
}
