// varnholt-cli text: the plot file of a text that write, verify and figures take as any drawing, and the
// errors of a text that cannot be drawn.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/command_run.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Command;
using testing::CommandRun;

TEST(TextCommand, TheTextsPlotFileIsPlannedWrittenAndVerifiedAsAnyDrawing) {
  testing::TempFolder folder;
  const std::string plot = folder.PathOf("open.plt");
  const std::string program = folder.PathOf("out.cn");
  const CommandRun text =
      Command(cli::RunText, {"OPEN\nR&8", "--font", "dejavu sans", "--style", "Bold", "--height", "120",
                             "--spacing", "-4", "--align", "centre", "-o", plot});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(text.out.rfind(
                "{\"file\":\"" + plot + "\",\"font\":\"DejaVu Sans\",\"style\":\"Bold\",\"figures\":", 0),
            0u)
      << text.out;
  EXPECT_EQ(text.err, "");
  // Each letter is one closed figure with its counters: O, P, R and & have one, 8 two, E and N none.
  const CommandRun figures = Command(cli::RunFigures, {plot});
  ASSERT_EQ(figures.code, 0) << figures.err;
  EXPECT_NE(text.out.find("\"figures\":13,"), std::string::npos) << text.out;
  EXPECT_EQ(figures.out.find("\"closed\":false"), std::string::npos);

  for (const char* kerf : {"0", "1.5"}) {
    ASSERT_EQ(Command(cli::RunWrite, {plot, "-o", program, "--kerf", kerf, "--model", "Qe"}).code, 0) << kerf;
    const CommandRun verify = Command(cli::RunVerify, {plot, program, "--kerf", kerf, "--model", "Qe"});
    EXPECT_EQ(verify.code, 0) << kerf << verify.out << verify.err;
    EXPECT_EQ(verify.out.rfind("{\"passed\":true,", 0), 0u) << verify.out;
  }
}

TEST(TextCommand, ATextThatCannotBeDrawnIsRefusedWithItsReason) {
  testing::TempFolder folder;
  const std::string plot = folder.PathOf("t.plt");
  const auto run = [&plot](cli::Arguments args) {
    args.insert(args.end(), {"-o", plot});
    return Command(cli::RunText, args);
  };
  const CommandRun unknown = run({"A", "--font", "No Such Family 7", "--height", "50"});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_NE(unknown.err.find("The font 'No Such Family 7' is not installed; the system would use '"),
            std::string::npos)
      << unknown.err;
  EXPECT_NE(unknown.err.find("--fallback"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(plot)) << "nothing is written";
  EXPECT_EQ(run({"A", "--font", "No Such Family 7", "--height", "50", "--fallback"}).code, 0);

  const CommandRun empty = run({"", "--font", "DejaVu Sans", "--height", "50"});
  EXPECT_EQ(empty.code, 1);
  EXPECT_EQ(empty.err, "The text is empty: nothing in it draws a letter\n");
  for (const char* height : {"0", "2401", "-3"}) {
    const CommandRun range = run({"A", "--font", "DejaVu Sans", "--height", height});
    EXPECT_EQ(range.code, 1) << height;
    EXPECT_NE(range.err.find("--height takes the height of a capital in millimetres, 1 to 2400"),
              std::string::npos)
        << range.err;
  }
  const CommandRun lacking = run({"A\xe6\xbc\xa2", "--font", "DejaVu Sans Mono", "--height", "50"});
  EXPECT_EQ(lacking.code, 1);
  EXPECT_EQ(lacking.err, "The font 'DejaVu Sans Mono' has no letter for: \xe6\xbc\xa2\n");
  const CommandRun style = run({"A", "--font", "DejaVu Sans", "--style", "Wavy", "--height", "50"});
  EXPECT_EQ(style.code, 1);
  EXPECT_NE(style.err.find("has no style 'Wavy'; its styles are "), std::string::npos) << style.err;

  for (const cli::Arguments& wrong :
       {cli::Arguments{"A", "--height", "50"}, cli::Arguments{"A", "--font", "DejaVu Sans"},
        cli::Arguments{"A", "--font", "DejaVu Sans", "--height", "fifty"},
        cli::Arguments{"A", "--font", "DejaVu Sans", "--height", "50", "--weld", "--no-weld"},
        cli::Arguments{"A", "--font", "DejaVu Sans", "--height", "50", "--align", "justify"},
        cli::Arguments{"A", "--font", "DejaVu Sans", "--height", "50", "--line-spacing", "0"}}) {
    EXPECT_EQ(run(wrong).code, 1) << wrong.size();
  }
  EXPECT_EQ(Command(cli::RunText, {"A", "--font", "DejaVu Sans", "--height", "50"}).code, 1) << "no -o";
}

}  // namespace
}  // namespace varnholt
