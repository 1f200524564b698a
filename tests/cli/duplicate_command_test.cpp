// varnholt-cli duplicate, and the same options of preview and write: the copies, the connecting path, the ".dpl"
// file beside the drawing, and the checks' messages.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/commands.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

struct CommandRun {
  int code = 0;
  std::string out, err;
};

CommandRun Command(int (*command)(const cli::Arguments&, std::ostream&, std::ostream&), const cli::Arguments& args) {
  std::ostringstream out, err;
  const int code = command(args, out, err);
  return {code, out.str(), err.str()};
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The sample disc of 130 x 60 mm with its lead-in from the left, copied into a folder of the test's own.
class DuplicateCommand : public ::testing::Test {
 protected:
  DuplicateCommand() {
    std::filesystem::copy_file(std::string(VARNHOLT_LANGUAGE_DIR) + "/Samples/disc_with_lead_in.plt", drawing_);
  }

  testing::TempFolder folder_;
  const std::string drawing_ = folder_.PathOf("disc.plt");
};

TEST_F(DuplicateCommand, PrintsThePlanOfTheCopiesWithTheConnectingPath) {
  const CommandRun run = Command(cli::RunDuplicate, {drawing_, "--columns", "3", "--rows", "2"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(Count(run.out, "\"kind\":0,"), 6u * 2 + 1) << "six copies of the disc and its lead-in, and the path";
  EXPECT_EQ(Count(run.out, "\"pending\":true"), 0u);
  const size_t at = run.out.find(",\"connecting_path\":[[-240,600],[-240,3400],");
  ASSERT_NE(at, std::string::npos) << run.out;
  EXPECT_TRUE(run.out.ends_with(",[-240,600]]}\n")) << "closed: it ends at the lead-in point";
  // The top row's copies are entered at their lead-ins' free ends, 140 mm apart.
  for (const char* entry : {"[0,4800]", "[5600,4800]", "[11200,4800]", "[0,2000]", "[5600,2000]", "[11200,2000]"}) {
    EXPECT_NE(run.out.find(entry, at), std::string::npos) << entry;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_.PathOf("disc.dpl"))) << "written only when asked";
}

TEST_F(DuplicateCommand, TheDplFileBesideTheDrawingGivesWhatTheOptionsDoNot) {
  const CommandRun written = Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1", "--pitch-x",
                                                         "200.5", "--gap-h", "2", "--write-dpl"});
  ASSERT_EQ(written.code, 0) << written.err;
  EXPECT_EQ(ReadFile(folder_.PathOf("disc.dpl")),
            "[Duplication_parameters]\r\n"
            "Number of elements in a row=2\r\n"
            "Number of rows=1\r\n"
            "Space between the elements=200.5\r\n"
            "Space between the rows=70\r\n"
            "Space between the elements and the vertical connecting line=35.25\r\n"
            "Space between the elements and the horizontal connecting line=2\r\n");
  // Later runs take the remembered pitch: the second copy is entered 200.5 mm to the right.
  const CommandRun again = Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1"});
  ASSERT_EQ(again.code, 0) << again.err;
  EXPECT_NE(again.out.find("[8020,2000]"), std::string::npos) << again.out;
}

// A damaged ".dpl" beside the drawing, or a configuration cut short, is an error naming the file, the line and its
// text unless --lenient is given; a ".dpl" without the keys the format may leave out is whole.
TEST_F(DuplicateCommand, ADamagedDplOrConfigurationIsAnErrorUnlessLenient) {
  const std::string dpl = folder_.Write("disc.dpl",
                                        "[Duplication_parameters]\r\nNumber of elements in a row=3\r\n"
                                        "Number of rows=x\r\nSpace between the rows=80\r\n");
  const cli::Arguments args = {drawing_, "--columns", "2", "--rows", "1"};
  CommandRun run = Command(cli::RunDuplicate, args);
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.out.empty());
  EXPECT_NE(run.err.find(dpl), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("line 3"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Number of rows=x"), std::string::npos) << run.err;
  cli::Arguments lenient = args;
  lenient.push_back("--lenient");
  run = Command(cli::RunDuplicate, lenient);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find(dpl), std::string::npos) << "still told";

  folder_.Write("disc.dpl", "[Duplication_parameters]\r\nNumber of rows=2\r\n");
  run = Command(cli::RunDuplicate, args);
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  folder_.Write("disc.dpl", "[Duplication_parameters]\r\nNumber of rows=2\r\nSpace betw");
  EXPECT_EQ(Command(cli::RunDuplicate, args).code, 1) << "cut short";
  folder_.Write("disc.dpl", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
  EXPECT_EQ(Command(cli::RunDuplicate, args).code, 1) << "no duplication section at all";
  std::filesystem::remove(dpl);

  const std::string cut = folder_.Write("cut.qcc", "AutoSave := cbUnchecked\r\nszybkoscObrobki := 10");
  cli::Arguments configured = args;
  configured.insert(configured.end(), {"--config", cut});
  run = Command(cli::RunDuplicate, configured);
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find(cut), std::string::npos) << run.err;
  configured.push_back("--lenient");
  EXPECT_EQ(Command(cli::RunDuplicate, configured).code, 0);
}

