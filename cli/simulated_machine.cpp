#include "cli/simulated_machine.h"

#include "cli/program_texts.h"
#include "geometry/clock.h"
#include "link/controller_ops.h"
#include "link/sim/simulated_controller.h"
#include "link/tf_usb.h"
#include "services/interfejs.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {

std::optional<ControllerState> IdentifySimulatedMachine(const std::string& model, const Configuration& config,
                                                        std::ostream& err) {
  if (model != "Qa" && model != "Qe" && model != "Qo") {
    err << "Unknown model '" << model << "' (use Qa, Qe or Qo)\n";
    return std::nullopt;
  }
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  VirtualClock clock;  // the simulated controller answers at once
  ScopedClock installed_clock(clock);
  sim::SimulatedController controller(model);
  const tInterfejs& texts = ProgramLanguage(err);
  Configuration settings(config);
  ControllerState state;
  TfUsb usb(controller, texts);
  MachineLink link{usb, state, settings, texts};
  if (!usb.QuellmarQvExist()) {
    err << "The simulated controller " << model << " was not found\n";
    return std::nullopt;
  }
  Identify(link);
  ReadPositions(link);  // the program starts from where the axes stand
  return state;
}

}  // namespace varnholt::cli
