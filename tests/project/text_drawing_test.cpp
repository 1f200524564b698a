// Texts in the computer's fonts (DejaVu Sans, installed by scripts/deps): the outlines and counters of known
// letters, the capital height, spacing, lines and alignment, welding, the plot file round trip, and the
// problems a text can have.

#include "project/text_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>

#include "files/plot_file_writer.h"
#include "geometry/units.h"
#include "project/font_access.h"
#include "project/project_document.h"
#include "services/interfejs.h"
#include "services/language_file.h"
#include "services/program_version.h"
#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

constexpr double kMachineHeightMm = 2400.0;

// The whole run reads its fonts through one application, which the library makes as it does for the command line.
class FontEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { access_ = std::make_unique<FontAccess>(); }
  void TearDown() override { access_.reset(); }

 private:
  std::unique_ptr<FontAccess> access_;
};
const auto* const kFonts = ::testing::AddGlobalTestEnvironment(new FontEnvironment);

TextSettings Settings(const std::string& text, double height_mm = 100.0) {
  TextSettings settings;
  settings.text = text;
  settings.family = "DejaVu Sans";
  settings.letter_height_mm = height_mm;
  return settings;
}

// The drawing of settings; the test fails (with the problem) when there is none.
TextDrawing Draw(const TextSettings& settings) {
  TextOutcome outcome = MakeTextDrawing(settings, kMachineHeightMm);
  EXPECT_FALSE(outcome.problem) << static_cast<int>(outcome.problem->kind) << ": " << outcome.problem->detail;
  return std::move(outcome.drawing);
}

// The figures loaded into a project and nested, as planning sees them.
struct Nested {
  std::vector<int32_t> depths;
  std::vector<int32_t> parents;
};
Nested Nest(TextDrawing drawing) {
  ScriptedOperator op;
  ScopedOperator installed(op);
  ProjectDocument project([](std::string_view, std::string_view) { return std::string(); });
  project.plan_after_load = false;
  EXPECT_TRUE(project.LoadFigures(std::move(drawing.figures)));
  project.co_w_czym();
  Nested nested;
  for (const auto& figure : project.figures) {
    nested.depths.push_back(figure->depth);
    nested.parents.push_back(figure->parent);
  }
  return nested;
}

TEST(TextDrawing, KnownLettersGiveTheirOutlinesAndCounters) {
  ASSERT_TRUE(InstalledFamily("dejavu sans")) << "DejaVu Sans is missing: run scripts/deps";
  const TextDrawing o = Draw(Settings("O"));
  ASSERT_EQ(o.figures.size(), 2u);
  for (const auto& figure : o.figures) EXPECT_TRUE(figure->closed);
  const Nested o_nested = Nest(Draw(Settings("O")));
  EXPECT_EQ(o_nested.depths, (std::vector<int32_t>{0, 1})) << "the counter lies inside the outline";
  EXPECT_EQ(o_nested.parents, (std::vector<int32_t>{-1, 0}));

  const TextDrawing i = Draw(Settings("i"));
  ASSERT_EQ(i.figures.size(), 2u);
  EXPECT_EQ(Nest(Draw(Settings("i"))).depths, (std::vector<int32_t>{0, 0}))
      << "the dot stands beside the stem";
  EXPECT_EQ(i.figures[0]->min_x, i.figures[1]->min_x) << "one above the other, as wide";

  // "B" has two counters, "8" too; "A" one.
  EXPECT_EQ(Draw(Settings("AB8")).figures.size(), 3u + 2u + 3u);
  EXPECT_EQ(o.family, "DejaVu Sans");
  EXPECT_EQ(o.style, "Book");
}

TEST(TextDrawing, TheCapitalIsAsHighAsAskedToTheResolution) {
  for (const double height : {100.0, 37.3, 1.0, 2400.0}) {
    const TextDrawing h = Draw(Settings("H", height));
    ASSERT_EQ(h.figures.size(), 1u);
    EXPECT_LE(std::abs(h.figures[0]->height - MmToUnits(height)), 1) << height;
    EXPECT_NEAR(h.height_mm, UnitsToMm(h.figures[0]->height), 1e-9);
    EXPECT_EQ(h.figures[0]->min_y, 0) << "the box starts at the origin";
  }
  // A style of its own, its own capital height: bold H stands as high.
  TextSettings bold = Settings("H", 250.0);
  bold.style = "bold";
  const TextDrawing h = Draw(bold);
  EXPECT_EQ(h.style, "Bold");
  EXPECT_LE(std::abs(h.figures[0]->height - MmToUnits(250.0)), 1);
}

