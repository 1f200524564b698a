#pragma once
// One opened drawing: its figures, bounding box and planning results, and the operations that load and edit them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/thpgl.h"
#include "geometry/figure.h"
#include "planner/cut_planner.h"
#include "services/text_lookup.h"

namespace varnholt {

// The machine's working range in millimetres; the controller's ranges once it has been identified.
struct WorkingRange {
  double x_mm = 4800.0;
  double y_mm = 2400.0;
};

// Pen filter value that keeps every pen.
inline constexpr int kAllPens = 255;

// The X feed direction item that turns the direction from one cut, or one simulation, to the next.
constexpr int32_t kFeedBothWays = 2;
// After a cut or a simulation: with the both-ways feed the next one runs the other way.
inline void TurnForNextPass(int8_t& feed_sign, int32_t feed_direction) {
  if (feed_direction == kFeedBothWays) feed_sign = static_cast<int8_t>(-feed_sign);
}

// How a load treats what it reads, beyond the drawing itself.
struct LoadOptions {
  // Keep a copy of the drawing's own figures in drawn_figures, for painting and for a later kerf change. A caller
  // that only reads the figures once and neither plans nor changes the kerf can leave it out: a load without a kerf
  // then keeps no second copy of every point (a kerf still needs the copy and gets it).
  bool keep_drawn_figures = true;
};

// A drawing opened as a project: what planning reads and writes of it (the figures, the box, the start and the
// plan's marks) and what the load, the kerf and the windows keep besides.
class ProjectDocument : public PlannedDrawing {
 public:
  explicit ProjectDocument(TextLookup texts);

  // Reads a drawing into the (empty) project: pen filter, joining, duplicates, measuring, box and origins, the
  // working-range message. False when the project must close (the file could not be opened or read, or held no
  // figure); the reason has been shown through the operator. The operator's WorkCancelled ends it, false, unsaid.
  bool Load(const std::string& file_name, int pen_filter, LoadOptions options = {});
  // Takes a drawing the program made (a text) into the (empty) project as Load takes one read from a file: the
  // figures measured, compensated for the kerf, the box, origins and the working-range message, then the plan.
  // False when the drawing holds no figure with points (the reason has been shown).
  bool LoadFigures(FigureList drawing, LoadOptions options = {});

  // Recomputes the project box from the figures' boxes and renumbers every figure's list_index.
  void Ustaw_PPiPK();
  // Reverses figure index, or every figure when index is negative.
  void OdwrocKierunek(int32_t index);
  // Orients every figure to be cut left to right (direction 1) or right to left (any other value).
  void UstawKierunek(int32_t direction);
  // The orientation of a figure: 1 left to right, -1 right to left, 0 for a negative index or a vertical path.
  int32_t JakiKierunek(int32_t index) const;
  // Plans the cut: nesting, start, touching and connectors, into the figures' link fields.
  void ciecie();
  // Computes depth, parent and child_count of every entry and max_depth.
  void co_w_czym();
  // Compensates the drawing for a new kerf (millimetres, 0 for none) or drawing scale (the configuration's skala):
  // the figures are made again from the drawing's own, the planning entries dropped, and the project planned again
  // (unless plan_after_load is off). The figures left as drawn are reported as a load reports them. A project
  // that was not loaded from a drawing has no drawn figures and stays as it is.
  void ChangeKerf(double kerf_mm, double scale_percent);
  // Sets the kerf (millimetres, 0 for none) and scale (the configuration's skala) the figures the project is about
  // to get are compensated for: what a load applies, or what a project made of another's compensated figures
  // carries. A project that already holds figures keeps them as compensated: it changes its kerf only through
  // ChangeKerf, and this refuses (false, nothing changed), so the kerf never names a compensation not made.
  bool SetKerf(double kerf_mm, double scale_percent);
  // The wire's kerf in millimetres the figures are (or the next load makes them) compensated for. A load offsets
  // every closed figure by half of it, outward for a part's outline and inward for a hole, before planning; 0 leaves
  // the drawing as it is.
  double kerf_width_mm() const { return kerf_width_mm_; }
  // The skala that goes with it: the program is written at this percentage of the drawing, so the offset in drawing
  // units is the half kerf divided by it, and the cut parts keep the kerf's real width.
  double kerf_scale_percent() const { return kerf_scale_percent_; }

  int32_t selected_figure = -1;
  bool cut_start_figure = false;
  // Planning gave the project a frame of its own: whether its outline is cut is the operator's choice.
  bool has_own_frame() const { return own_start && frame_added; }
  bool show_path = false;
  bool abort_requested = false;
  int8_t feed_sign = 1;
  int8_t feed_sign_start = 1;
  int32_t reader_kind = kPlotFile;
  // The file the drawing was loaded from (empty for one the program made).
  std::string source_file;

  // Inputs a load takes from the program: the X feed direction item of the configuration (0 right, 1 left,
  // 2 both ways), the drawing unit of DXF files (0 mm, 1 inch, 2 foot) and the working range.
  int32_t feed_direction = 0;
  int32_t drawing_unit = 0;
  WorkingRange working_range;
  // The DXF line scale value: what earlier loads left, passed to the reader and updated by each load.
  double ltscale = 0.0;

  // What the last load found: the reader's notes (skipped entities, unread kinds) and the number of figures the
  // drawing gave (the entries planning appends come after them).
  std::vector<ReaderNote> reader_notes;
  size_t drawing_figure_count = 0;
  // Open figures joined to others end to end, and figures left out as copies of one already listed.
  int64_t joins_made = 0;
  int64_t duplicates_dropped = 0;
  // Load ends with planning the cut; a caller that only looks at the drawing's figures can leave it out.
  bool plan_after_load = true;
  // How the latest planning run ended.
  PlanOutcome last_plan;

  // The drawing's own figures as the load made them, one per drawing figure (figure i of the list is drawn
  // figure i compensated), for painting the drawing under the wire's path.
  std::vector<std::unique_ptr<tfigura>> drawn_figures;
  // The kerf the drawing's figures were compensated for (0: the figures are the drawn ones): kerf_width_mm() once a
  // load or ChangeKerf has applied it.
  double applied_kerf_mm() const { return drawn_figures.empty() || !(kerf_width_mm_ > 0.0) ? 0.0 : kerf_width_mm_; }
  // The indexes of the closed figures the kerf left as drawn because they would vanish or split.
  std::vector<int32_t> kerf_kept_as_drawn;

 private:
  // Clears what a load sets before it reads: the planning marks, the feed sign, the reader's notes and counts.
  void StartLoad();
  // Makes the figures a load has read the project's drawing: kept as drawn, compensated, measured and planned;
  // false (after "zbiorPusty") when there are none.
  bool TakeDrawing(LoadOptions options);
  // Compensates the figures, which hold a fresh copy of drawn_figures, for kerf_width_mm(), in place.
  void ApplyKerf();
  // Tells the operator which figures the kerf left as drawn, when there are any.
  void ReportKeptAsDrawn() const;
  // The project box, list indexes and every figure's origin from the figures.
  void MeasureProject();

  double kerf_width_mm_ = 0.0;
  double kerf_scale_percent_ = 100.0;
};

// The start figure's own outline is cut, unless planning gave the project a frame of its own: then the
// operator's last choice (cut_start_figure) holds.
inline bool CutsStartFigure(const ProjectDocument& project) {
  return project.cut_start_figure || !project.has_own_frame();
}

}  // namespace varnholt
