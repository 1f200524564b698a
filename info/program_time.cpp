#include "info/program_time.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "files/program_timing.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "project/project_document.h"

namespace varnholt {

std::optional<std::string> CutProgramInMemory(const ProjectDocument& project, const Configuration& config,
                                              const ControllerState& machine, const CutRunOptions& run) {
  if (CutProgramRefusal(project, config, machine)) return std::nullopt;
  FigureList figures = CopyFigures(project.figures);
  try {
    return BuildCutProgram(project, figures, CutsStartFigure(project), config, machine, run);
  } catch (const RunTimeError&) {
    return std::nullopt;
  }
}

std::optional<double> ProgramCuttingSeconds(const ProjectDocument& project, const Configuration& config,
                                            const ControllerState& machine, const CutRunOptions& run) {
  const std::optional<std::string> program = CutProgramInMemory(project, config, machine, run);
  if (!program) return std::nullopt;
  return ProgramRunSeconds(*program);
}

std::string MinutesSecondsText(double seconds) {
  const double whole = std::isfinite(seconds) && seconds > 0.0 ? std::min(nearest(seconds), 1e15) : 0.0;
  const auto minutes = static_cast<int64_t>(std::floor(whole / 60.0));
  const auto rest = static_cast<int64_t>(whole - static_cast<double>(minutes) * 60.0);
  return std::to_string(minutes) + " min " + std::to_string(rest) + " s";
}

}  // namespace varnholt
