// The duplication file beside a pattern: its path, the values read with their defaults, the section rewritten with
// the rest of the file kept, and a failed write leaving the old file whole.

#include "layout/dpl_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/file_write.h"
#include "geometry/run_time_error.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A pattern of 100 x 50 mm.
constexpr int32_t kWidth = 4000, kHeight = 2000;

TEST(DplFile, PathBesideThePattern) {
  EXPECT_EQ(DplPathFor("/work/parts/disc.plt"), "/work/parts/disc.dpl");
  EXPECT_EQ(DplPathFor("/work/parts.v2/disc"), "/work/parts.v2/disc.dpl");
  EXPECT_EQ(DplPathFor("rib.DXF"), "rib.dpl");
  EXPECT_TRUE(IsDplPath("/work/parts/disc.DPL"));
  EXPECT_TRUE(IsDplPath("disc.dpl"));
  EXPECT_FALSE(IsDplPath("/work/dpl/disc.plt"));
  EXPECT_FALSE(IsDplPath("disc.dplx"));

  // An installed program keeps a shipped sample's values in the account's folder, at the sample's place there.
  const ProgramFolders installed{"/usr/share/varnholt/", "/home/op/.local/share/varnholt/", true};
  EXPECT_EQ(DplPathFor("/usr/share/varnholt/Samples/US/disc.plt", installed),
            "/home/op/.local/share/varnholt/Samples/US/disc.dpl");
  EXPECT_EQ(DplPathFor("/usr/share/varnholt/Samples/../Samples/disc.plt", installed),
            "/home/op/.local/share/varnholt/Samples/disc.dpl");
  EXPECT_EQ(DplPathFor("/home/op/parts/disc.plt", installed), "/home/op/parts/disc.dpl") << "not a shipped drawing";
  EXPECT_EQ(DplPathFor("/usr/share/varnholt/../disc.plt", installed), "/usr/share/varnholt/../disc.dpl")
      << "beside the shipped folder is not in it";
  EXPECT_EQ(DplPathFor("/usr/share/varnholt-old/disc.plt", installed), "/usr/share/varnholt-old/disc.dpl");
  EXPECT_EQ(DplPathFor("/opt/v/Samples/disc.plt", OneProgramFolder("/opt/v/")), "/opt/v/Samples/disc.dpl")
      << "one folder for both: beside the drawing";
  EXPECT_EQ(DplPathFor("/usr/share/varnholt/disc.plt", ProgramFolders{"/usr/share/varnholt/", "", true}),
            "/usr/share/varnholt/disc.dpl")
      << "no writable folder to go to";

  // A drawing in a folder that cannot be written (a read-only medium; here a folder no file can be made in, even by
  // root) keeps its values in the account's folder, under the drawing's own folder path.
  EXPECT_EQ(DplPathFor("/sys/disc.plt", installed), "/home/op/.local/share/varnholt/Duplication/sys/disc.dpl");
  EXPECT_EQ(DplPathFor("/sys/disc.plt", OneProgramFolder("/opt/v/")), "/opt/v/Duplication/sys/disc.dpl");

  // A text not saved yet is named but has no file; the values of a drawing opened by a relative path stay beside it.
  EXPECT_EQ(DplPathFor("OPEN", installed), "/home/op/.local/share/varnholt/OPEN.dpl");
  const testing::TempFolder folder;
  const std::string relative =
      std::filesystem::relative(folder.Write("rib.plt", "PU0,0;"), std::filesystem::current_path()).string();
  EXPECT_EQ(DplPathFor(relative, installed), DplPathFor(relative));
}

TEST(DplFile, TheSixKeysInOrderWithTheSeparator) {
  DuplicationParameters values;
  values.columns = 3;
  values.rows = 2;
  values.column_pitch = 112.5;
  values.row_pitch = 60;
  values.vertical_distance = 0;       // written as the one unit the layout uses
  values.horizontal_distance = 4.99;  // 199.6 units: 200
  EXPECT_EQ(DplText("", values, ','),
            "[Duplication_parameters]\r\n"
            "Number of elements in a row=3\r\n"
            "Number of rows=2\r\n"
            "Space between the elements=112,5\r\n"
            "Space between the rows=60\r\n"
            "Space between the elements and the vertical connecting line=0,025\r\n"
            "Space between the elements and the horizontal connecting line=5\r\n");
}

TEST(DplFile, OtherSectionsStayAndTheOldSectionGoes) {
  const std::string existing =
      "; notes kept\n[Operator]\nname=Ala\n[duplication_parameters]\nNumber of rows=9\n\n[Other]\nkey = value";
  const std::string text = DplText(existing, DefaultParameters(kWidth, kHeight), '.');
  EXPECT_EQ(text.substr(0, text.find("[Duplication")),
            "; notes kept\n[Operator]\nname=Ala\n[Other]\nkey = value\r\n");
  EXPECT_EQ(text.find("Number of rows=9"), std::string::npos);
  EXPECT_EQ(ParseDplText(text, kWidth, kHeight)->rows, 1);
}

