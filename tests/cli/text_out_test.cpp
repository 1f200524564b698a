#include "cli/text_out.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace varnholt::cli {
namespace {

TEST(TextOut, WritesWhatAStreamWouldAcrossManyPieces) {
  std::mt19937 random(1208);
  std::ostringstream gathered, plain;
  {
    TextOut out(gathered);
    // Enough text for several pieces, so numbers, pairs and long texts land on every boundary.
    for (int i = 0; i < 60000; ++i) {
      const auto x = static_cast<int32_t>(random());
      const auto y = i % 7 == 0 ? std::numeric_limits<int32_t>::min() : -static_cast<int32_t>(random() % 1000);
      switch (i % 5) {
        case 0:
          out.Pair(x, y);
          plain << '[' << x << ',' << y << ']';
          break;
        case 1:
          out << x << ',' << int64_t{y} * 1000000;
          plain << x << ',' << int64_t{y} * 1000000;
          break;
        case 2: {
          const std::string text(random() % 300, static_cast<char>('a' + i % 26));
          out << text;
          plain << text;
          break;
        }
        case 3:
          out << "\"key\":" << size_t{std::numeric_limits<size_t>::max()};
          plain << "\"key\":" << size_t{std::numeric_limits<size_t>::max()};
          break;
        default:
          out << ';';
          plain << ';';
      }
    }
    // A text longer than a whole piece goes straight through, after what was gathered before it.
    const std::string long_text(200000, 'z');
    out << long_text << 'e';
    plain << long_text << 'e';
  }
  EXPECT_EQ(gathered.str(), plain.str());
}

// A stream that keeps each write apart.
class WriteLog : public std::streambuf {
 public:
  std::vector<std::string> writes;

 protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    writes.emplace_back(text, static_cast<size_t>(count));
    return count;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) writes.emplace_back(1, traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
};

TEST(TextOut, ATextCrossingThePiecesEndStartsTheNextPieceAndOnlyALongerOneGoesStraight) {
  WriteLog log;
  std::ostream stream(&log);
  const std::string gathered(TextOut::kPiece - 10, 'a'), crossing(100, 'b'), longer(TextOut::kPiece + 1, 'z');
  {
    TextOut out(stream);
    out << gathered << crossing << 'c';
    out.Flush();
    EXPECT_EQ(log.writes, (std::vector<std::string>{gathered, crossing + "c"}))
        << "the crossing text waits in the emptied piece for what follows it";

    log.writes.clear();
    out << 'x' << longer << 'y';
  }
  EXPECT_EQ(log.writes, (std::vector<std::string>{"x", longer, "y"}));
}

// What the standard formatting writes for one number.
template <typename Number>
std::string Standard(Number value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Every number of one type at each change of its digit count and at its ends, written one after another.
template <typename Number>
void ExpectStandardDigitsAtEveryLength() {
  std::vector<Number> values = {std::numeric_limits<Number>::min(), std::numeric_limits<Number>::max(), Number{0}};
  for (int64_t power = 1; power <= int64_t{1'000'000'000}; power *= 10) {
    for (const int64_t near : {power - 1, power, power + 1, -power - 1, -power, -power + 1}) {
      if (near >= int64_t{std::numeric_limits<Number>::min()} && near <= int64_t{std::numeric_limits<Number>::max()}) {
        values.push_back(static_cast<Number>(near));
      }
    }
  }
  std::ostringstream gathered;
  std::string expected;
  {
    TextOut out(gathered);
    for (const Number value : values) {
      out << value << ' ';
      expected += Standard(value) + ' ';
    }
  }
  EXPECT_EQ(gathered.str(), expected);
}

TEST(TextOut, SmallNumbersOfEveryTypeAndLengthAsTheStandardWritesThem) {
  ExpectStandardDigitsAtEveryLength<int32_t>();
  ExpectStandardDigitsAtEveryLength<uint32_t>();
  ExpectStandardDigitsAtEveryLength<int16_t>();
  ExpectStandardDigitsAtEveryLength<uint16_t>();
  ExpectStandardDigitsAtEveryLength<int8_t>();
  ExpectStandardDigitsAtEveryLength<uint8_t>();
  // A list of pairs across many pieces: the block copy of a number reaches past its digits, never past the room.
  std::ostringstream gathered;
  std::string expected;
  {
    TextOut out(gathered);
    for (int i = 0; i < 20000; ++i) {
      const int32_t x = i % 3 == 0 ? std::numeric_limits<int32_t>::min() : -i * 97;
      const int32_t y = i % 5 == 0 ? std::numeric_limits<int32_t>::max() : i;
      out.Pair(x, y, i > 0);
      expected += (i > 0 ? ",[" : "[") + Standard(x) + ',' + Standard(y) + ']';
    }
  }
  EXPECT_EQ(gathered.str(), expected);
}

}  // namespace
}  // namespace varnholt::cli
