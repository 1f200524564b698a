#pragma once
// Writes a planned project as the machine program: the walk of the cut tree from the start figure, depth
// first.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/parameters.h"
#include "files/program_writer.h"
#include "project/project_document.h"

namespace varnholt {

// What the cutting run adds to a save.
struct CutRunOptions {
  bool auto_repeat = false;      // conveyor blocks of automatic repetition
  int32_t repetitions_made = 0;  // the conveyor start block comes only before the first repetition
};

// The section and key of a message.
struct MessageKey {
  std::string_view section;
  std::string_view key;
};

// Why the project's plan cannot be written: a figure is still pending (never planned, or unreachable), or the
// project is larger than the working range at its scale. Nothing when it can be written.
std::optional<MessageKey> CutProgramRefusal(const ProjectDocument& project, const Configuration& config,
                                            const ControllerState& machine);

// Builds the program of the project's plan in memory, walking `figures`: the project's own list, or a copy of
// it to leave the plan as it is (the walk reverses open figures entered past their vertex 0). The project
// must have no refusal. Throws RunTimeError when a coordinate leaves the machine's step range.
std::string BuildCutProgram(const ProjectDocument& project, std::vector<std::unique_ptr<tfigura>>& figures,
                            bool cut_start_figure, const Configuration& config,
                            const ControllerState& machine, const CutRunOptions& run);

// Writes the project's plan as the program file file_name. False when nothing usable was written: the plan
// was refused, or a coordinate or the file failed; the reason has been shown through the operator. Open
// figures entered at their last vertex are reversed in place (their children's link points mirrored), so a
// second save walks them forward without reversing again.
bool save_ciecie(ProjectDocument& project, const std::string& file_name, const Configuration& config,
                 const ControllerState& machine, const CutRunOptions& run, const TextLookup& texts);

}  // namespace varnholt
