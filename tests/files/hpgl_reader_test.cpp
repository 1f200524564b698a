#include "files/hpgl_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "files/hpgl_test_support.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

using Points = std::vector<TPlotPoint>;
using testing::ReadAll;
using testing::ReadPlot;

TEST(HpglReader, ClosedSquareWithPen) {
  const auto figures = ReadPlot("IN;SP1;PU100,100;PD200,100,200,200,100,200,100,100;PU;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].pen, 1);
  EXPECT_EQ(figures[0].points, (Points{{100, 100}, {200, 100}, {200, 200}, {100, 200}, {100, 100}}));
  EXPECT_EQ(figures[0].open, 0);
  EXPECT_EQ(figures[0].has_points, 1);
  EXPECT_EQ(figures[0].min_x, 100);
  EXPECT_EQ(figures[0].max_y, 200);
  EXPECT_EQ(figures[0].width, 100);
}

TEST(HpglReader, RepeatedStartPointIsNotAppendedTwice) {
  const auto figures = ReadPlot("PU0,0;PD0,0,10,0;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 0}}));
  EXPECT_EQ(figures[0].open, 1);
}

TEST(HpglReader, PenChangeSplitsAStrokeWhereItEnded) {
  const auto figures = ReadPlot("SP2;PD5,5;SP3;PD6,6;");
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {5, 5}}));
  EXPECT_EQ(figures[0].pen, 2);
  EXPECT_EQ(figures[1].points, (Points{{5, 5}, {6, 6}}));
  EXPECT_EQ(figures[1].pen, 3);
}

TEST(HpglReader, FiguresKeepNoRoomBeyondTheirPointsAndAFilledFigureIsAddedTo) {
  // A long stroke, then a short one: the short one gets no share of the room the long one needed.
  std::string text = "PU0,0;PD";
  for (int i = 1; i <= 1000; ++i) text += std::to_string(i) + "," + std::to_string(i % 7) + ",";
  text += "1001,0;PU;PA5,5;PD6,6,7,5;PU;";
  std::istringstream stream(text);
  HpglReader reader(stream);
  const auto figures = ReadAll(reader);
  ASSERT_EQ(figures.size(), 2u);
  ASSERT_EQ(figures[0].points.size(), 1002u);
  EXPECT_EQ(figures[1].points, (Points{{5, 5}, {6, 6}, {7, 5}}));
  for (const tfigura& figure : figures) EXPECT_EQ(figure.points.capacity(), figure.points.size());
  // A figure handed in with points already keeps them; the stroke's points follow.
  std::istringstream more("PA9,9;PD9,10;");
  HpglReader again(more);
  tfigura filled;
  filled.points = {{-1, -1}};
  again.ReadNextFigure(filled);
  EXPECT_EQ(filled.points, (Points{{-1, -1}, {9, 9}, {9, 10}}));
}

TEST(HpglReader, LowerCaseReadsLikeUpperCase) {
  EXPECT_EQ(ReadPlot("pu100,100;pd200,100;")[0].points, ReadPlot("PU100,100;PD200,100;")[0].points);
  EXPECT_EQ(ReadPlot("pu100,100;pd200,100;")[0].points, (Points{{100, 100}, {200, 100}}));
}

TEST(HpglReader, LoneNumberSetsOnlyTheFirstParameter) {
  const auto figures = ReadPlot("PU0,0;PD10,0,20,0,30;PU;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 0}, {20, 0}}));
}

TEST(HpglReader, MoveAndCutCommandsMakeOneFigurePerRun) {
  const auto figures = ReadPlot("M0,0 C100,0 C100,100 M500,500 C600,500 C600,500");
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {100, 0}, {100, 100}}));
  EXPECT_EQ(figures[1].points, (Points{{500, 500}, {600, 500}, {600, 500}})) << "C appends repeated points";
}

TEST(HpglReader, EveryFigureStartsWithThePenUp) {
  // The stroke ended by SP is not resumed: the next figure needs its own PD.
  const auto figures = ReadPlot("PD10,10;SP1;PA20,20;PD30,30;");
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 10}}));
  EXPECT_EQ(figures[1].points, (Points{{20, 20}, {30, 30}}));
}

