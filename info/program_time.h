#pragma once
// The cutting time taken from the program itself: the program the cut would stream, written in memory and
// timed command by command as the controller executes it.

#include <optional>
#include <string>

#include "config/parameters.h"
#include "link/controller_state.h"
#include "program/cut_program.h"

namespace varnholt {

class ProjectDocument;

// The program a cut of the project would stream, for the configuration and the connected machine (its
// calibration, step multiplier, model and axis positions), written from a copy of the plan so the project
// stays as it is. The start figure's outline is cut as CutsStartFigure decides. Nothing when the plan cannot
// be written (a figure pending, the project beyond the working range, a coordinate beyond the step range).
std::optional<std::string> CutProgramInMemory(const ProjectDocument& project, const Configuration& config,
                                              const ControllerState& machine, const CutRunOptions& run = {});

// The seconds that program takes on the controller; nothing when it cannot be written.
std::optional<double> ProgramCuttingSeconds(const ProjectDocument& project, const Configuration& config,
                                            const ControllerState& machine, const CutRunOptions& run = {});

// Whole minutes and seconds, rounded to the nearest second: "12 min 40 s".
std::string MinutesSecondsText(double seconds);

}  // namespace varnholt
