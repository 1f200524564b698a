#include "program/cut_program.h"

#include <algorithm>
#include <cmath>

#include "config/file_write.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "planner/cut_walk.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// Hands the walk's moves and pauses to the program writer, in coordinates relative to the project corner.
class WriterSink final : public CutPathSink {
 public:
  WriterSink(ProgramWriter& writer, const ProjectDocument& project, int64_t corner_pause_ms)
      : writer_(writer), project_(project), corner_pause_ms_(corner_pause_ms) {}
  void MoveTo(const TPlotPoint& point) override {
    writer_.MoveArmsTo(point.x - project_.project_min_x, point.y - project_.project_min_y);
  }
  void CornerPause() override { writer_.WritePause(corner_pause_ms_); }

 private:
  ProgramWriter& writer_;
  const ProjectDocument& project_;
  int64_t corner_pause_ms_;
};


}  // namespace

std::optional<MessageKey> CutProgramRefusal(const ProjectDocument& project, const Configuration& config,
                                            const ControllerState& machine) {
  const auto start = static_cast<size_t>(project.start_figure);
  const bool pending = std::any_of(project.figures.begin(), project.figures.end(),
                                   [](const auto& figure) { return figure->plan_flag_2 != 0; });
  // A project planning never reached keeps every figure pending; planned alone is not the test, as planning
  // leaves it clear when nothing remained pending after nesting.
  if (pending || project.start_figure < 0 || start >= project.figures.size() ||
      project.figures[start]->points.empty()) {
    return MessageKey{"Project_window", "planNiepelny"};
  }
  const double skala = config.Number(Param::skala);
  const auto scaled_mm = [skala](int32_t units) { return UnitsToMm(units) * skala / 100.0; };
  if (scaled_mm(project.project_width) > static_cast<double>(machine.x_range) ||
      scaled_mm(project.project_height) > static_cast<double>(machine.y_range)) {
    return MessageKey{"Main_window", "projektZaDuzy"};
  }
  return std::nullopt;
}

std::string BuildCutProgram(const ProjectDocument& project, std::vector<std::unique_ptr<tfigura>>& figures,
                            bool cut_start_figure, const Configuration& config,
                            const ControllerState& machine, const CutRunOptions& run) {
  ProgramWriter writer(machine, config);
  writer.OpenProgram({});
  if (run.auto_repeat && run.repetitions_made == 0) writer.ConveyorStart();
  writer.WriteHeader();
  const double skala = config.Number(Param::skala);
  const TPlotPoint p = EntryVertex(*figures[static_cast<size_t>(project.start_figure)]);
  const auto scaled = [skala](int64_t units) {
    return NearestInt32Saturated(skala * static_cast<double>(units) / 100.0);
  };
  writer.SetArmPositions(scaled(int64_t{p.x} - project.project_min_x),
                         scaled(int64_t{p.y} - project.project_min_y), 0);
  WriterSink sink(writer, project,
                  static_cast<int64_t>(nearest(std::max(config.Number(Param::Pauza_w_kacie), 0.0))));
  WalkCutTree(figures, {project.start_figure, project.single_open_figure, cut_start_figure}, sink);
  if (run.auto_repeat) writer.ConveyorFeed(project.project_height);
  writer.FinishProgram();
  return writer.bytes();
}

bool save_ciecie(ProjectDocument& project, const std::string& file_name, const Configuration& config,
                 const ControllerState& machine, const CutRunOptions& run, const TextLookup& texts) {
  Operator& op = CurrentOperator();
  if (const auto refusal = CutProgramRefusal(project, config, machine)) {
    op.ShowMessageBox(texts(refusal->section, refusal->key), true, "");
    return false;
  }
  BusyCursor busy(op);
  try {
    const std::string program =
        BuildCutProgram(project, project.figures, project.cut_start_figure, config, machine, run);
    op.SetStatusText(kMainWindowStatusPanel, "");
    WriteFileReplacing(file_name, program);
    return true;
  } catch (const RunTimeError& error) {
    op.ShowMessageBox(error.what(), true, "");
    return false;
  }
}

}  // namespace varnholt
