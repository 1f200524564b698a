// Making the machine safe after a fault: every heater off, a cut that was given up stopped and cleared.

#include "geometry/clock.h"
#include "link/controller_ops.h"

namespace varnholt {
namespace {

// How long a stopped program's axes may take to stand.
constexpr int64_t kStandStillLimitMs = 10000;

}  // namespace

bool AllHeatersOff(MachineLink& link) {
  bool sent = true;
  const auto channels =
      static_cast<HeaterChannels>(link.heaters_on | (1u << kHorizontalWireChannel) |
                                  (1u << kManualWireChannel) | (1u << kVerticalWireChannel));
  for (uint8_t channel = 0; channel < 8; ++channel) {
    if (((static_cast<unsigned>(channels) >> channel) & 1u) != 0)
      sent = SendCommandAlways(link, HeaterOffCommand(channel)) && sent;
  }
  // A Qo feeds its vertical wires whenever the power output is switched to them.
  if (link.state.IsModelQo()) {
    sent = SendCommandAlways(link, SettingCommand(kSettingPowerOutput, kHorizontalWireOutput)) && sent;
  }
  // What did not go out is tried again by the status monitor.
  link.gate.SetHeatersOffDue(!sent);
  return sent;
}

bool StopAndCool(MachineLink& link) {
  // A controller that does not take the stop does not take the rest either: each would wait out its busy
  // pauses.
  if (TrySend(link, StopCommand()) != 0) return false;
  const int64_t start = CurrentClock().NowMs();
  ReadStatus(link);
  while (link.usb.present() && link.state.Has(kStatusMoving) &&
         CurrentClock().NowMs() - start < kStandStillLimitMs) {
    SleepMs(1);
    ReadStatus(link);
  }
  if (TrySend(link, ClearProgramCommand()) != 0) return false;
  return AllHeatersOff(link);
}

}  // namespace varnholt
