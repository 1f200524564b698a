#include "project/plan_image.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QString>

namespace varnholt {

bool WritePlanPng(const PlanPicture& picture, const std::string& path) {
  if (picture.width <= 0 || picture.height <= 0) return false;
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const PictureLine& line : picture.lines) {
      if (line.points.empty()) continue;
      QColor colour(static_cast<int>((line.rgb >> 16) & 0xff), static_cast<int>((line.rgb >> 8) & 0xff),
                    static_cast<int>(line.rgb & 0xff));
      painter.setPen(QPen(colour, StrokeWidth(line)));
      QPolygon polygon;
      for (const TPlotPoint& p : line.points) polygon << QPoint(p.x, p.y);
      if (polygon.size() == 1) {
        painter.drawPoint(polygon.front());
      } else {
        painter.drawPolyline(polygon);
      }
    }
  }
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace varnholt