TEST(DplFile, ValuesReadWithDefaultsForWhatIsMissingOrUnreadable) {
  EXPECT_FALSE(ParseDplText("[Other]\nNumber of rows=3\n", kWidth, kHeight));
  EXPECT_FALSE(ParseDplText("", kWidth, kHeight));

  const auto defaults = ParseDplText("[Duplication_parameters]\r\n", kWidth, kHeight);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->columns, 2);
  EXPECT_EQ(defaults->rows, 1);
  EXPECT_DOUBLE_EQ(defaults->column_pitch, 110);
  EXPECT_DOUBLE_EQ(defaults->row_pitch, 60);
  EXPECT_DOUBLE_EQ(defaults->vertical_distance, 5);

  const DplRead whole = ReadDplText(
      " [ DUPLICATION_PARAMETERS ] \r\n"
      "number of elements in a row = 4\r\n"
      "Number of rows=two\r\n"
      "Space between the elements=130,5\r\n"
      "Space between the elements=999\r\n"
      "Space between the rows=80.25\r\n"
      "Space between the elements and the horizontal connecting line=2,01\r\n"
      "[Duplication_parameters]\r\nNumber of rows=7\r\n",
      kWidth, kHeight);
  const std::optional<DuplicationParameters>& read = whole.values;
  ASSERT_TRUE(read);
  // The refused value is reported with its line; the keys left out are not.
  ASSERT_EQ(whole.problems.size(), 1u);
  EXPECT_EQ(whole.problems[0].line, 3u);
  EXPECT_EQ(whole.problems[0].text, "Number of rows=two");
  EXPECT_EQ(whole.problems[0].reason, "'two' is not a valid integer value");
  EXPECT_EQ(read->columns, 4);
  EXPECT_EQ(read->rows, 1);                          // not an integer: the default
  EXPECT_DOUBLE_EQ(read->column_pitch, 130.5);       // the first line of a key counts
  EXPECT_DOUBLE_EQ(read->row_pitch, 80.25);          // '.' is read too
  EXPECT_DOUBLE_EQ(read->vertical_distance, 15.25);  // missing: half the gap of the pitch read
  EXPECT_DOUBLE_EQ(read->horizontal_distance, 2.0);  // rounded to whole units: 80.4 -> 80
}

class DplFileOnDisk : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
};

TEST_F(DplFileOnDisk, WrittenValuesComeBack) {
  const std::string path = folder_.PathOf("disc.dpl");
  EXPECT_FALSE(ReadDplFile(path, kWidth, kHeight).values);
  EXPECT_TRUE(ReadDplFile(path, kWidth, kHeight).problems.empty()) << "no file: nothing to report";
  folder_.Write("disc.dpl", "[Operator]\r\nname=Ala\r\n");
  EXPECT_FALSE(ReadDplFile(path, kWidth, kHeight).values);
  EXPECT_EQ(ReadDplFile(path, kWidth, kHeight).problems.size(), 1u) << "a file without the section is reported";

  DuplicationParameters values{5, 4, 125.5, 70.25, 2.5, 0.0};
  WriteDplFile(path, values, ',');
  const DplRead whole = ReadDplFile(path, kWidth, kHeight);
  EXPECT_TRUE(whole.problems.empty());
  const std::optional<DuplicationParameters>& read = whole.values;
  ASSERT_TRUE(read);
  EXPECT_EQ(read->columns, 5);
  EXPECT_EQ(read->rows, 4);
  EXPECT_DOUBLE_EQ(read->column_pitch, 125.5);
  EXPECT_DOUBLE_EQ(read->row_pitch, 70.25);
  EXPECT_DOUBLE_EQ(read->vertical_distance, 2.5);
  EXPECT_DOUBLE_EQ(read->horizontal_distance, 0.025);
  EXPECT_EQ(Read(path).substr(0, 22), "[Operator]\r\nname=Ala\r\n");

  // A file of more than 1 MiB is no duplication file.
  folder_.Write("big.dpl", "[Duplication_parameters]\r\nNumber of rows=3\r\n" + std::string(1 << 20, ';'));
  EXPECT_FALSE(ReadDplFile(folder_.PathOf("big.dpl"), kWidth, kHeight).values);
  EXPECT_EQ(ReadDplFile(folder_.PathOf("big.dpl"), kWidth, kHeight).problems.size(), 1u);
}

TEST_F(DplFileOnDisk, AFailedWriteLeavesTheOldFile) {
  const std::string path = folder_.Write("disc.dpl", "[Duplication_parameters]\r\nNumber of rows=3\r\n");
  {
    ScopedWriteFault fault({WriteStep::kWrite, 20, ENOSPC});
    EXPECT_THROW(WriteDplFile(path, DefaultParameters(kWidth, kHeight), '.'), RunTimeError);
  }
  EXPECT_EQ(Read(path), "[Duplication_parameters]\r\nNumber of rows=3\r\n");
  EXPECT_EQ(ReadDplFile(path, kWidth, kHeight).values->rows, 3);

  // A folder or a pipe in the file's place cannot be read, so its sections could not be kept: nothing is written,
  // and nothing waits for a pipe's writer.
  folder_.MakeFolder("folder.dpl");
  EXPECT_THROW(WriteDplFile(folder_.PathOf("folder.dpl"), DefaultParameters(kWidth, kHeight), '.'), RunTimeError);
  ASSERT_EQ(::mkfifo(folder_.PathOf("pipe.dpl").c_str(), 0600), 0);
  EXPECT_FALSE(ReadDplFile(folder_.PathOf("pipe.dpl"), kWidth, kHeight).values);
  EXPECT_EQ(ReadDplFile(folder_.PathOf("pipe.dpl"), kWidth, kHeight).problems.size(), 1u);
  EXPECT_THROW(WriteDplFile(folder_.PathOf("pipe.dpl"), DefaultParameters(kWidth, kHeight), '.'), RunTimeError);
}

}  // namespace
}  // namespace varnholt
