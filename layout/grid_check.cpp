#include "layout/grid_check.h"

#include <cmath>
#include <string>

#include "config/display_unit.h"
#include "geometry/units.h"
#include "layout/length_text.h"
#include "services/operator.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Duplication_parameters";

// Coordinates of the result stay within this bound, where squared distances and cross products are exact.
constexpr double kCoordinateLimit = 1073741824.0;  // 2^30

std::string Text(const CheckTexts& how, const char* key) { return how.texts(kSection, key); }

std::optional<DuplicationField> Fail(const CheckTexts& how, const char* key, DuplicationField field) {
  CurrentOperator().ShowMessageBox(Text(how, key), true, "");
  return field;
}

// A length of the pattern as the messages give it: two decimals and the unit's name.
std::string PatternLength(const CheckTexts& how, int32_t units) {
  return LengthText(UnitsToMm(units), how.unit, 2, how.separator) + " " + std::string(UnitName(how.unit));
}

// Plotter units of a millimetre length, unrounded beyond the int32 range (the checks compare, nothing is stored).
double Units(double mm) { return nearest(mm * kUnitsPerMm); }

bool Within(double low, double high) { return -kCoordinateLimit <= low && high <= kCoordinateLimit; }

}  // namespace

PatternFacts FactsOf(const ProjectDocument& pattern) {
  PatternFacts facts;
  facts.box = {pattern.project_min_x, pattern.project_min_y, pattern.project_width, pattern.project_height};
  facts.figures = pattern.figures.size();
  for (const auto& figure : pattern.figures) facts.points += figure->points.size();
  return facts;
}

std::optional<DuplicationField> CheckDuplication(const DuplicationParameters& values, const PatternFacts& pattern,
                                                 const CheckTexts& how) {
  const PatternBox& box = pattern.box;
  if (values.columns <= 0) return Fail(how, "BlednaIloscElem", DuplicationField::kColumns);
  if (values.rows <= 0) return Fail(how, "BlednaIloscWierszy", DuplicationField::kRows);
  if (values.column_pitch < UnitsToMm(box.width)) {
    const std::string question = Text(how, "ElNachodzaNaSiebie") + "\r\n" + Text(how, "SzerokoscPojedynElem") +
                                 ": " + PatternLength(how, box.width) + "\r\n\r\n" + Text(how, "CzyAkceptujesz");
    if (CurrentOperator().AskQuestion(question, Buttons({kButtonYes, kButtonCancel}), "") != kButtonYes) {
      return DuplicationField::kColumnPitch;
    }
  }
  if (values.row_pitch < UnitsToMm(box.height)) {
    CurrentOperator().ShowMessageBox(
        Text(how, "BlednePrzesMdzyWier") + "\r\nmin: " + PatternLength(how, box.height), true, "");
    return DuplicationField::kRowPitch;
  }
  // The connector distances are compared in plotter units, as the layout uses them: a line exactly on the next
  // element's edge would cut it. Pitches that leave no gap (elements that touch, or overlap as the operator
  // accepted) leave the connecting lines nothing to stay within: only their distance's sign is checked then.
  const double column_gap = Units(values.column_pitch) - box.width;
  const double row_gap = Units(values.row_pitch) - box.height;
  if (values.vertical_distance < 0.0) return Fail(how, "OdlLacznikaUjemna", DuplicationField::kVerticalDistance);
  if (column_gap > 0 && ConnectorDistanceUnits(values.vertical_distance) >= column_gap) {
    return Fail(how, "OdlLacznikaPionZaDuza", DuplicationField::kVerticalDistance);
  }
  if (values.horizontal_distance < 0.0) return Fail(how, "OdlLacznikaUjemna", DuplicationField::kHorizontalDistance);
  if (row_gap > 0 && ConnectorDistanceUnits(values.horizontal_distance) >= row_gap) {
    return Fail(how, "OdlLacznikaPoziomZaDuza", DuplicationField::kHorizontalDistance);
  }

  const double copies = static_cast<double>(values.columns) * values.rows;
  if (copies * static_cast<double>(pattern.figures) + 1 > kMaxDuplicateFigures ||
      copies * static_cast<double>(pattern.points) > kMaxDuplicatePoints) {
    return Fail(how, "ZaDuzoElementow", DuplicationField::kColumns);
  }
  // Every point lies within the copies' boxes widened by what the path adds beside them: a pitch, both connector
  // distances and the lead-in's margin, on each axis.
  const double pc = Units(values.column_pitch), pr = Units(values.row_pitch);
  const double beside = Units(values.vertical_distance) + Units(values.horizontal_distance) + 2 * kUnitsPerMm;
  const double min_x = box.min_x, min_y = box.min_y;
  if (!Within(min_x - pc - beside, min_x + values.columns * pc + box.width + beside)) {
    return Fail(how, "WymiaryZaDuze", DuplicationField::kColumnPitch);
  }
  if (!Within(min_y - pr - beside, min_y + values.rows * pr + box.height + beside)) {
    return Fail(how, "WymiaryZaDuze", DuplicationField::kRowPitch);
  }
  return std::nullopt;
}

}  // namespace varnholt
