#include "cli/text_out.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>

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

}  // namespace
}  // namespace varnholt::cli
