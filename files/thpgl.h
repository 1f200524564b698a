#pragma once
// The drawing reader of one load: opens a plot file (kind 1) and hands out its figures.

#include <fstream>
#include <memory>
#include <string>

#include "files/figure_source.h"

namespace varnholt {

// File kinds as the open dialog's filter indexes them ("Hpgl |*.plt|DXF|*.dxf").
enum FileKind : int { kPlotFile = 1, kDxfFile = 2 };

class Thpgl {
 public:
  // Opens the file for the given kind; returns 0 or the I/O code of the failure.
  int Open(const std::string& path, int file_kind);
  // Reads the next figure into figure. Throws RunTimeError on unreadable input.
  void ReadNextFigure(tfigura& figure);
  // True once the drawing is used up, or when nothing is open.
  bool AtEof() const { return source_ == nullptr || source_->AtEnd(); }
  void Close();

  int file_kind() const { return file_kind_; }

 private:
  std::ifstream file_;
  std::unique_ptr<FigureSource> source_;
  int file_kind_ = 0;
};

}  // namespace varnholt
