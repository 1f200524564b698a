#pragma once
// What a project load needs from a drawing reader: the next figure, until the drawing is used up.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/figure.h"

namespace varnholt {

// Something a reader passed over and the operator should hear of (a skipped entity, an unread kind, a plot
// command that draws nothing here).
struct ReaderNote {
  int64_t line = 0;  // line of the file where it begins; 0 for a summary and for plot files, whose notes name the offset
  std::string text;
};

// At most this many notes are kept; one more says that further ones were left out.
inline constexpr size_t kMaxReaderNotes = 1000;

// Appends a note unless the list is full.
inline void AddReaderNote(std::vector<ReaderNote>& notes, int64_t line, std::string text) {
  if (notes.size() < kMaxReaderNotes) {
    notes.push_back({line, std::move(text)});
  } else if (notes.size() == kMaxReaderNotes) {
    notes.push_back({line, "further notes are left out"});
  }
}

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
