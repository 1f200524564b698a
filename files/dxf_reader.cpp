#include "files/dxf_reader.h"

#include <cmath>
#include <utility>
#include <vector>

#include "files/dxf_entities.h"
#include "files/dxf_entity_input.h"
#include "files/dxf_points.h"
#include "files/figure_finish.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

// A line scale this close to 1/25.4 marks a drawing in inches whose coordinates are scaled once more.
bool IsInchLineScale(double ltscale) { return std::fabs(ltscale - 0.000394) <= 0.000001; }

// Kinds of unread entity counted by name; more kinds than this are counted together.
constexpr size_t kMaxUnreadKinds = 64;

}  // namespace

DxfReader::DxfReader(std::istream& stream, DrawingUnit unit, double ltscale)
    : lines_(stream), groups_(lines_), mm_per_unit_(MmPerDrawingUnit(unit)), ltscale_(ltscale) {}

void DxfReader::FindEntities() {
  while (!lines_.AtEof()) {
    if (lines_.ReadLine() == "ENTITIES") {
      in_entities_ = true;
      entities_open_ = true;
      lines_.ExpectCodeNext();
      return;
    }
  }
}

void DxfReader::AddNote(int64_t line, ReaderNoteKind kind, std::vector<std::string> values) {
  AddReaderNote(notes_, line, kind, std::move(values));
}

void DxfReader::CountUnread(const std::string& name) {
  if (name == "VERTEX" || name == "SEQEND" || name == "EOF") return;
  if (unread_.size() < kMaxUnreadKinds || unread_.count(name) > 0) {
    ++unread_[name];
  } else {
    ++unread_["(other kinds)"];
  }
}

void DxfReader::AddUnreadSummary() {
  summary_added_ = true;
  for (const auto& [name, count] : unread_) {
    AddNote(0, ReaderNoteKind::kEntitiesNotRead, {name, std::to_string(count)});
  }
}

bool DxfReader::ReadEntity(const std::string& name, int64_t line, tfigura& figure) {
  DxfEntityInput in(groups_, pen_, figure);
  DxfPointSink sink(figure, mm_per_unit_, IsInchLineScale(ltscale_));
  try {
    if (!ReadDxfEntity(name, in, sink, circles_)) {
      if (entities_open_) CountUnread(name);
      return false;
    }
    if (in.truncated()) AddNote(line, ReaderNoteKind::kEntityCutShort, {name});
  } catch (const DxfEntitySkipped& skipped) {
    figure.points.clear();
    in.SkipRest();
    std::vector<std::string> values{name};
    values.insert(values.end(), skipped.values().begin(), skipped.values().end());
    AddNote(line, skipped.reason(), std::move(values));
  }
  return true;
}

void DxfReader::ReadNextFigure(tfigura& figure) {
  figure.pen = static_cast<uint8_t>(pen_);
  try {
    if (!in_entities_) FindEntities();
    bool figure_done = false;
    while (in_entities_ && !figure_done && groups_.Next()) {
      if (groups_.code() == 0) {
        const std::string name(groups_.value());
        if (name == "ENDSEC") {
          entities_open_ = false;
          continue;
        }
        figure_done = ReadEntity(name, groups_.line() + 1, figure);  // the line of the name
      } else if (groups_.value() == "$LTSCALE" && groups_.Next()) {
        ltscale_ = groups_.Real();
      }
    }
  } catch (...) {
    failed_ = true;
    throw;
  }
  if (AtEnd() && !summary_added_) AddUnreadSummary();
  FinishReadFigure(figure);
}

}  // namespace varnholt