TEST(HpglReader, PenAbsoluteWhilePenDownDraws) {
  const auto figures = ReadPlot("PU0,0;PD;PA10,0,10,10;PU;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 0}, {10, 10}}));
}

TEST(HpglReader, RelativeMovesAccumulate) {
  const auto figures = ReadPlot("PA100,100;PR;PD10,0,0,10;PU;");
  ASSERT_EQ(figures.size(), 1u);
  // PR without numbers takes the last position (100,100) as its pair and starts the accumulator there.
  // (A PU with the pen up would not have moved the last position.)
  EXPECT_EQ(figures[0].points, (Points{{100, 100}, {110, 100}, {110, 110}}));
}

TEST(HpglReader, PenTableValueTravelsWithTheFigure) {
  const auto figures = ReadPlot("PW0.35,2;SP2;PU0,0;PD10,10;PU;SP1;PD20,20;");
  ASSERT_EQ(figures.size(), 2u);
  EXPECT_EQ(figures[0].pen, 2);
  EXPECT_EQ(figures[0].pen_value, 0.35);
  EXPECT_EQ(figures[1].pen, 1);
  EXPECT_EQ(figures[1].pen_value, 0.0);
}

TEST(HpglReader, OtherMnemonicsStillSetTheStartPoint) {
  const auto figures = ReadPlot("IN;SC0,100;IP;PD5,5;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 100}, {5, 5}}));
}

TEST(HpglReader, CommandsThatMayDrawAreNotedWithTheirOffset) {
  // The exponent's "e" begins a command of its own, which takes the rest of the point list with it.
  std::istringstream stream("IN;SP1;PU0,0;PD4000,0,3e9,0,4000,4000,0,4000,0,0;");
  HpglReader reader(stream);
  const auto figures = ReadAll(reader);
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {4000, 0}}));
  ASSERT_EQ(reader.Notes().size(), 1u);
  EXPECT_EQ(reader.Notes()[0].text(),
            "E at offset 23 is not drawn: the command and the numbers after it are passed over");

  // Settings that draw nothing pass quietly; a circle, a label and an unknown mnemonic are noted, and
  // offsets count on past the first block of input.
  std::istringstream more("IN;DF;VS10;LT;PT1;SC0,1,0,1;PS10,10;IP;PW0.3,1;" + std::string(70000, ' ') +
                          "PA0,0;PD10,0;CI50;lb!;ZZ;PB;SA;IW;DT;VA;LO;MA;C;M;");
  HpglReader second(more);
  ReadAll(second);
  std::vector<std::string> words;
  for (const ReaderNote& note : second.Notes()) words.push_back(note.text().substr(0, note.text().find(" is not")));
  // Words one letter away from a quiet one are noted all the same.
  EXPECT_EQ(words, (std::vector<std::string>{"CI at offset 70060", "LB at offset 70065", "ZZ at offset 70069",
                                             "PB at offset 70072", "SA at offset 70075", "IW at offset 70078",
                                             "DT at offset 70081", "VA at offset 70084", "LO at offset 70087",
                                             "MA at offset 70090"}));
}

TEST(HpglReader, ThreeLetterWordsSplit) {
  // "PDC" reads as PD followed by a one-letter C command.
  const auto figures = ReadPlot("PU0,0;PDC10,10;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 10}}));
}

TEST(HpglReader, EmptyAndCommandOnlyFilesGiveNoFigures) {
  EXPECT_TRUE(ReadPlot("").empty());
  EXPECT_TRUE(ReadPlot("IN;SP1;PU100,100;PU;").empty());
  std::istringstream empty("");
  HpglReader reader(empty);
  EXPECT_TRUE(reader.AtEnd());
}

TEST(HpglReader, EndOfFileInsideAStrokeKeepsThePoints) {
  const auto figures = ReadPlot("PU1,1;PD2,2,3,3");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{1, 1}, {2, 2}, {3, 3}}));
}

TEST(HpglReader, ClosedOnlyWhenTheLastPointRepeatsTheFirstExactly) {
  EXPECT_EQ(ReadPlot("PU0,0;PD100,0,100,100,0,0;")[0].open, 0);
  EXPECT_EQ(ReadPlot("PU0,0;PD100,0,100,100,1,0;")[0].open, 1) << "near is not enough for the reader";
}

