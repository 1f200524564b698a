#pragma once
// The controller state a model's simulated controller reports once it has been identified.

#include <optional>
#include <ostream>
#include <string>

#include "config/parameters.h"
#include "link/controller_state.h"

namespace varnholt::cli {

// Identifies a simulated controller of model Qa, Qe or Qo with the configuration's calibration corrections and
// returns its state; nothing (with the reason on err) for another model or a failed identification.
std::optional<ControllerState> IdentifySimulatedMachine(const std::string& model, const Configuration& config,
                                                        std::ostream& err);

}  // namespace varnholt::cli
