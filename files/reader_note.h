#pragma once
// What a reader passed over and the operator should hear of: a kind of note and its values, with its English text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnholt {

// One kind per sentence a reader can say. The values listed are the note's values in order; a drawing exchange
// entity's name always comes first.
enum class ReaderNoteKind {
  kFurtherNotesLeftOut,    // (none): the list of notes is full
  kEntitiesNotRead,        // name, count: entities of a kind no figure is made of
  kEntityCutShort,         // name: the file ends inside the entity; its points so far are kept
  kEntityFileEnds,         // name: skipped, the file ends inside it before a value it needs
  kEntityLacksGroup,       // name, group code: skipped, a value it needs is missing
  kEntityBeyondRange,      // name: skipped, a coordinate lies beyond the plotter range
  kEntityTooManyPoints,    // name, point limit: skipped, it would make a figure too long
  kEntityRadiusNotAbove0,  // name: skipped, a circle or arc without radius
  kEntitySameAngles,       // name: skipped, an arc whose start and end angles are the same
  kEntityNoMajorAxis,      // name: skipped, an ellipse whose major axis has no length
  kEntityAxisRatio,        // name: skipped, an ellipse whose axis ratio is not above 0
  kEntityEmptyParameters,  // name: skipped, an ellipse whose parameter range is empty
  kEntityNoControlPoints,  // name: skipped, a spline without control points
  kEntityDegree,           // name, degree, highest degree: skipped, a spline degree out of range
  kEntityKnotsDoNotFit,    // name, knots, control points, degree: skipped, the knots fit no curve
  kCommandNotDrawn,        // command word, byte offset: a plot command that draws nothing here
};

// The number of kinds, for walking them all.
inline constexpr int kReaderNoteKindCount = static_cast<int>(ReaderNoteKind::kCommandNotDrawn) + 1;

// The English sentence of a note of this kind with these values.
std::string ReaderNoteEnglish(ReaderNoteKind kind, const std::vector<std::string>& values);

struct ReaderNote {
  int64_t line = 0;  // line of the file where it begins; 0 for a summary and for plot files, whose notes name the offset
  ReaderNoteKind kind = ReaderNoteKind::kFurtherNotesLeftOut;
  std::vector<std::string> values;

  // In English, as the command line tool reports it.
  std::string text() const { return ReaderNoteEnglish(kind, values); }
};

// At most this many notes are kept; one more says that further ones were left out.
inline constexpr size_t kMaxReaderNotes = 1000;

// A note.
ReaderNote MakeReaderNote(int64_t line, ReaderNoteKind kind, std::vector<std::string> values);

// Appends a note unless the list is full.
void AddReaderNote(std::vector<ReaderNote>& notes, int64_t line, ReaderNoteKind kind,
                   std::vector<std::string> values = {});

}  // namespace varnholt
