#include "project/plan_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QString>

#include "config/file_write.h"
#include "geometry/run_time_error.h"

namespace varnholt {

bool WritePlanPng(const PlanPicture& picture, const std::string& path, std::string* failure) {
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
  // Encoded in memory and written through the program's one file writer: a pipe or a device named as the output is
  // refused, and a failed write leaves the old picture whole.
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
  try {
    WriteFileReplacing(path, std::string_view(png.constData(), static_cast<size_t>(png.size())));
  } catch (const RunTimeError& error) {
    if (failure != nullptr) *failure = error.what();
    return false;
  }
  return true;
}

}  // namespace varnholt