TEST_F(DuplicateCommand, FailedChecksAndBadOptionsPrintWhyAndWriteNothing) {
  const CommandRun zero = Command(cli::RunDuplicate, {drawing_, "--columns", "0", "--rows", "2", "--write-dpl"});
  EXPECT_EQ(zero.code, 1);
  EXPECT_EQ(zero.err, "Invalid number of elements in a row.\n");
  EXPECT_TRUE(zero.out.empty());
  EXPECT_FALSE(std::filesystem::exists(folder_.PathOf("disc.dpl")));

  const CommandRun overlap = Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1", "--pitch-x", "129"});
  EXPECT_EQ(overlap.code, 1);
  EXPECT_EQ(overlap.err, "The elements will overlap.\r\nWidth of one element: 130.00 mm\r\n\r\nDo you accept this?\n");

  const CommandRun gap = Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1", "--gap-v", "10"});
  EXPECT_EQ(gap.code, 1);
  EXPECT_EQ(gap.err, "The distance to the vertical connecting line is too large.\n");

  EXPECT_EQ(Command(cli::RunDuplicate, {drawing_, "--columns", "2"}).err,
            "A duplication needs --columns N and --rows N\n");
  EXPECT_EQ(Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1.5"}).err,
            "'1.5' is not a valid integer value\n");
  EXPECT_EQ(Command(cli::RunDuplicate, {drawing_, "--columns", "2", "--rows", "1", "--gap-v", "5mm"}).err,
            "'5mm' is not a valid floating point value\n");
  EXPECT_EQ(Command(cli::RunDuplicate, {drawing_, "--columns"}).code, 1);
}

TEST_F(DuplicateCommand, PreviewAndWriteTakeTheSameOptions) {
  const std::string picture = folder_.PathOf("grid.svg");
  const CommandRun preview =
      Command(cli::RunPreview, {drawing_, "-o", picture, "--columns", "2", "--rows", "2", "--size", "400x300"});
  ASSERT_EQ(preview.code, 0) << preview.err;
  EXPECT_NE(preview.out.find("0 pending"), std::string::npos) << preview.out;
  // Four discs with their lead-ins, the connecting path and the planned path at least.
  EXPECT_GE(Count(ReadFile(picture), "<polyline"), 4u * 2 + 2);

  const std::string program = folder_.PathOf("out.cn");
  const CommandRun single = Command(cli::RunWrite, {drawing_, "-o", program});
  ASSERT_EQ(single.code, 0) << single.err;
  const auto single_size = std::filesystem::file_size(program);
  const CommandRun grid =
      Command(cli::RunWrite, {drawing_, "-o", program, "--columns", "3", "--rows", "2", "--cut-start-figure"});
  ASSERT_EQ(grid.code, 0) << grid.err;
  EXPECT_GT(std::filesystem::file_size(program), 5 * single_size);
  const CommandRun decode = Command(cli::RunDecode, {program});
  ASSERT_EQ(decode.code, 0) << decode.err;
  EXPECT_NE(decode.out.find("the wire ends where it started: yes"), std::string::npos) << decode.out;

  const CommandRun refused = Command(cli::RunWrite, {drawing_, "-o", program, "--rows", "2"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, "A duplication needs --columns N and --rows N\n");
}

}  // namespace
}  // namespace varnholt
