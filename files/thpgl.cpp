#include "files/thpgl.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <istream>
#include <optional>
#include <system_error>

#include "files/dxf_reader.h"
#include "files/file_open.h"
#include "files/hpgl_reader.h"
#include "geometry/run_time_error.h"

namespace varnholt {

namespace {

// Lines of a DXF head without its blanks: "  0", "SECTION".
std::string Trimmed(const std::string& line) {
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
}

}  // namespace

std::optional<FileKind> DrawingKindOfContent(std::istream& head) {
  // A DXF drawing is pairs of lines, a group code and its value; after comments (group 999) it opens a
  // section. A plot file starts with instructions, never with a number on a line of its own.
  constexpr int kPairsLooked = 32;
  std::string code, value;
  do {
    if (!std::getline(head, code)) return std::nullopt;
    if (code.starts_with("\xEF\xBB\xBF")) code.erase(0, 3);
  } while (Trimmed(code).empty());
  for (int pair = 0; pair < kPairsLooked; ++pair) {
    if (pair > 0 && !std::getline(head, code)) return std::nullopt;
    if (!std::getline(head, value)) return std::nullopt;
    const std::string group = Trimmed(code);
    if (group == "999") continue;
    if (group == "0" && Trimmed(value) == "SECTION") return kDxfFile;
    return std::nullopt;
  }
  return std::nullopt;
}

FileKind DrawingKindOfFile(const std::string& path) {
  std::ifstream head(path, std::ios::binary);
  if (head && DrawingKindOfContent(head) == kDxfFile) return kDxfFile;
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
  std::error_code size_error;
  size_ = std::filesystem::file_size(path, size_error);
  if (size_error) size_ = 0;
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

int Thpgl::PercentRead() {
  if (!file_.is_open() || size_ == 0) return 100;
  const std::streamoff at = file_.tellg();
  if (at < 0) return 100;
  return static_cast<int>(std::min<uintmax_t>(100, static_cast<uintmax_t>(at) * 100 / size_));
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
