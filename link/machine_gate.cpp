#include "link/machine_gate.h"

namespace varnholt {

std::string_view OperationNameKey(MachineOperation operation) {
  switch (operation) {
    case MachineOperation::kCut:
      return "opCiecie";
    case MachineOperation::kTransmissionStep:
      return "opTransmisja";
    case MachineOperation::kStatusStep:
      return "opStatus";
    case MachineOperation::kStop:
      return "opStop";
    case MachineOperation::kContinue:
      return "opKontynuacja";
    case MachineOperation::kHoming:
      return "opBazowanie";
    case MachineOperation::kJog:
      return "opRuchReczny";
    case MachineOperation::kGoToPoint:
      return "opDoPunktu";
    case MachineOperation::kMoveToArms:
      return "opDoRamion";
    case MachineOperation::kMoveOutAfterCut:
      return "opWysuniecie";
    case MachineOperation::kHeating:
      return "opGrzanie";
    case MachineOperation::kSpeedOrPower:
      return "opPredkoscMoc";
    case MachineOperation::kMoveWire:
      return "opPrzesunDrut";
    case MachineOperation::kMotionTest:
      return "opTestRuchu";
    case MachineOperation::kHeaterTest:
      return "opTestGrzania";
    case MachineOperation::kFirmware:
      return "opFirmware";
    case MachineOperation::kStopAndCool:
      return "opStopChlodzenie";
    case MachineOperation::kProgramEnd:
      return "opKoniecProgramu";
    case MachineOperation::kNone:
      break;
  }
  return "opStatus";
}

void MachineGate::Keep(MachineOperation operation, HeaterChannels heaters_on, int32_t output) {
  if (kept_ == operation) return;
  kept_ = operation;
  heaters_when_kept_ = heaters_on;
  output_when_kept_ = output;
}

void MachineGate::Release(MachineOperation operation) {
  if (kept_ != operation) return;
  kept_ = MachineOperation::kNone;
  heaters_when_kept_ = 0;
  output_when_kept_ = -1;
}

void MachineGate::RequestStop() {
  if (stop_requested_) return;
  stop_requested_ = true;
  if (stop_notifier_) stop_notifier_();
}

bool MachineGate::TakeStopRequest() {
  const bool requested = stop_requested_;
  stop_requested_ = false;
  return requested;
}

}  // namespace varnholt
