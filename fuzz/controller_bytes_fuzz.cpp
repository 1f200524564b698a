// Feeds arbitrary bytes to both readers of controller bytes: the reply-record parsers of the command set, and the
// simulated controller's command framing (each 64 bytes one output report). Neither may read past a buffer, divide
// by zero or overflow.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "geometry/clock.h"
#include "link/controller_state.h"
#include "link/sim/simulated_controller.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnholt;
  const std::span<const uint8_t> bytes(data, size);
  ControllerState state;
  // The calibration first, so the other parsers see whatever scales the bytes give.
  ApplyCalibrationRecord(state, bytes);
  ApplyIdentityRecord(state, bytes);
  ApplyPositionsRecord(state, bytes, size > 0 && (data[0] & 1) != 0);
  ApplySpeedsRecord(state, bytes);
  ApplyHeatersRecord(state, bytes);
  ApplyExtraRecord(state, bytes);
  (void)StatusBitNames(state.status_word);

  VirtualClock clock;
  ScopedClock installed(clock);
  sim::SimulatedController controller("Qe");
  controller.Open(sim::kSimulatedDeviceId);
  for (size_t at = 0; at < size; at += 64) {
    HidReport report{};
    std::copy_n(data + at, std::min<size_t>(64, size - at), report.begin() + 1);
    controller.WriteReport(sim::kSimulatedDeviceId, report);
    clock.Advance(report[1]);
    std::array<uint8_t, 255> reply{};
    for (int index : {10, 12, 13, 14, 15, 16, 17}) controller.GetIndexedString(sim::kSimulatedDeviceId, index, reply, 255);
  }
  return 0;
}
