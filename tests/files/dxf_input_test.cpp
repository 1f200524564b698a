#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "files/dxf_groups.h"
#include "files/dxf_lines.h"
#include "files/dxf_test_support.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

using testing::Drawing;
using testing::ReadDxf;

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunTimeError& error) {
    return error.what();
  }
  return "";
}

TEST(DxfLines, AllLineEndsReadAlikeAndEmptyLinesCount) {
  std::istringstream mixed("a\r\nb\n\nc\r\rd\re\n");
  DxfLineReader lines(mixed);
  std::vector<std::string> read;
  std::vector<bool> codes;
  while (!lines.AtEof()) {
    read.emplace_back(lines.ReadLine());
    codes.push_back(lines.LineWasCode());
  }
  EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "", "c", "", "d", "e"}));
  EXPECT_EQ(codes, (std::vector<bool>{true, false, true, false, true, false, true}));
  EXPECT_EQ(lines.line_count(), 7);

  std::istringstream no_end("x\ny");
  DxfLineReader last(no_end);
  last.ReadLine();
  EXPECT_FALSE(last.AtEof());
  EXPECT_EQ(last.ReadLine(), "y");
  EXPECT_TRUE(last.AtEof());
}

TEST(DxfLines, LinesAcrossInputBlocksAreCutAtTheLimitAndEndsPairUp) {
  // Lines of every length up to well past the limit, with all three line ends, over several input blocks of
  // 64 KiB; one CR LF pair straddles the first block's end. Expected: each line cut at the limit, flagged when cut.
  std::mt19937 random(512);
  std::string text;
  std::vector<std::string> expected;
  std::vector<bool> expected_cut;
  const char* const ends[] = {"\n", "\r\n", "\r"};
  constexpr size_t kBlockEnd = 65535;
  bool straddled = false;
  while (text.size() < 300000) {
    size_t length = random() % 40;
    if (random() % 50 == 0) length = DxfLineReader::kMaxLineLength - 2 + random() % 5;
    if (random() % 200 == 0) length = 3000 + random() % 70000;
    // An empty line after a lone CR would make that CR and its LF one line end.
    if (length == 0 && !text.empty() && text.back() == '\r') length = 1;
    // The line that would pass the block's last byte ends there instead, its CR on that byte and its LF after.
    const bool straddle = !straddled && text.size() + length + 2 > kBlockEnd;
    if (straddle) length = kBlockEnd - text.size();
    straddled = straddled || straddle;
    std::string line(length, static_cast<char>('A' + expected.size() % 26));
    expected.push_back(line.substr(0, DxfLineReader::kMaxLineLength));
    expected_cut.push_back(length > DxfLineReader::kMaxLineLength);
    text += line;
    text += straddle ? "\r\n" : ends[random() % 3];
  }
  ASSERT_EQ(text.substr(kBlockEnd, 2), "\r\n");
  std::istringstream stream(text);
  DxfLineReader lines(stream);
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_FALSE(lines.AtEof()) << "line " << i;
    ASSERT_EQ(lines.ReadLine(), expected[i]) << "line " << i;
    ASSERT_EQ(lines.LineWasCut(), expected_cut[i]) << "line " << i;
  }
  EXPECT_TRUE(lines.AtEof());
  EXPECT_EQ(lines.line_count(), static_cast<int64_t>(expected.size()));
}

TEST(DxfLines, ValueConversions) {
  EXPECT_EQ(DxfReal("  2,5 "), 2.5);
  EXPECT_EQ(DxfReal("-1.5E-03"), -0.0015);
  EXPECT_EQ(DxfReal("1e-400"), 0.0);
  EXPECT_EQ(DxfReal(""), 0.0);
  EXPECT_EQ(DxfInteger("    70"), 70);
  EXPECT_EQ(DxfInteger(" "), 0);
  EXPECT_EQ(MessageOf([] { DxfReal("abc"); }), "'abc' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { DxfReal("1e400"); }), "'1e400' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { DxfReal("1,234.5"); }), "'1.234.5' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { DxfReal("nan"); }), "'nan' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { DxfReal("1e"); }), "'1e' is not a valid floating point value");
  EXPECT_EQ(MessageOf([] { DxfInteger("1.5"); }), "'1.5' is not a valid integer value");
  EXPECT_EQ(MessageOf([] { DxfInteger("7", true); }), "'7...' is not a valid integer value");
}

TEST(DxfGroups, CodesWithBlanksAndOneGroupPutBack) {
  std::istringstream text("  10\n1.5\nxx\n7\n  0\nLINE\n");
  DxfLineReader lines(text);
  DxfGroupReader groups(lines);
  ASSERT_TRUE(groups.Next());
  EXPECT_EQ(groups.code(), 10);
  EXPECT_EQ(groups.Real(), 1.5);
  ASSERT_TRUE(groups.Next());
  EXPECT_EQ(groups.code(), DxfGroupReader::kNoCode);
  ASSERT_TRUE(groups.Next());
  EXPECT_TRUE(groups.Is(0, "LINE"));
  EXPECT_EQ(groups.line(), 5);
  EXPECT_TRUE(groups.AtEof());
  groups.PutBack();
  EXPECT_FALSE(groups.AtEof());
  ASSERT_TRUE(groups.Next());
  EXPECT_TRUE(groups.Is(0, "LINE"));
  EXPECT_FALSE(groups.Next());
}

TEST(DxfLineEnds, LfCrLfAndCrOnlyFilesGiveTheSameFigures) {
  const testing::Groups entities = {{0, "TEXT"}, {1, ""}, {7, ""},  // empty values keep their lines
                                    {0, "LINE"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "5"},
                                    {0, "CIRCLE"}, {10, "0"}, {20, "0"}, {40, "2"}};
  const auto lf = ReadDxf(Drawing(entities, "\n"));
  ASSERT_EQ(lf.figures.size(), 2u);
  EXPECT_EQ(lf.figures[0].points, (std::vector<TPlotPoint>{{0, 0}, {400, 200}}));
  for (const char* end : {"\r\n", "\r"}) {
    const auto other = ReadDxf(Drawing(entities, end));
    ASSERT_EQ(other.figures.size(), 2u) << end;
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(other.figures[i].points, lf.figures[i].points);
  }
}

TEST(DxfLineEnds, DrawingWithoutEntitiesHasNoFigures) {
  EXPECT_TRUE(ReadDxf(testing::GroupText({{0, "SECTION"}, {2, "HEADER"}, {0, "ENDSEC"}, {0, "EOF"}})).figures.empty());
  EXPECT_TRUE(ReadDxf("").figures.empty());
}

}  // namespace
}  // namespace varnholt
