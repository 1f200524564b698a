#include "files/figure_finish.h"

namespace varnholt {

void FinishReadFigure(tfigura& figure) {
  if (figure.points.empty()) {
    figure.has_points = 0;
    return;
  }
  MeasureBox(figure);
  figure.depth = 0;
  const bool closed = figure.points.size() > 2 && figure.points.back() == figure.points.front();
  figure.open = closed ? 0 : 1;
  figure.has_points = 1;
}

}  // namespace varnholt
