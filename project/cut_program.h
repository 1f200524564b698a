#pragma once
// Writes a planned project as the machine program: the walk of the cut tree from the start figure, depth first.

#include <string>

#include "config/parameters.h"
#include "files/program_writer.h"
#include "project/project_document.h"

namespace varnholt {

// What the cutting run adds to a save.
struct CutRunOptions {
  bool auto_repeat = false;      // conveyor blocks of automatic repetition
  int32_t repetitions_made = 0;  // the conveyor start block comes only before the first repetition
};

// Writes the project's plan as the program file file_name. False when nothing usable was written: a figure is
// still pending (never planned, or unreachable), larger than the working range at its scale, or the file could not be written; the reason has
// been shown through the operator. Open figures entered at their last vertex are reversed in place (their
// children's link points mirrored), so a second save walks them forward without reversing again.
bool save_ciecie(ProjectDocument& project, const std::string& file_name, const Configuration& config,
                 const ControllerState& machine, const CutRunOptions& run, const TextLookup& texts);

}  // namespace varnholt
