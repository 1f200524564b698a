#include "project/text_drawing.h"

#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QPainterPath>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "config/display_unit.h"
#include "files/dxf_shapes.h"
#include "geometry/units.h"
#include "project/font_access.h"
#include "project/outline_weld.h"

namespace varnholt {
namespace {

// No chord leaves its curve by more than half a plotter unit.
constexpr double kFlatnessMm = 0.5 / kUnitsPerMm;
// Letter spacing beyond this many em would leave the coordinate range of the font layout.
constexpr double kMaxSpacingEm = 100.0;

// One contour, and one letter's contours, in millimetres.
using MmRing = std::vector<RealPoint>;
using MmGlyph = std::vector<MmRing>;

TextOutcome Problem(TextProblemKind kind, std::string detail = {}) {
  TextOutcome outcome;
  outcome.problem = TextProblem{kind, std::move(detail)};
  return outcome;
}

// Where a glyph's points go: from its pixels (y down, from the glyph's origin on the layout) to millimetres
// on the drawing (y up, the line's baseline at baseline_mm).
struct GlyphPlacement {
  QPointF origin;
  double baseline_px = 0.0;
  double mm_per_px = 1.0;
  double baseline_mm = 0.0;

  RealPoint operator()(const QPointF& p) const {
    return {(origin.x() + p.x()) * mm_per_px, baseline_mm - (origin.y() + p.y() - baseline_px) * mm_per_px};
  }
};

RealPoint Minus(const RealPoint& a, const RealPoint& b) {
  return {a.x - b.x, a.y - b.y};
}

// Appends the cubic from the ring's last point p0 through c1, c2 to p3, p0 left out.
void AddCubic(MmRing& ring, const RealPoint& c1, const RealPoint& c2, const RealPoint& p3) {
  const RealPoint p0 = ring.back();
  const double polygon = DistanceReal(p0, c1) + DistanceReal(c1, c2) + DistanceReal(c2, p3);
  const double length = (polygon + DistanceReal(p0, p3)) / 2.0;
  const double by_chord = std::ceil(length / ChordLength(length));
  // Divided into n even steps of its parameter, a cubic leaves its chords by at most 3/4 of the larger second
  // difference of its control points over n squared.
  const RealPoint d1 = Minus(Minus(p0, c1), Minus(c1, c2));
  const RealPoint d2 = Minus(Minus(c1, c2), Minus(c2, p3));
  const double second = std::max(std::hypot(d1.x, d1.y), std::hypot(d2.x, d2.y));
  const double by_flatness = std::ceil(std::sqrt(0.75 * second / kFlatnessMm));
  const double steps =
      std::clamp(std::max(by_chord, by_flatness), 1.0, static_cast<double>(kMaxCurveSegments));
  const auto n = static_cast<int64_t>(steps);
  for (int64_t i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / steps, u = 1.0 - t;
    const double a = u * u * u, b = 3.0 * u * u * t, c = 3.0 * u * t * t, d = t * t * t;
    ring.push_back({a * p0.x + b * c1.x + c * c2.x + d * p3.x, a * p0.y + b * c1.y + c * c2.y + d * p3.y});
  }
}

// The contours of a glyph's outline, its curves divided into chords.
MmGlyph Flatten(const QPainterPath& path, const GlyphPlacement& place) {
  MmGlyph contours;
  const int count = path.elementCount();
  for (int i = 0; i < count; ++i) {
    const QPainterPath::Element element = path.elementAt(i);
    if (element.isMoveTo() || contours.empty()) contours.emplace_back();
    if (element.isCurveTo() && i + 2 < count && !contours.back().empty()) {
      AddCubic(contours.back(), place(element), place(path.elementAt(i + 1)), place(path.elementAt(i + 2)));
      i += 2;
    } else {
      contours.back().push_back(place(element));
    }
  }
  return contours;
}

// The font of the settings at one pixel per font design unit, so the layout's advances are the font's own;
// the reason when there is none.
std::optional<TextProblem> ChooseFont(const TextSettings& settings, QFont& font) {
  std::optional<std::string> family = InstalledFamily(settings.family);
  if (!family) {
    std::string fallback = FallbackFamily(settings.family);
    if (!settings.allow_fallback) return TextProblem{TextProblemKind::kUnknownFont, fallback};
    family = std::move(fallback);
  }
  if (settings.style.empty()) {
    font = QFont(QString::fromStdString(*family));
  } else {
    const std::vector<std::string> styles = FontStyles(*family);
    const std::optional<std::string> style = MatchingStyle(styles, settings.style);
    if (!style) {
      std::string listed;
      for (const std::string& name : styles) listed += (listed.empty() ? "" : ", ") + name;
      return TextProblem{TextProblemKind::kUnknownStyle, listed};
    }
    font = QFontDatabase::font(QString::fromStdString(*family), QString::fromStdString(*style), 12);
  }
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::NoFontMerging);
  font.setKerning(true);
  const QRawFont raw = QRawFont::fromFont(font);
  if (!raw.isValid()) return TextProblem{TextProblemKind::kUnknownFont, *family};
  font.setPixelSize(std::max(1, static_cast<int>(raw.unitsPerEm())));
  return std::nullopt;
}

// The characters of the text the font has no glyph for, each once, joined by blanks.
std::string MissingCharacters(const QString& text, const QRawFont& raw) {
  QList<uint> missing;
  for (const uint c : text.toUcs4()) {
    if (c == '\n' || QChar::isSpace(c) || missing.contains(c) || raw.supportsCharacter(c)) continue;
    missing.push_back(c);
  }
  std::string listed;
  for (const uint c : missing) {
    if (!listed.empty()) listed += ' ';
    const auto character = static_cast<char32_t>(c);
    listed += QString::fromUcs4(&character, 1).toStdString();
  }
  return listed;
}

// The height of a capital in the font's pixels: the outline of "H", or the font's own figure without one.
double CapitalHeightPx(const QRawFont& raw) {
  const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("H"));
  if (raw.supportsCharacter(QChar('H')) && glyphs.size() == 1) {
    const double height = raw.pathForGlyph(glyphs.front()).boundingRect().height();
    if (height > 0.0) return height;
  }
  return raw.capHeight() > 0.0 ? raw.capHeight() : raw.ascent();
}

