#pragma once
// What planning reads and writes of a drawing.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "geometry/figure.h"
#include "services/text_lookup.h"

namespace varnholt {

// What planning reads and writes of a drawing: its figures (the drawing's, then the entries planning appends), the
// box around them, the start and the plan's marks. The project document is one.
class PlannedDrawing {
 public:
  explicit PlannedDrawing(TextLookup texts) : texts_(std::move(texts)) {}

  // Measures figure, marks it a drawing figure and appends it; returns its index.
  int32_t AddFigure(std::unique_ptr<tfigura> figure);
  // Measures figure, sets its closed flag, marks it a connector and appends it; returns its index.
  int32_t AddLacznik(std::unique_ptr<tfigura> figure, bool closed);

  // The interface text of key in section.
  std::string Text(std::string_view section, std::string_view key) const { return texts_(section, key); }

  FigureList figures;
  int32_t project_min_x = 0, project_min_y = 0;
  int32_t project_max_x = 0, project_max_y = 0;
  int32_t project_width = 0, project_height = 0;
  int32_t start_figure = 0;
  int32_t max_depth = 0;
  bool planned = false;
  bool own_start = false;
  bool frame_added = false;
  bool single_open_figure = false;
  // The start figure's distances from the drawing's box.
  int32_t start_margin_left = 0, start_margin_right = 0, start_margin_top = 0, start_margin_bottom = 0;
  double total_length = 0.0;
  // The configuration's AddFrame: planning may surround the project with a frame instead of a start marker.
  bool add_frame = false;

 protected:
  TextLookup texts_;
};

}  // namespace varnholt