TEST(HpglReader, DecimalFirstParameterRoundsHalfToEven) {
  const auto figures = ReadPlot("PU0.5,0;PD2.5,0;PD3.5,7");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {2, 0}, {4, 7}}));
}

TEST(HpglReader, DotCountsAsZeroInPairs) {
  const auto figures = ReadPlot("PU0,0;PD10,.;PD5,.,.,.;");
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 0}, {5, 0}, {0, 0}}));
  // Right after the mnemonic the first number is a real, and a lone point is not one.
  EXPECT_THROW(ReadPlot("PD.,5;"), RunTimeError);
}

// Reads until the reader fails, returning the message (empty when it did not fail) and the figures before it.
std::string ErrorOf(const std::string& text, size_t* figures_before = nullptr) {
  std::istringstream stream(text);
  HpglReader reader(stream);
  size_t count = 0;
  try {
    while (!reader.AtEnd()) {
      tfigura figure;
      reader.ReadNextFigure(figure);
      if (figure.has_points) ++count;
    }
  } catch (const RunTimeError& error) {
    if (figures_before) *figures_before = count;
    EXPECT_TRUE(reader.AtEnd()) << "a failed reader reads nothing more";
    return error.what();
  }
  return "";
}

TEST(HpglReaderErrors, ConversionErrorsCarryTheToken) {
  EXPECT_EQ(ErrorOf("PD10,20.5;"), "'20.5' is not a valid integer value");
  EXPECT_EQ(ErrorOf("PD+-,5;"), "'+-' is not a valid floating point value");
  EXPECT_EQ(ErrorOf("PD1,2,3.5,4;"), "'3.5' is not a valid integer value") << "pair continuations are whole";
  EXPECT_EQ(ErrorOf("PD1,2-3;"), "'2-3' is not a valid integer value");
}

TEST(HpglReaderErrors, NumbersBeyondThirtyTwoBits) {
  EXPECT_EQ(ErrorOf("PD1,2147483648;"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(ErrorOf("PD1,-2147483648;"), "");
  EXPECT_EQ(ErrorOf("PD3000000000,1;"), "'3000000000.000000' is not a valid integer value");
  EXPECT_EQ(ErrorOf("PR2000000000,0;PD;PR2000000000,0;"), "'4000000000' is not a valid integer value")
      << "relative accumulation stays inside int32";
}

TEST(HpglReaderErrors, FiguresBeforeTheErrorWereDelivered) {
  size_t before = 0;
  EXPECT_NE(ErrorOf("PU0,0;PD5,5;PU;PU1,1;PD2,2x;PD3,3.5;", &before), "");
  EXPECT_EQ(before, 1u);
}

TEST(HpglReaderBadInput, OutOfRangePensAreIgnored) {
  const auto figures = ReadPlot("PW1.5,300;PW2.5,-1;PW7;SP5;PD1,1;SP999;PD2,2;SP-4;PD3,3;SP256;PD4,4;");
  ASSERT_EQ(figures.size(), 4u);
  EXPECT_EQ(figures[0].pen, 5);
  EXPECT_EQ(figures[1].pen, 5) << "SP999 keeps pen 5 but still ends the stroke";
  EXPECT_EQ(figures[2].pen, 5);
  EXPECT_EQ(figures[3].pen, 0) << "pen 256 is in the table; the figure keeps its low byte";
  for (const auto& figure : figures) EXPECT_EQ(figure.pen_value, 0.0);
  std::istringstream stream("PW1.5,256;SP256;SP1e99;");
  HpglReader reader(stream);
  testing::ReadAll(reader);
  EXPECT_EQ(reader.PenValue(256), 1.5);
  EXPECT_EQ(reader.PenValue(257), 0.0);
}

TEST(HpglReaderBadInput, GarbageAndNulBytesAreSkipped) {
  std::string text = "PU0,0;";
  text += std::string("\0\x01\xff\xfe\x80", 5);
  text += "PD10,0;\r\n\t PD10,10";
  const auto figures = ReadPlot(text);
  ASSERT_EQ(figures.size(), 1u);
  EXPECT_EQ(figures[0].points, (Points{{0, 0}, {10, 0}, {10, 10}}));
}

TEST(HpglReaderBadInput, EndlessDigitsEndInAnErrorWithBoundedToken) {
  const std::string digits(1 << 20, '7');
  const std::string message = ErrorOf("PD1," + digits + ";");
  EXPECT_NE(message.find("is not a valid integer value"), std::string::npos);
  EXPECT_LT(message.size(), 200u);
  EXPECT_NE(ErrorOf("PD" + std::string(1000, '0') + "1,1;"), "") << "a long first parameter fails too";
}

}  // namespace
}  // namespace varnholt

