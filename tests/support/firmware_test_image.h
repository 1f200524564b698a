#pragma once
// Firmware images made up by the tests: a version and a program of arbitrary words that ends, as the simulated
// controller's firmware does, with its own version. No real controller runs them.

#include <cstdint>
#include <string>

#include "control/firmware_image.h"

namespace varnholt::testing {

inline FirmwareImage TestFirmwareImage(uint16_t major, uint16_t minor, uint16_t seed = 1) {
  FirmwareImage image;
  image.version = {major, minor};
  image.words.resize(kFirmwareProgramWords);
  for (size_t i = 0; i < kFirmwareProgramWords; ++i) image.words[i] = static_cast<uint16_t>(i * 40503u + seed);
  image.words[kFirmwareProgramWords - 2] = major;
  image.words[kFirmwareProgramWords - 1] = minor;
  return image;
}

inline std::string TestFirmwareImageBytes(uint16_t major, uint16_t minor, uint16_t seed = 1) {
  return FirmwareImageBytes(TestFirmwareImage(major, minor, seed));
}

}  // namespace varnholt::testing
