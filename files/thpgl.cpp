#include "files/thpgl.h"

#include <cctype>
#include <filesystem>

#include "files/dxf_reader.h"
#include "files/file_open.h"
#include "files/hpgl_reader.h"
#include "geometry/run_time_error.h"

namespace varnholt {

FileKind DrawingKindOfFile(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".dxf" ? kDxfFile : kPlotFile;
}

int Thpgl::Open(const std::string& path, int file_kind, DrawingUnit unit, double ltscale) {
  Close();
  const int code = OpenForReading(path, file_);
  if (code != kIoOk) return code;
  file_kind_ = file_kind;
  ltscale_ = ltscale;
  switch (file_kind) {
    case kPlotFile:
      source_ = std::make_unique<HpglReader>(file_);
      break;
    case kDxfFile: {
      auto dxf = std::make_unique<DxfReader>(file_, unit, ltscale);
      dxf_ = dxf.get();
      source_ = std::move(dxf);
      break;
    }
    default:
      Close();
      throw RunTimeError("Drawings of kind " + std::to_string(file_kind) + " cannot be read");
  }
  return kIoOk;
}

void Thpgl::ReadNextFigure(tfigura& figure) {
  if (source_ != nullptr) source_->ReadNextFigure(figure);
}

const std::vector<ReaderNote>& Thpgl::Notes() const {
  static const std::vector<ReaderNote> kNone;
  return source_ != nullptr ? source_->Notes() : kNone;
}

double Thpgl::ltscale() const { return dxf_ != nullptr ? dxf_->ltscale() : ltscale_; }

void Thpgl::Close() {
  dxf_ = nullptr;
  source_.reset();
  if (file_.is_open()) file_.close();
  file_.clear();
  file_kind_ = 0;
}

}  // namespace varnholt