namespace varnholt {
namespace {

// Random plot texts over the reader's alphabet, weighted towards long runs of pairs.
std::string RandomPlot(std::mt19937& random, size_t length) {
  static const std::vector<std::string> pieces = {
      "PD", "PU", "PA", "PR", "SP", "PW", "C", "M", "IN", "pd", "pu ", "pr;", "pa", "PD ", ",", ";", " ", ", ",
      "CI", "lb", "Zq", "e",
      // whole commands as drivers write them, one point each, repeated points included
      "pd 17, -14;\n", "PD10,-27;", "pd 1, 1;", "PA 5,5;", "pa 2147483647,-2147483648;",
      "\n", "\r\n", "-", "+", ".",
      "0", "7", "12", "345", "9999", "123456", "2147483647", "2147483648", "99999999999", "-5", "1.5", "+-", "x",
      // runs of pen-down commands, absolute and relative, and pairs with one blank or a byte above 127 between
      "PR;PD10,-27;PD13,-30;PD35,-16;", "pa 1,2;pa 3,4;pd 5,6;", "PD 1014 -32 1040 -36 ", "\xBA", "\xBA" "9", "9\xBA",
      "1234567,", "12345678,", "PDA", "pd;"};
  std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
  std::uniform_int_distribution<int> coin(0, 3);
  std::string text;
  while (text.size() < length) {
    if (coin(random) == 0) {
      text += pieces[pick(random)];
    } else {
      // Small ranges repeat points, which the pen-down rule must not append twice.
      static const uint32_t kRanges[] = {2, 20000, 100000000, 10000000};
      const uint32_t range = kRanges[coin(random)];
      const char* separator = coin(random) == 0 ? " " : ",";
      text += std::to_string(random() % range) + separator + std::to_string(random() % range) + separator;
    }
  }
  return text;
}

struct Outcome {
  std::vector<std::pair<uint8_t, std::vector<TPlotPoint>>> figures;
  std::string error;
  std::vector<std::string> notes;  // with the offsets of the commands passed over
};

Outcome ReadOutcome(const std::string& text, bool fast_pairs) {
  std::istringstream stream(text);
  HpglReader reader(stream, fast_pairs);
  Outcome outcome;
  try {
    while (!reader.AtEnd()) {
      tfigura figure;
      reader.ReadNextFigure(figure);
      if (figure.has_points) outcome.figures.emplace_back(figure.pen, figure.points);
    }
  } catch (const RunTimeError& error) {
    outcome.error = error.what();
  }
  for (const ReaderNote& note : reader.Notes()) outcome.notes.push_back(note.text());
  return outcome;
}

TEST(HpglReaderBulkPath, ANumberEndedByALetterIsALoneParameter) {
  // "50M" leaves 50 alone: the one-letter move begins right after it and takes the next pair.
  const Outcome read = ReadOutcome("PU0,0;PD10,20,30,40,50M60,70;", true);
  ASSERT_EQ(read.figures.size(), 1u);
  EXPECT_EQ(read.figures[0].second, (std::vector<TPlotPoint>{{0, 0}, {10, 20}, {30, 40}}));
}

TEST(HpglReaderBulkPath, PairsAtTheLimitsOfTheTwoNumberWindow) {
  // Numbers of seven and eight digits, one blank or a byte above 127 between them, a 9 right after that byte,
  // and a decimal first parameter: each read as the general path reads it.
  const std::string text =
      "PU0,0;PD1,2,3\xBA" "95,40,50,60,1234567,7654321,12345678,2,3 4 5 6 7,8,9;PD2.5,6;PU;"
      "PR;PD10,-27;PD13,-30;pd 1, 1;PA 5,5;PU;PA;PU0,0;PD0,0 pd 7,7;pd 7,7 PD;";
  const Outcome read = ReadOutcome(text, true);
  EXPECT_EQ(read.error, "");
  ASSERT_EQ(read.figures.size(), 3u);
  EXPECT_EQ(read.figures[0].second,
            (std::vector<TPlotPoint>{{0, 0}, {1, 2}, {3, 95}, {40, 50}, {60, 1234567}, {7654321, 12345678},
                                     {2, 3}, {4, 5}, {6, 7}, {8, 9}, {2, 6}}));
  // The relative run starts where the pen-up left it.
  EXPECT_EQ(read.figures[1].second, (std::vector<TPlotPoint>{{2, 6}, {12, -21}, {25, -51}, {26, -50}, {31, -45}}));
  EXPECT_EQ(read.figures[2].second, (std::vector<TPlotPoint>{{0, 0}, {7, 7}}));
  const Outcome general = ReadOutcome(text, false);
  EXPECT_EQ(read.figures, general.figures);
  // A sign or point ending a number inside a run makes it no plain number: the error names the whole token.
  for (const char* bad : {"PU0,0;PD1,2,3,4.5,6,7,8,9,10,11,12;", "PU0,0;PD1,2,3,4,5-5,6,7,8,9,10,11,12;",
                          "PU0,0;PD1,2,3,4,5.5,6,7,8,9,10,11,12;"}) {
    const Outcome fast = ReadOutcome(bad, true);
    EXPECT_NE(fast.error, "") << bad;
    EXPECT_EQ(fast.error, ReadOutcome(bad, false).error) << bad;
  }
}

TEST(HpglReaderBulkPath, ReadsExactlyLikeTheGeneralPath) {
  // The quick paths: pairs after a pen-down command, and a plain pair after any command or number.
  std::mt19937 random(20261208);
  for (int round = 0; round < 400; ++round) {
    // Long texts cross the 64 KiB buffer boundary inside numbers and separators.
    const std::string text = RandomPlot(random, round % 20 == 0 ? 200000 : 300);
    const Outcome fast = ReadOutcome(text, true);
    const Outcome general = ReadOutcome(text, false);
    ASSERT_EQ(fast.error, general.error) << text.substr(0, 200);
    ASSERT_EQ(fast.figures, general.figures) << text.substr(0, 200);
    ASSERT_EQ(fast.notes, general.notes) << text.substr(0, 200);
  }
}

// Every kind of number token the reader meets: plain ones of each length the quick scans treat apart, signs, zeros,
// decimals, exponents (no number here), lone signs and points, and numbers running into a sign or point.
const std::vector<std::string> kNumberKinds = {
    "0",          "7",          "-7",         "+7",          "-0",          "+0",         "007",
    "1234567",    "-1234567",   "12345678",   "-12345678",   "123456789",   "-999999999", "1234567890",
    "2147483647", "-2147483648", "2147483648", "-2147483649", "2.5",         "-2.5",       "3.",
    ".5",         "-.5",        ".",          "-",           "+",           "+-3",        "1e3",
    "1E3",        "1-2",        "7.5.5",      "99999999999"};

// Reads text with and without the quick paths and expects the same figures, error and notes.
void ExpectQuickPathsReadAsTheGeneralPath(const std::string& text) {
  const Outcome fast = ReadOutcome(text, true);
  const Outcome general = ReadOutcome(text, false);
  ASSERT_EQ(fast.error, general.error) << text.substr(0, 120);
  ASSERT_EQ(fast.figures, general.figures) << text.substr(0, 120);
  ASSERT_EQ(fast.notes, general.notes) << text.substr(0, 120);
}

TEST(HpglReaderQuickPaths, EveryKindOfNumberRightAfterEveryCommandWord) {
  // The quick paths begin right after a command word: the pair after it, a pen-down command of a run, a number
  // continuing a command. Each kind of number stands first and second after each word that takes numbers, with
  // every kind of lead and separator, the pen up and down, before the file ends or another command follows.
  const std::vector<std::string> words = {"PD", "pd", "PA", "pa", "PU", "PR", "SP", "PW", "IP", "C", "M", "CI"};
  const std::vector<std::string> leads = {"", " ", ",", " ,\t", "\xBA"};
  const std::vector<std::string> separators = {",", " ", ", ", "\r\n", "\xBA"};
  const std::vector<std::string> tails = {";PD9,9;", "", "pd", "M1,1;", ",5,6;PA7,8;", "PU;"};
  const std::vector<std::string> prefixes = {"", "PU1,1;PD2,2;", "PR;PD3,3;"};
  size_t turn = 0;
  const auto next = [&turn](const std::vector<std::string>& list) -> const std::string& {
    return list[turn++ % list.size()];
  };
  for (const std::string& word : words) {
    for (const std::string& lead : leads) {
      for (const std::string& first : kNumberKinds) {
        for (const std::string& separator : separators) {
          for (const std::string& prefix : prefixes) {
            ExpectQuickPathsReadAsTheGeneralPath(prefix + word + lead + first + separator + next(kNumberKinds) +
                                                 next(tails));
          }
        }
      }
    }
  }
  // A number in hand continuing a command: the pair after the first one, pen up, down and relative.
  for (const std::string word : {"PU", "PD", "PA", "PR", "pd"}) {
    for (const std::string& third : kNumberKinds) {
      for (const std::string& separator : separators) {
        for (const std::string& fourth : kNumberKinds) {
          ExpectQuickPathsReadAsTheGeneralPath("PU0,0;" + word + "1,2," + third + separator + fourth + next(tails));
        }
      }
    }
  }
}

TEST(HpglReaderQuickPaths, NumbersAfterACommandWordAcrossTheEndOfABlock) {
  // The reader takes the file in blocks of 64 KiB: every byte of a command and its pair in turn falls at the end
  // of a block, where the quick scans must stop and leave the rest to the general path. The file ends in a word
  // inside the short second block, after which the buffer still holds letters of the first: a scan past the end
  // of the block finds a word there.
  constexpr size_t kBlock = size_t{1} << 16;
  const std::string start = std::string(64, 'I') + ";PU1,1;PD2,2;";
  for (const std::string word : {"PD", "pa", "PU", "SP"}) {
    for (size_t kind = 0; kind < kNumberKinds.size(); ++kind) {
      const std::string command = word + " " + kNumberKinds[kind] + "," +
                                  kNumberKinds[(kind * 7 + 3) % kNumberKinds.size()] + ";PD1,1;P";
      for (size_t shift = 0; shift <= command.size() + 1; ++shift) {
        std::string text = start;
        text.append(kBlock - text.size() - shift, ';');
        ExpectQuickPathsReadAsTheGeneralPath(text + command);
      }
    }
  }
}

TEST(HpglReaderQuickPaths, ValuesRightAfterACommandWordWorkedByHand) {
  // The general path is compared above; here both are held to values worked out by hand.
  const auto points = [](const std::string& text, bool fast) {
    const Outcome read = ReadOutcome(text, fast);
    EXPECT_EQ(read.error, "") << text;
    return read.figures.empty() ? std::vector<TPlotPoint>{} : read.figures.back().second;
  };
  const std::pair<std::string, std::vector<TPlotPoint>> cases[] = {
      {"PU0,0;PD-7,+7;", {{0, 0}, {-7, 7}}},
      {"pu;pd+0,-0 pd 007,-1234567;", {{0, 0}, {7, -1234567}}},
      {"PU;PD12345678,-12345678;", {{0, 0}, {12345678, -12345678}}},
      {"PU;PD\xBA" "999999999,-999999999;", {{0, 0}, {999999999, -999999999}}},
      {"PU;PD2147483647,-2147483648;", {{0, 0}, {INT32_MAX, INT32_MIN}}},
      {"PU;PD 2.5, 3;PD-3.5\r\n4;PD.5,1;", {{0, 0}, {2, 3}, {-4, 4}, {0, 1}}},
      {"PU;PD3.,2", {{0, 0}, {3, 2}}},
      {"PU1,2,-3,+4;PD5,6", {{-3, 4}, {5, 6}}},
      {"PA5,5;PR;PD-1,-2,+3,4;", {{5, 5}, {4, 3}, {7, 7}}},
      {"PU;PD1,1;PA-20 30PA+40,-50", {{0, 0}, {1, 1}, {-20, 30}, {40, -50}}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(points(text, true), expected) << text;
    EXPECT_EQ(points(text, false), expected) << text;
  }
}

}  // namespace
}  // namespace varnholt
