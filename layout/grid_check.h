#pragma once
// The checks a duplication passes before it is built, in the dialog's order, with the operator's messages.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "layout/grid.h"
#include "project/project_document.h"

namespace varnholt {

// The value fields of the duplication dialog.
enum class DuplicationField { kColumns, kRows, kColumnPitch, kRowPitch, kVerticalDistance, kHorizontalDistance };

// What the checks need to know of the pattern.
struct PatternFacts {
  PatternBox box;
  size_t figures = 0;  // entries of its list, each copied once per element
  size_t points = 0;   // points of all its entries
};

PatternFacts FactsOf(const ProjectDocument& pattern);

// The most figures and points a duplicated project may hold: beyond them the copies would not fit in memory or
// could not be planned in any reasonable time.
inline constexpr double kMaxDuplicateFigures = 100000;
inline constexpr double kMaxDuplicatePoints = 20000000;

// How the checks show what they find.
struct CheckTexts {
  const TextLookup& texts;
  int unit = 0;            // the display unit of the numbers in the messages
  char separator = '.';    // their decimal separator
};

// Checks the values in order and shows the first failure through the current operator: an error box or, for a
// column pitch below the pattern's width, the question whether overlapping elements are accepted (anything but
// Yes fails; Yes builds the overlapping grid). Returns the field to focus, or nothing when the grid may be built. The
// order: columns, rows, column pitch, row pitch, each connector distance (first not negative, then leaving the gap
// free where the pitch leaves one), and last the size of the result (how many figures and points, whether every
// coordinate fits).
std::optional<DuplicationField> CheckDuplication(const DuplicationParameters& values, const PatternFacts& pattern,
                                                 const CheckTexts& how);

}  // namespace varnholt