TEST(TextDrawing, CurvesAreDividedByTheChordRule) {
  // At a metre a chord of the "O" would leave its curve by less than half a unit at 6 mm; the chord rule
  // keeps chords at 2 mm (a little more where the curve's even parameter steps are not quite even in length).
  const TextDrawing o = Draw(Settings("O", 1000.0));
  size_t points = 0;
  for (const auto& figure : o.figures) {
    points += figure->points.size();
    for (size_t k = 1; k < figure->points.size(); ++k) {
      const double dx = figure->points[k].x - figure->points[k - 1].x;
      const double dy = figure->points[k].y - figure->points[k - 1].y;
      EXPECT_LE(std::hypot(dx, dy), 2.5 * kUnitsPerMm) << k;
    }
  }
  EXPECT_LT(points, 6000u) << "nor finer than it needs";
}

TEST(TextDrawing, SpacingLinesAndAlignmentMoveTheLettersByTheirMillimetres) {
  // "I" is one bar; its left edge moves by the letter spacing from one letter to the next.
  TextSettings two = Settings("II");
  const TextDrawing close = Draw(two);
  two.letter_spacing_mm = 12.5;
  const TextDrawing spaced = Draw(two);
  ASSERT_EQ(close.figures.size(), 2u);
  ASSERT_EQ(spaced.figures.size(), 2u);
  const int32_t close_step = close.figures[1]->min_x - close.figures[0]->min_x;
  const int32_t spaced_step = spaced.figures[1]->min_x - spaced.figures[0]->min_x;
  EXPECT_LE(std::abs(spaced_step - close_step - MmToUnits(12.5)), 1);

  // Two lines 150 mm from baseline to baseline; the bars stand on their baselines. An empty line between two
  // takes its place too.
  TextSettings lines = Settings("I\nIII");
  lines.line_spacing_mm = 150.0;
  for (const auto& [alignment, edge] :
       {std::pair{TextAlignment::kLeft, 0}, std::pair{TextAlignment::kCentre, 1},
        std::pair{TextAlignment::kRight, 2}}) {
    lines.alignment = alignment;
    const TextDrawing drawing = Draw(lines);
    ASSERT_EQ(drawing.figures.size(), 4u);
    const tfigura& top = *drawing.figures[0];
    const tfigura& first_below = *drawing.figures[1];
    const tfigura& last_below = *drawing.figures[3];
    EXPECT_LE(std::abs(top.min_y - first_below.min_y - MmToUnits(150.0)), 1);
    const int32_t top_at[] = {top.min_x, top.min_x + top.max_x, top.max_x};
    const int32_t below_at[] = {first_below.min_x, first_below.min_x + last_below.max_x, last_below.max_x};
    EXPECT_LE(std::abs(top_at[edge] - below_at[edge]), 2) << edge;
  }
  lines.text = "I\n\nI";
  lines.alignment = TextAlignment::kLeft;
  const TextDrawing gap = Draw(lines);
  ASSERT_EQ(gap.figures.size(), 2u);
  EXPECT_LE(std::abs(gap.figures[0]->min_y - gap.figures[1]->min_y - MmToUnits(300.0)), 1);
}

TEST(TextDrawing, LettersBroughtTogetherWeldIntoOneOutline) {
  TextSettings settings = Settings("OO");
  settings.letter_spacing_mm = -20.0;
  const TextDrawing welded = Draw(settings);
  ASSERT_EQ(welded.figures.size(), 3u) << "one outline round both, two counters";
  EXPECT_EQ(Nest(Draw(settings)).depths, (std::vector<int32_t>{0, 1, 1}));
  settings.weld = false;
  const TextDrawing apart = Draw(settings);
  EXPECT_EQ(apart.figures.size(), 4u);
  EXPECT_EQ(welded.width_mm, apart.width_mm);
}

TEST(TextDrawing, APlotFileOfTheTextOpensAsTheSameFigures) {
  testing::TempFolder folder;
  TextSettings settings = Settings("Ab 8\nżółw", 80.0);
  settings.alignment = TextAlignment::kCentre;
  TextDrawing drawing = Draw(settings);
  std::vector<const tfigura*> written;
  for (const auto& figure : drawing.figures) written.push_back(figure.get());
  const std::string path = folder.PathOf("text.plt");
  WritePlotFile(path, written);

  ScriptedOperator op;
  ScopedOperator installed(op);
  ProjectDocument project([](std::string_view, std::string_view) { return std::string(); });
  project.plan_after_load = false;
  ASSERT_TRUE(project.Load(path, kAllPens));
  ASSERT_EQ(project.figures.size(), drawing.figures.size());
  for (size_t i = 0; i < project.figures.size(); ++i) {
    EXPECT_EQ(project.figures[i]->points, drawing.figures[i]->points) << i;
    EXPECT_TRUE(project.figures[i]->closed) << i;
  }
  EXPECT_EQ(project.joins_made, 0);
  EXPECT_EQ(project.duplicates_dropped, 0);
}

