#include "files/reader_note.h"

#include <string_view>
#include <utility>

#include "services/placeholder_text.h"

namespace varnholt {
namespace {

// Why an entity was skipped, in words that follow "NAME skipped: "; empty for kinds that are no skip.
std::string_view SkipReasonPattern(ReaderNoteKind kind) {
  switch (kind) {
    case ReaderNoteKind::kEntityFileEnds:
      return "the file ends inside it";
    case ReaderNoteKind::kEntityLacksGroup:
      return "it lacks group %2";
    case ReaderNoteKind::kEntityBeyondRange:
      return "a coordinate lies beyond the plotter range";
    case ReaderNoteKind::kEntityTooManyPoints:
      return "it would take more than %2 points";
    case ReaderNoteKind::kEntityRadiusNotAbove0:
      return "its radius is not above 0";
    case ReaderNoteKind::kEntitySameAngles:
      return "its start and end angles are the same";
    case ReaderNoteKind::kEntityNoMajorAxis:
      return "its major axis has no length";
    case ReaderNoteKind::kEntityAxisRatio:
      return "its axis ratio is not above 0";
    case ReaderNoteKind::kEntityEmptyParameters:
      return "its parameter range is empty";
    case ReaderNoteKind::kEntityNoControlPoints:
      return "it has no control points";
    case ReaderNoteKind::kEntityDegree:
      return "its degree %2 lies outside 1 .. %3";
    case ReaderNoteKind::kEntityKnotsDoNotFit:
      return "%2 knots do not fit %3 control points of degree %4";
    case ReaderNoteKind::kFurtherNotesLeftOut:
    case ReaderNoteKind::kEntitiesNotRead:
    case ReaderNoteKind::kEntityCutShort:
    case ReaderNoteKind::kCommandNotDrawn:
      break;
  }
  return {};
}

}  // namespace

std::string ReaderNoteEnglish(ReaderNoteKind kind, const std::vector<std::string>& values) {
  std::string pattern;
  switch (kind) {
    case ReaderNoteKind::kFurtherNotesLeftOut:
      pattern = "further notes are left out";
      break;
    case ReaderNoteKind::kEntitiesNotRead:
      pattern = values.size() > 1 && values[1] == "1" ? "%2 %1 entity is not read" : "%2 %1 entities are not read";
      break;
    case ReaderNoteKind::kEntityCutShort:
      pattern = "%1: the file ends inside it; its points so far are kept";
      break;
    case ReaderNoteKind::kCommandNotDrawn:
      pattern = "%1 at offset %2 is not drawn: the command and the numbers after it are passed over";
      break;
    default:
      pattern = "%1 skipped: " + std::string(SkipReasonPattern(kind));
      break;
  }
  return FillPlaceholders(pattern, values);
}

ReaderNote MakeReaderNote(int64_t line, ReaderNoteKind kind, std::vector<std::string> values) {
  return {line, kind, std::move(values)};
}

void AddReaderNote(std::vector<ReaderNote>& notes, int64_t line, ReaderNoteKind kind,
                   std::vector<std::string> values) {
  if (notes.size() < kMaxReaderNotes) {
    notes.push_back(MakeReaderNote(line, kind, std::move(values)));
  } else if (notes.size() == kMaxReaderNotes) {
    notes.push_back(MakeReaderNote(line, ReaderNoteKind::kFurtherNotesLeftOut, {}));
  }
}

}  // namespace varnholt
