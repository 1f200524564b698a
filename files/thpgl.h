#pragma once
// The drawing reader of one load: opens a plot file (kind 1) or a DXF drawing (kind 2) and hands out its figures.

#include <cstdint>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/drawing_unit.h"
#include "files/figure_source.h"

namespace varnholt {

class DxfReader;

// File kinds as the open dialog's filter indexes them ("Hpgl |*.plt|DXF|*.dxf").
enum FileKind : int { kPlotFile = 1, kDxfFile = 2 };

// The kind a drawing file is read as: a DXF drawing when its content opens like one, whatever its name, or
// when its name ends in ".dxf" in any case (file managers keep the name's case); else a plot file.
FileKind DrawingKindOfFile(const std::string& path);
// kDxfFile when the text opens as a DXF drawing does (comments, then the first section); nothing otherwise.
std::optional<FileKind> DrawingKindOfContent(std::istream& head);

class Thpgl {
 public:
  // Opens the file for the given kind; returns 0 or the I/O code of the failure. DXF lengths are in `unit`, and
  // ltscale is the line scale value an earlier load left (0 for none).
  int Open(const std::string& path, int file_kind, DrawingUnit unit = DrawingUnit::kMillimetre, double ltscale = 0.0);
  // Reads the next figure into figure. Throws RunTimeError on unreadable input.
  void ReadNextFigure(tfigura& figure);
  // True once the drawing is used up, or when nothing is open.
  bool AtEof() const { return source_ == nullptr || source_->AtEnd(); }
  void Close();

  // What the reader passed over so far (skipped entities, unread kinds).
  const std::vector<ReaderNote>& Notes() const;
  // The DXF line scale value as the drawing left it, for the next load; the given value for other kinds.
  double ltscale() const;

  int file_kind() const { return file_kind_; }

  // How much of the file the reader has taken in so far, in percent (100 once it cannot tell).
  int PercentRead();

 private:
  std::ifstream file_;
  std::unique_ptr<FigureSource> source_;
  int file_kind_ = 0;
  double ltscale_ = 0.0;
  uintmax_t size_ = 0;  // of the open file
  const DxfReader* dxf_ = nullptr;  // source_ when it reads a DXF drawing
};

}  // namespace varnholt
