#pragma once
// A drawing made of a text in one of the computer's fonts: each letter's outline and counters as closed
// figures at an exact capital height in millimetres, letters that touch welded into one outline.

#include <optional>
#include <string>

#include "geometry/figure.h"
#include "project/project_document.h"

namespace varnholt {

enum class TextAlignment : int { kLeft = 0, kCentre = 1, kRight = 2 };

// The smallest capital height a text takes, in millimetres; the largest is the machine's Y range.
inline constexpr double kMinLetterHeightMm = 1.0;
// The longest text, in characters: longer lines would leave the font layout's coordinate range.
inline constexpr int kMaxTextLength = 10'000;

struct TextSettings {
  std::string text;                 // UTF-8; lines end at "\n", "\r\n" or "\r"
  std::string family;               // a font family of the system, in any case
  std::string style;                // one of the family's styles; empty for its upright regular one
  double letter_height_mm = 100.0;  // the height of a capital, measured on the outline of "H"
  double letter_spacing_mm = 0.0;   // added after every letter; below 0 brings letters together
  double line_spacing_mm = 0.0;     // from one line's baseline to the next; 0 takes the font's own distance
  TextAlignment alignment = TextAlignment::kLeft;  // of the lines' outlines against each other
  bool weld = true;                                // letters that touch or overlap become one outline
  bool allow_fallback = false;  // a family the system lacks is replaced by the one it offers instead
};

enum class TextProblemKind {
  kNoFontAccess,       // the process cannot read fonts
  kEmptyText,          // nothing in the text draws a line
  kTextTooLong,        // more than kMaxTextLength characters
  kUnknownFont,        // detail: the family the system would use instead
  kUnknownStyle,       // detail: the family's styles, joined by ", "
  kHeightOutOfRange,   // detail: the largest height in millimetres
  kMissingCharacters,  // detail: the characters the font lacks, joined by blanks
  kTooLarge,           // the outlines leave the plotter's coordinate range
};

struct TextProblem {
  TextProblemKind kind = TextProblemKind::kEmptyText;
  std::string detail;
};

struct TextDrawing {
  FigureList figures;  // closed, measured, in plotter units; the box starts at (0, 0)
  std::string family;  // the font the outlines were made from
  std::string style;
  double width_mm = 0.0;  // of the outlines' box
  double height_mm = 0.0;
};

struct TextOutcome {
  std::optional<TextProblem> problem;  // nothing was drawn when set
  TextDrawing drawing;
};

// Draws the text's outlines. Curves are divided by the DXF reader's chord rule for curves and, where that
// leaves them coarser, until no chord leaves its curve by more than half a plotter unit. The letter height
// must lie from kMinLetterHeightMm to max_height_mm.
TextOutcome MakeTextDrawing(const TextSettings& settings, double max_height_mm);

// The decimals a text's lengths are shown with in the display unit: 1 in millimetres, 3 in inches, 4 in feet
// (a tenth of a millimetre; about a plotter unit in the other two).
int TextLengthDecimals(int unit);

// The problem as the operator reads it, from the section "Text_window"; lengths in the display unit.
std::string TextProblemText(const TextProblem& problem, const TextLookup& texts, int unit,
                            double max_height_mm);

// The name a text's project window takes: its first line with text, without blanks at its ends, at most 40
// characters, with the characters a file name cannot hold replaced by "_" ("text" when nothing is left).
std::string TextProjectName(const std::string& text);

}  // namespace varnholt
