#include "project/project_document.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "files/file_open.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "geometry/vector_state.h"
#include "project/figure_joiner.h"
#include "project/kerf_offset.h"
#include "project/load_report.h"
#include "services/operator.h"

namespace varnholt {
namespace {

// How often a long load shows its progress and lets the windows repaint.
constexpr std::chrono::milliseconds kProgressInterval{100};

void Reverse(tfigura& figure) {
  std::reverse(figure.points.begin(), figure.points.end());
  std::reverse(figure.vertex_angles.begin(), figure.vertex_angles.end());
}

}  // namespace

ProjectDocument::ProjectDocument(TextLookup texts) : PlannedDrawing(std::move(texts)) {}

void ProjectDocument::StartLoad() {
  cut_start_figure = false;
  planned = false;
  feed_sign = feed_direction == 1 ? -1 : 1;
  feed_sign_start = feed_sign;
  reader_notes.clear();
  drawing_figure_count = 0;
  drawn_figures.clear();
  kerf_kept_as_drawn.clear();
  joins_made = 0;
  duplicates_dropped = 0;
}

bool ProjectDocument::Load(const std::string& file_name, int pen_filter, LoadOptions options) {
  Operator& op = CurrentOperator();
  StartLoad();
  source_file = file_name;
  op.SetStatusText(kMainWindowStatusPanel, Text("Project_window", "otwieraniePliku") + " " + file_name);
  BusyCursor busy;

  Thpgl reader;
  const int code = reader.Open(file_name, reader_kind, DrawingUnitFromItem(drawing_unit), ltscale);
  if (code != kIoOk) {
    // The message names the file and the system's reason, so the operator can tell a typo from a locked file.
    const std::string text = code == kIoSharingViolation
                                 ? Text("Project_window", "zbioruUzywaInnyProces") + " " + file_name
                                 : Text("Universal", "zbioruNieMoznaOtworzyc") + file_name;
    op.ShowMessageBox(text + " (" + IoCodeReason(code) + ")", true, "");
    return false;
  }

  // The window's code may have left the wide vector registers marked in use, which slows the curves' sines and
  // cosines tenfold.
  ReleaseUpperVectorHalves();
  LoadingFigureList list;
  // A large drawing takes seconds: now and then the status line shows how far the reading is and the windows are
  // let repaint (input stays queued).
  using ProgressClock = std::chrono::steady_clock;
  auto next_progress = ProgressClock::now() + kProgressInterval;
  int shown_percent = -1;
  int64_t reads = 0;
  try {
    auto figure = std::make_unique<tfigura>();
    figure->reader_tag = -1;
    while (!reader.AtEof()) {
      // A window closing meanwhile ends the load unfinished (and without a word: the window is going).
      if (++reads % 256 == 0 && op.WorkCancelled()) return false;
      if (reads % 256 == 0 && ProgressClock::now() >= next_progress) {
        next_progress = ProgressClock::now() + kProgressInterval;
        const int percent = reader.PercentRead();
        if (percent != shown_percent) {
          shown_percent = percent;
          op.SetStatusText(kMainWindowStatusPanel, Text("Project_window", "otwieraniePliku") + " " +
                                                       file_name + " " + std::to_string(percent) + "%");
        }
        op.Repaint();
        // Qt's code may have left the wide registers marked in use again.
        ReleaseUpperVectorHalves();
      }
      reader.ReadNextFigure(*figure);
      if (!figure->has_points) continue;  // the same object takes the next read
      const bool kept = pen_filter == kAllPens || figure->pen == pen_filter || figure->pen == 6;
      if (kept) {
        const size_t listed = list.size();
        list.JoinOpenFigures(*figure);
        joins_made += static_cast<int64_t>(listed - list.size());
        if (!list.HasIdentical(*figure)) {
          licz_parametry(*figure);
          list.Append(std::move(figure));
        } else {
          ++duplicates_dropped;
        }
      }
      figure = std::make_unique<tfigura>();
      figure->reader_tag = -1;
    }
  } catch (const RunTimeError& error) {
    // A drawing read only in part would be cut in part: the project closes instead.
    op.ShowMessageBox(error.what(), true, "");
    return false;
  }
  reader_notes = reader.Notes();
  ltscale = reader.ltscale();
  reader.Close();

  figures = list.Compact();
  return TakeDrawing(options);
}

bool ProjectDocument::LoadFigures(FigureList drawing, LoadOptions options) {
  StartLoad();
  BusyCursor busy;
  figures.clear();
  figures.reserve(drawing.size());
  for (auto& figure : drawing) {
    figure->reader_tag = -1;
    licz_parametry(*figure);
    if (figure->has_points) figures.push_back(std::move(figure));
  }
  return TakeDrawing(options);
}

bool ProjectDocument::TakeDrawing(LoadOptions options) {
  Operator& op = CurrentOperator();
  drawing_figure_count = figures.size();
  if (figures.empty()) {
    // What the reader passed over tells the operator why nothing was kept.
    std::string message = Text("Project_window", "zbiorPusty");
    for (const std::string& line : LoadReportLines(*this)) message += "\r\n" + line;
    op.ShowMessageBox(message, false, "");
    return false;
  }
  if (options.keep_drawn_figures || kerf_width_mm_ > 0.0) drawn_figures = CopyFigures(figures);
  if (kerf_width_mm_ > 0.0) ApplyKerf();
  MeasureProject();
  max_depth = 0;
  selected_figure = -1;
  op.SetStatusText(kProjectStatusPanel, Text("Project_window", "iloscFigur") + std::to_string(figures.size()));
  op.SetStatusText(kMainWindowStatusPanel, "");
  ReportKeptAsDrawn();
  if (UnitsToMm(project_width) > working_range.x_mm || UnitsToMm(project_height) > working_range.y_mm) {
    op.ShowMessageBox(Text("Main_window", "projektZaDuzy"), false, "");
  }
  if (plan_after_load) ciecie();
  return true;
}

void ProjectDocument::ApplyKerf() {
  ReleaseUpperVectorHalves();  // a kerf change comes from the window
  kerf_kept_as_drawn.clear();
  if (!(kerf_width_mm_ > 0.0)) return;
  // Which figure is a part and which a hole comes from the nesting of the drawing's own figures.
  MeasureProject();
  co_w_czym();
  std::vector<int32_t> depths;
  depths.reserve(figures.size());
  for (size_t i = 0; i < figures.size(); ++i) {
    tfigura& figure = *figures[i];
    depths.push_back(figure.depth);
    // That nesting only told parts from holes: the figures keep the drawing's marks until a plan nests them.
    const tfigura& drawn = *drawn_figures[i];
    figure.depth = drawn.depth;
    figure.parent = drawn.parent;
    figure.child_count = drawn.child_count;
  }
  const double scale = kerf_scale_percent_ > 0.0 ? kerf_scale_percent_ : 100.0;
  kerf_kept_as_drawn = CompensateKerfInPlace(figures, drawn_figures, depths, kerf_width_mm_ * 100.0 / scale);
  max_depth = 0;
}

void ProjectDocument::ChangeKerf(double kerf_mm, double scale_percent) {
  if (drawn_figures.empty()) return;
  kerf_width_mm_ = kerf_mm;
  kerf_scale_percent_ = scale_percent;
  figures = CopyFigures(drawn_figures);
  ApplyKerf();
  MeasureProject();
  max_depth = 0;
  selected_figure = -1;
  planned = false;
  cut_start_figure = false;
  ReportKeptAsDrawn();
  if (plan_after_load) ciecie();
}

bool ProjectDocument::SetKerf(double kerf_mm, double scale_percent) {
  if (!figures.empty() || !drawn_figures.empty()) return false;
  kerf_width_mm_ = kerf_mm;
  kerf_scale_percent_ = scale_percent;
  return true;
}

void ProjectDocument::ReportKeptAsDrawn() const {
  const std::string text = KerfKeptAsDrawnText(*this);
  if (!text.empty()) CurrentOperator().ShowMessageBox(text, false, "");
}

void ProjectDocument::MeasureProject() {
  Ustaw_PPiPK();
  for (auto& figure : figures) {
    figure->origin_x = project_min_x;
    figure->origin_y = project_min_y;
  }
}

void ProjectDocument::ciecie() {
  last_plan = PlanCut(*this);
}

void ProjectDocument::co_w_czym() {
  ReleaseUpperVectorHalves();
  NestProject(*this);
}

void ProjectDocument::Ustaw_PPiPK() {
  int32_t max_x = -2147483647, max_y = -2147483647;
  int32_t min_x = 2147483647, min_y = 2147483647;
  for (size_t i = 0; i < figures.size(); ++i) {
    tfigura& figure = *figures[i];
    max_x = std::max(max_x, figure.max_x);
    max_y = std::max(max_y, figure.max_y);
    min_x = std::min(min_x, figure.min_x);
    min_y = std::min(min_y, figure.min_y);
    figure.list_index = static_cast<int32_t>(i);
  }
  project_min_x = min_x;
  project_min_y = min_y;
  project_max_x = max_x;
  project_max_y = max_y;
  // Boxes more than 2^31 units wide do not fit the fields; they saturate like figure spans do.
  const auto span = [](int32_t low, int32_t high) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{high} - low, INT32_MIN, INT32_MAX));
  };
  project_width = span(min_x, max_x);
  project_height = span(min_y, max_y);
}

void ProjectDocument::OdwrocKierunek(int32_t index) {
  if (index < 0) {
    for (auto& figure : figures) Reverse(*figure);
  } else if (static_cast<size_t>(index) < figures.size()) {
    Reverse(*figures[static_cast<size_t>(index)]);
  }
}

void ProjectDocument::UstawKierunek(int32_t direction) {
  for (auto& figure : figures) {
    if (!figure->cut_enabled || figure->points.empty()) continue;
    const int32_t first_x = figure->points.front().x;
    const int32_t last_x = figure->points.back().x;
    if (direction == 1 ? last_x < first_x : first_x < last_x) Reverse(*figure);
    figure->link_aux = 0;
  }
  CurrentOperator().SetStatusText(kMainWindowStatusPanel, "");
}

int32_t ProjectDocument::JakiKierunek(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= figures.size()) return 0;
  const tfigura& figure = *figures[static_cast<size_t>(index)];
  if (figure.points.size() < 2) return 0;
  const int32_t first_x = figure.points.front().x;
  const int32_t last_x = figure.points.back().x;
  return last_x > first_x ? 1 : (last_x < first_x ? -1 : 0);
}

}  // namespace varnholt