// The letters of one line, each its contours, with the line's baseline at baseline_mm.
std::vector<MmGlyph> LineGlyphs(const QString& line, const QFont& font, double mm_per_px,
                                double baseline_mm) {
  std::vector<MmGlyph> glyphs;
  QTextLayout layout(line, font);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  const QTextLine text_line = layout.createLine();
  layout.endLayout();
  if (!text_line.isValid()) return glyphs;
  GlyphPlacement place;
  place.baseline_px = text_line.y() + text_line.ascent();
  place.mm_per_px = mm_per_px;
  place.baseline_mm = baseline_mm;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    const QRawFont raw = run.rawFont();
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
      const QPainterPath outline = raw.pathForGlyph(indexes[i]);
      if (outline.isEmpty()) continue;
      place.origin = positions[i];
      glyphs.push_back(Flatten(outline, place));
    }
  }
  return glyphs;
}

// Moves the line's letters so that their outlines line up on x = 0 as aligned.
void Align(std::vector<MmGlyph>& glyphs, TextAlignment alignment) {
  double low = std::numeric_limits<double>::infinity(), high = -low;
  for (const MmGlyph& glyph : glyphs) {
    for (const MmRing& ring : glyph) {
      for (const RealPoint& p : ring) {
        low = std::min(low, p.x);
        high = std::max(high, p.x);
      }
    }
  }
  if (!(low <= high)) return;
  const double shift = alignment == TextAlignment::kLeft    ? -low
                       : alignment == TextAlignment::kRight ? -high
                                                            : -(low + high) / 2.0;
  for (MmGlyph& glyph : glyphs) {
    for (MmRing& ring : glyph) {
      for (RealPoint& p : ring) p.x += shift;
    }
  }
}

// The contours in plotter units: repeated points once, the closing point left out, contours of fewer than
// three points dropped. Nothing when a point leaves the int32 range.
std::optional<std::vector<OutlineGroup>> ToUnits(const std::vector<MmGlyph>& glyphs) {
  std::vector<OutlineGroup> groups;
  groups.reserve(glyphs.size());
  for (const MmGlyph& glyph : glyphs) {
    OutlineGroup group;
    for (const MmRing& ring : glyph) {
      OutlineRing units;
      units.reserve(ring.size());
      for (const RealPoint& p : ring) {
        const std::optional<int32_t> x = MmToUnitsChecked(p.x), y = MmToUnitsChecked(p.y);
        if (!x || !y) return std::nullopt;
        const TPlotPoint point{*x, *y};
        if (units.empty() || units.back() != point) units.push_back(point);
      }
      while (units.size() > 1 && units.back() == units.front()) units.pop_back();
      if (units.size() >= 3) group.push_back(std::move(units));
    }
    if (!group.empty()) groups.push_back(std::move(group));
  }
  return groups;
}

// Moves the figures so that their box starts at (0, 0); false when that leaves the int32 range.
bool MoveToOrigin(FigureList& figures, double& width_mm, double& height_mm) {
  int32_t min_x = INT32_MAX, min_y = INT32_MAX, max_x = INT32_MIN, max_y = INT32_MIN;
  for (const auto& figure : figures) {
    min_x = std::min(min_x, figure->min_x);
    min_y = std::min(min_y, figure->min_y);
    max_x = std::max(max_x, figure->max_x);
    max_y = std::max(max_y, figure->max_y);
  }
  if (int64_t{max_x} - min_x > INT32_MAX || int64_t{max_y} - min_y > INT32_MAX) return false;
  for (auto& figure : figures) {
    for (TPlotPoint& p : figure->points) p = {p.x - min_x, p.y - min_y};
    licz_parametry(*figure);
  }
  width_mm = UnitsToMm(max_x - min_x);
  height_mm = UnitsToMm(max_y - min_y);
  return true;
}

}  // namespace

