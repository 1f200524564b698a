#pragma once
// Reads drawing exchange (DXF) text files: one figure per LINE, ARC, CIRCLE, ELLIPSE, SPLINE or polyline entity.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

#include "files/drawing_unit.h"
#include "files/dxf_groups.h"
#include "files/dxf_lines.h"
#include "files/dxf_shapes.h"
#include "files/figure_source.h"

namespace varnholt {

class DxfReader final : public FigureSource {
 public:
  // Lengths are in `unit`; ltscale is the line scale value carried over from an earlier load (0 for none). The
  // stream must outlive the reader.
  explicit DxfReader(std::istream& stream, DrawingUnit unit = DrawingUnit::kMillimetre, double ltscale = 0.0);

  void ReadNextFigure(tfigura& figure) override;
  bool AtEnd() const override { return failed_ || groups_.AtEof(); }
  // Skipped entities, in file order, and once the drawing is used up a count of each entity kind not read.
  const std::vector<ReaderNote>& Notes() const override { return notes_; }

  // The last line scale value read after the entities began (or the one given).
  double ltscale() const { return ltscale_; }
  int32_t pen() const { return pen_; }

 private:
  void FindEntities();
  // Reads one entity into the figure; false for a kind that is not read.
  bool ReadEntity(const std::string& name, int64_t line, tfigura& figure);
  void AddNote(int64_t line, ReaderNoteKind kind, std::vector<std::string> values);
  void CountUnread(const std::string& name);
  void AddUnreadSummary();

  DxfLineReader lines_;
  DxfGroupReader groups_;
  double mm_per_unit_;
  double ltscale_;
  int32_t pen_ = 1;
  bool in_entities_ = false;
  bool entities_open_ = false;  // between ENTITIES and its ENDSEC, where unread kinds are counted
  bool failed_ = false;
  bool summary_added_ = false;
  std::vector<ReaderNote> notes_;
  std::map<std::string, int64_t> unread_;
  UnitCircleTables circles_;
};

}  // namespace varnholt
