#include "files/thpgl.h"

#include "files/file_open.h"
#include "files/hpgl_reader.h"
#include "geometry/run_time_error.h"

namespace varnholt {

int Thpgl::Open(const std::string& path, int file_kind) {
  Close();
  const int code = OpenForReading(path, file_);
  if (code != kIoOk) return code;
  file_kind_ = file_kind;
  switch (file_kind) {
    case kPlotFile:
      source_ = std::make_unique<HpglReader>(file_);
      break;
    default:
      Close();
      throw RunTimeError("Drawings of kind " + std::to_string(file_kind) + " cannot be read");
  }
  return kIoOk;
}

void Thpgl::ReadNextFigure(tfigura& figure) {
  if (source_ != nullptr) source_->ReadNextFigure(figure);
}

void Thpgl::Close() {
  source_.reset();
  if (file_.is_open()) file_.close();
  file_.clear();
  file_kind_ = 0;
}

}  // namespace varnholt