TextOutcome MakeTextDrawing(const TextSettings& settings, double max_height_mm) {
  const FontAccess access;
  if (!access.available()) return Problem(TextProblemKind::kNoFontAccess);
  QString text = QString::fromStdString(settings.text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  const QList<uint> characters = text.toUcs4();
  if (std::all_of(characters.begin(), characters.end(), [](uint c) { return QChar::isSpace(c); })) {
    return Problem(TextProblemKind::kEmptyText);
  }
  if (characters.size() > kMaxTextLength) return Problem(TextProblemKind::kTextTooLong);
  const double height = settings.letter_height_mm;
  if (!(height >= kMinLetterHeightMm && height <= max_height_mm)) {
    return Problem(TextProblemKind::kHeightOutOfRange);
  }
  QFont font;
  if (std::optional<TextProblem> problem = ChooseFont(settings, font)) return {std::move(problem), {}};
  QRawFont raw = QRawFont::fromFont(font);
  if (std::string missing = MissingCharacters(text, raw); !missing.empty()) {
    return Problem(TextProblemKind::kMissingCharacters, std::move(missing));
  }

  const double mm_per_px = height / CapitalHeightPx(raw);
  const double spacing = std::isfinite(settings.letter_spacing_mm) ? settings.letter_spacing_mm : 0.0;
  const double em_mm = raw.pixelSize() * mm_per_px;
  if (std::fabs(spacing) > kMaxSpacingEm * em_mm) return Problem(TextProblemKind::kTooLarge);
  font.setLetterSpacing(QFont::AbsoluteSpacing, spacing / mm_per_px);
  const double line_pitch_mm = settings.line_spacing_mm > 0.0 && std::isfinite(settings.line_spacing_mm)
                                   ? settings.line_spacing_mm
                                   : (raw.ascent() + raw.descent() + raw.leading()) * mm_per_px;

  std::vector<MmGlyph> glyphs;
  const QStringList lines = text.split(QChar('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    std::vector<MmGlyph> line =
        LineGlyphs(lines[i], font, mm_per_px, -static_cast<double>(i) * line_pitch_mm);
    Align(line, settings.alignment);
    glyphs.insert(glyphs.end(), std::make_move_iterator(line.begin()), std::make_move_iterator(line.end()));
  }
  const std::optional<std::vector<OutlineGroup>> groups = ToUnits(glyphs);
  if (!groups) return Problem(TextProblemKind::kTooLarge);

  TextOutcome outcome;
  TextDrawing& drawing = outcome.drawing;
  drawing.figures = WeldOutlines(*groups, settings.weld);
  if (drawing.figures.empty()) return Problem(TextProblemKind::kEmptyText);
  if (!MoveToOrigin(drawing.figures, drawing.width_mm, drawing.height_mm))
    return Problem(TextProblemKind::kTooLarge);
  drawing.family = raw.familyName().toStdString();
  drawing.style = raw.styleName().toStdString();
  return outcome;
}

int TextLengthDecimals(int unit) {
  return unit == kUnitInch ? 3 : unit == kUnitFoot ? 4 : 1;
}

std::string TextProblemText(const TextProblem& problem, const TextLookup& texts, int unit,
                            double max_height_mm) {
  constexpr std::string_view kSection = "Text_window";
  switch (problem.kind) {
    case TextProblemKind::kNoFontAccess:
      return texts(kSection, "brakDostepuDoCzcionek");
    case TextProblemKind::kEmptyText:
      return texts(kSection, "tekstPusty");
    case TextProblemKind::kTextTooLong:
      return texts(kSection, "tekstZaDlugi") + std::to_string(kMaxTextLength);
    case TextProblemKind::kUnknownFont:
      return texts(kSection, "brakCzcionki") + problem.detail;
    case TextProblemKind::kUnknownStyle:
      return texts(kSection, "brakStylu") + problem.detail;
    case TextProblemKind::kHeightOutOfRange: {
      const auto length = [&](double mm) {
        return QString::number(FromMillimetres(mm, unit), 'f', TextLengthDecimals(unit)).toStdString() + " " +
               std::string(UnitName(unit));
      };
      return texts(kSection, "wysokoscPozaZakresem") + length(kMinLetterHeightMm) + " - " +
             length(max_height_mm);
    }
    case TextProblemKind::kMissingCharacters:
      return texts(kSection, "brakZnakow") + problem.detail;
    case TextProblemKind::kTooLarge:
      return texts(kSection, "tekstZaDuzy");
  }
  return {};
}

std::string TextProjectName(const std::string& text) {
  QString name;
  for (const QString& line :
       QString::fromStdString(text).split(QRegularExpression(QStringLiteral("[\\r\\n]")))) {
    name = line.trimmed();
    if (!name.isEmpty()) break;
  }
  name = name.left(40).trimmed();
  static const QString kNotInNames = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : name) {
    if (kNotInNames.contains(c) || c.category() == QChar::Other_Control) c = QChar('_');
  }
  return name.isEmpty() ? std::string("text") : name.toStdString();
}

}  // namespace varnholt