TEST(TextDrawing, ProblemsAreToldNotDrawn) {
  // The problem of settings; a drawing made instead ends the test.
  const auto problem = [](const TextSettings& settings) {
    const std::optional<TextProblem> found = MakeTextDrawing(settings, kMachineHeightMm).problem;
    if (!found) throw std::runtime_error("drawn: " + settings.text);
    return *found;
  };
  EXPECT_EQ(problem(Settings(" \n\t ")).kind, TextProblemKind::kEmptyText);
  EXPECT_EQ(problem(Settings(std::string(kMaxTextLength + 1, 'x'))).kind, TextProblemKind::kTextTooLong);
  for (const double height : {0.5, 2400.5, std::nan("")}) {
    EXPECT_EQ(problem(Settings("A", height)).kind, TextProblemKind::kHeightOutOfRange) << height;
  }

  TextSettings unknown = Settings("A");
  unknown.family = "No Such Family 7";
  const TextProblem missing_font = problem(unknown);
  EXPECT_EQ(missing_font.kind, TextProblemKind::kUnknownFont);
  EXPECT_EQ(missing_font.detail, FallbackFamily(unknown.family));
  EXPECT_FALSE(missing_font.detail.empty());
  unknown.allow_fallback = true;
  EXPECT_EQ(Draw(unknown).family, missing_font.detail) << "--fallback takes the family the system offers";

  TextSettings style = Settings("A");
  style.style = "Wavy";
  const TextProblem missing_style = problem(style);
  EXPECT_EQ(missing_style.kind, TextProblemKind::kUnknownStyle);
  EXPECT_NE(missing_style.detail.find("Bold"), std::string::npos) << missing_style.detail;

  const TextProblem characters = problem(Settings("OK \xe6\xbc\xa2\xe5\xad\x97 \xe6\xbc\xa2"));
  EXPECT_EQ(characters.kind, TextProblemKind::kMissingCharacters);
  EXPECT_EQ(characters.detail, "\xe6\xbc\xa2 \xe5\xad\x97") << "each missing character once";

  TextSettings wide = Settings("AA");
  wide.letter_spacing_mm = 1e9;
  EXPECT_EQ(problem(wide).kind, TextProblemKind::kTooLarge);
}

TEST(TextDrawing, EveryProblemHasItsMessageInEveryLanguage) {
  for (const char* code : {"PL", "US", "DE"}) {
    LanguageTexts texts;
    const std::string path = tInterfejs::LanguageFileName(std::string(VARNHOLT_LANGUAGE_DIR) + "/", code);
    ASSERT_EQ(ReadLanguageFile(path, "Varnholt", ProgramVersion(), texts), LanguageFileStatus::kLoaded)
        << path;
    const TextLookup lookup = [&texts](std::string_view section, std::string_view key) {
      return texts.Lookup(section, key);
    };
    for (const TextProblemKind kind :
         {TextProblemKind::kNoFontAccess, TextProblemKind::kEmptyText, TextProblemKind::kTextTooLong,
          TextProblemKind::kUnknownFont, TextProblemKind::kUnknownStyle, TextProblemKind::kHeightOutOfRange,
          TextProblemKind::kMissingCharacters, TextProblemKind::kTooLarge}) {
      const std::string text = TextProblemText({kind, "X"}, lookup, 0, kMachineHeightMm);
      EXPECT_EQ(text.find(kMissingText), std::string::npos) << code << " " << static_cast<int>(kind);
    }
  }
  const TextLookup none = [](std::string_view, std::string_view) { return std::string(); };
  EXPECT_EQ(TextProblemText({TextProblemKind::kHeightOutOfRange, ""}, none, 1, 2400.0),
            "0.039 in - 94.488 in");
}

TEST(TextDrawing, AProjectIsNamedAfterTheTextsFirstLine) {
  EXPECT_EQ(TextProjectName("\n  OPEN  \nDAILY"), "OPEN");
  EXPECT_EQ(TextProjectName("A/B: C?"), "A_B_ C_");
  EXPECT_EQ(TextProjectName(" \n "), "text");
  EXPECT_EQ(TextProjectName(std::string(60, 'W')), std::string(40, 'W'));
}

}  // namespace
}  // namespace varnholt
