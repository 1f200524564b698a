#pragma once
// What a project load needs from a drawing reader: the next figure, until the drawing is used up.

#include <vector>

#include "files/reader_note.h"
#include "geometry/figure.h"

namespace varnholt {

class FigureSource {
 public:
  virtual ~FigureSource() = default;
  // Appends the points of the next figure and sets its pen fields. Throws RunTimeError on unreadable input.
  virtual void ReadNextFigure(tfigura& figure) = 0;
  // True once nothing is left to read (also after a failure).
  virtual bool AtEnd() const = 0;
  // What was passed over so far; empty for readers that never skip anything.
  virtual const std::vector<ReaderNote>& Notes() const {
    static const std::vector<ReaderNote> kNone;
    return kNone;
  }
};

}  // namespace varnholt
