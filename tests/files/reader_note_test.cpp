#include "files/reader_note.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "services/placeholder_text.h"

namespace varnholt {
namespace {

TEST(FillPlaceholders, FillsEachNumberWithItsValueOnce) {
  EXPECT_EQ(FillPlaceholders("%2 before %1, %2 again", {"a", "b"}), "b before a, b again");
  // A value is copied as it stands: its own placeholders are not filled again.
  EXPECT_EQ(FillPlaceholders("%1 and %2", {"%2", "%1"}), "%2 and %1");
  EXPECT_EQ(FillPlaceholders("%1%2", {"%", "1"}), "%1") << "a % from one value and a digit from the next";
  // Placeholders without a value, and a % without a digit 1 .. 9, are kept.
  EXPECT_EQ(FillPlaceholders("%3 of %1: 100% %0 %", {"x"}), "%3 of x: 100% %0 %");
  EXPECT_EQ(FillPlaceholders("", {"x"}), "");
}

// The English text of every kind, with values that show where each one lands.
TEST(ReaderNoteEnglish, EveryKindHasItsOwnSentenceNamingItsValues) {
  const std::vector<std::string> values{"<v1>", "<v2>", "<v3>", "<v4>"};
  std::vector<std::string> seen;
  for (int i = 0; i < kReaderNoteKindCount; ++i) {
    const auto kind = static_cast<ReaderNoteKind>(i);
    const std::string text = ReaderNoteEnglish(kind, values);
    EXPECT_EQ(text.find('%'), std::string::npos) << i << ": " << text;
    EXPECT_NE(text.back(), ' ') << i << ": a sentence without its reason";
    EXPECT_EQ(std::count(seen.begin(), seen.end(), text), 0) << i << ": " << text;
    seen.push_back(text);
  }
}

TEST(ReaderNoteEnglish, KeepsTheSentencesTheCommandLineReports) {
  EXPECT_EQ(MakeReaderNote(0, ReaderNoteKind::kEntitiesNotRead, {"TEXT", "1"}).text(), "1 TEXT entity is not read");
  EXPECT_EQ(MakeReaderNote(0, ReaderNoteKind::kEntitiesNotRead, {"TEXT", "12"}).text(),
            "12 TEXT entities are not read");
  const ReaderNote knots = MakeReaderNote(7, ReaderNoteKind::kEntityKnotsDoNotFit, {"SPLINE", "5", "4", "3"});
  EXPECT_EQ(knots.text(), "SPLINE skipped: 5 knots do not fit 4 control points of degree 3");
  EXPECT_EQ(knots.line, 7);
  EXPECT_EQ(knots.values, (std::vector<std::string>{"SPLINE", "5", "4", "3"}));
  EXPECT_EQ(MakeReaderNote(0, ReaderNoteKind::kCommandNotDrawn, {"%1", "3"}).text(),
            "%1 at offset 3 is not drawn: the command and the numbers after it are passed over");
}

TEST(AddReaderNote, AFullListEndsWithOneNoteSayingFurtherOnesAreLeftOut) {
  std::vector<ReaderNote> notes;
  for (size_t i = 0; i < kMaxReaderNotes + 5; ++i) {
    AddReaderNote(notes, static_cast<int64_t>(i) + 1, ReaderNoteKind::kEntityRadiusNotAbove0, {"CIRCLE"});
  }
  ASSERT_EQ(notes.size(), kMaxReaderNotes + 1);
  EXPECT_EQ(notes[kMaxReaderNotes - 1].kind, ReaderNoteKind::kEntityRadiusNotAbove0);
  EXPECT_EQ(notes.back().kind, ReaderNoteKind::kFurtherNotesLeftOut);
  EXPECT_TRUE(notes.back().values.empty());
  EXPECT_EQ(notes.back().text(), "further notes are left out");
}

}  // namespace
}  // namespace varnholt
