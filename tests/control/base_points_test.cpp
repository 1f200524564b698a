// The base-point list: read from base.txt and written back exactly as read, through the configuration's write seam.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/file_write.h"
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

TEST_F(BasePointsTest, TheFileIsWrittenBackByteForByte) {
  // A byte-order mark, CR LF, LF and a lone CR, a byte that is not UTF-8, a NUL and no line end at the end.
  const std::string bytes = std::string("\xEF\xBB\xBFP1 100 200\r\nP2 \xB9 0\nP3\r") + '\0' + "x\r\n\r\nlast";
  folder_.Write("base.txt", bytes);
  points_.Load(folder_.folder());
  EXPECT_EQ(points_.Lines(), (std::vector<std::string>{"\xEF\xBB\xBFP1 100 200", "P2 \xB9 0", "P3",
                                                        std::string(1, '\0') + "x", "", "last"}));
  std::filesystem::remove(Path());
  points_.Save(folder_.folder());
  EXPECT_EQ(FileBytes(Path()), bytes);
}

TEST_F(BasePointsTest, AMissingFileGivesAnEmptyListThatIsCreatedAtTheEnd) {
  points_.Load(folder_.folder());
  EXPECT_TRUE(points_.Lines().empty());
  points_.Save(folder_.folder());
  ASSERT_TRUE(std::filesystem::exists(Path()));
  EXPECT_EQ(FileBytes(Path()), "");
}

TEST_F(BasePointsTest, AFailedWriteKeepsTheOldFileWhole) {
  folder_.Write("base.txt", "P1 1 2\r\n");
  points_.Load(folder_.folder());
  folder_.Write("base.txt", "changed meanwhile\r\n");
  {
    ScopedWriteFault full_disk(WriteFault{WriteStep::kWrite, 3, ENOSPC});
    EXPECT_THROW(points_.Save(folder_.folder()), RunTimeError);
  }
  EXPECT_EQ(FileBytes(Path()), "changed meanwhile\r\n");
}

TEST_F(BasePointsTest, AFileThatWasNotReadIsNeverReplaced) {
  folder_.Write("base.txt", "P1 1 2\n");
  // Never loaded: the store has nothing to write.
  points_.Save(folder_.folder());
  EXPECT_EQ(FileBytes(Path()), "P1 1 2\n");
  // A base.txt that cannot be read (here a folder) is reported and left alone.
  std::filesystem::remove(Path());
  folder_.MakeFolder("base.txt");
  folder_.Write("base.txt/inside", "kept");
  EXPECT_THROW(points_.Load(folder_.folder()), RunTimeError);
  EXPECT_NO_THROW(points_.Save(folder_.folder()));
  EXPECT_EQ(FileBytes(folder_.PathOf("base.txt/inside")), "kept");
}

}  // namespace
}  // namespace varnholt
