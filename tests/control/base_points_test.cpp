// The base-point list: read from base.txt byte for byte, and never written over the file unless it changed.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "control/base_points.h"
#include "geometry/run_time_error.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

class BasePointsTest : public ::testing::Test {
 protected:
  std::string Path() const { return BasePoints::FileIn(folder_.folder()); }
  testing::TempFolder folder_;
  BasePoints points_;
};

TEST_F(BasePointsTest, TheFileIsReadByteForByteAndNeverWrittenBackUnchanged) {
  // A byte-order mark, CR LF, LF and a lone CR, a byte that is not UTF-8, a NUL and no line end at the end.
  const std::string bytes = std::string("\xEF\xBB\xBFP1 100 200\r\nP2 \xB9 0\nP3\r") + '\0' + "x\r\n\r\nlast";
  folder_.Write("base.txt", bytes);
  points_.Load(folder_.folder());
  EXPECT_EQ(points_.Lines(), (std::vector<std::string>{"\xEF\xBB\xBFP1 100 200", "P2 \xB9 0", "P3",
                                                        std::string(1, '\0') + "x", "", "last"}));
  EXPECT_EQ(points_.bytes(), bytes);
  // The operator edits the file while the program runs: the end of the program keeps the edit.
  folder_.Write("base.txt", "P9 edited\r\n");
  points_.Save(folder_.folder());
  EXPECT_EQ(FileBytes(Path()), "P9 edited\r\n");
}

TEST_F(BasePointsTest, AMissingFileGivesAnEmptyListAndStaysMissing) {
  points_.Load(folder_.folder());
  EXPECT_TRUE(points_.Lines().empty());
  points_.Save(folder_.folder());
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(BasePointsTest, AFileThatCannotBeReadIsReportedAndLeftAlone) {
  folder_.MakeFolder("base.txt");
  folder_.Write("base.txt/inside", "kept");
  EXPECT_THROW(points_.Load(folder_.folder()), RunTimeError);
  EXPECT_NO_THROW(points_.Save(folder_.folder()));
  EXPECT_EQ(FileBytes(folder_.PathOf("base.txt/inside")), "kept");
}

}  // namespace
}  // namespace varnholt
