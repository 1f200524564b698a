#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "support/command_run.h"
#include "support/temp_folder.h"
#include "support/whole_konfig.h"

namespace varnholt {
namespace {

using testing::Command;
using testing::CommandRun;

// Two squares side by side and one inside the first: a plan with a hole and a neighbour.
constexpr const char* kDrawing =
    "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU1000,1000;PD2000,1000,2000,2000,1000,2000,1000,1000;"
    "PU6000,0;PD8000,0,8000,2000,6000,2000,6000,0;PU;";

TEST(WriteCommand, DrawingToProgramAndBack) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("squares.plt", kDrawing);
  const std::string program = folder.PathOf("out.cn");
  for (const cli::Arguments& extra : {cli::Arguments{}, cli::Arguments{"--model", "Qe"},
                                      cli::Arguments{"--model", "Qo", "--auto-repeat", "--repeats", "0"},
                                      cli::Arguments{"--auto-repeat", "--repeats", "2", "--cut-start-figure"}}) {
    cli::Arguments args = {drawing, "-o", program};
    args.insert(args.end(), extra.begin(), extra.end());
    const CommandRun write = Command(cli::RunWrite, args);
    ASSERT_EQ(write.code, 0) << write.err;
    EXPECT_EQ(write.out, "Wrote " + std::to_string(std::filesystem::file_size(program)) + " bytes to " + program + "\n");
    cli::Arguments decode_args = {program};
    if (extra.size() >= 2 && extra[0] == "--model") decode_args.insert(decode_args.end(), {"--model", extra[1]});
    const CommandRun decode = Command(cli::RunDecode, decode_args);
    ASSERT_EQ(decode.code, 0) << decode.err;
    const bool repeats = std::find(extra.begin(), extra.end(), "--auto-repeat") != extra.end();
    // The conveyor blocks move the belts and lift the wires, so only the plain cut must close on itself.
    if (repeats) {
      EXPECT_NE(decode.out.find("select speed group 3"), std::string::npos) << "the conveyor speed group";
    } else {
      EXPECT_NE(decode.out.find("the wire ends where it started: yes"), std::string::npos) << decode.out;
    }
  }
}

TEST(WriteCommand, RefusalsWriteNothing) {
  testing::TempFolder folder;
  const std::string program = folder.PathOf("out.cn");
  EXPECT_EQ(Command(cli::RunWrite, {}).code, 1);
  EXPECT_EQ(Command(cli::RunWrite, {folder.Write("a.plt", kDrawing)}).code, 1) << "no -o";
  EXPECT_EQ(Command(cli::RunWrite, {folder.PathOf("a.plt"), "-o", program, "--repeats", "2"}).code, 1)
      << "--repeats without --auto-repeat";
  EXPECT_EQ(Command(cli::RunWrite, {folder.PathOf("a.plt"), "-o", program, "--model", "Qx"}).code, 1);
  const CommandRun missing = Command(cli::RunWrite, {folder.PathOf("missing.plt"), "-o", program});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "Cannot open the file: " + folder.PathOf("missing.plt") + " (no such file or directory)\n");
  // Half a metre wide at ten times its size is beyond the working range of 4.8 m.
  const std::string config = folder.Write("big.qcc", testing::WholeKonfig("skala := 1000\r\n"));
  const std::string wide = folder.Write("wide.plt", "PU0,0;PD20000,0,20000,400,0,400,0,0;PU;");
  const CommandRun big = Command(cli::RunWrite, {wide, "-o", program, "--config", config});
  EXPECT_EQ(big.code, 1);
  EXPECT_NE(big.err.find("The project is larger than the working area of the machine."), std::string::npos) << big.err;
  EXPECT_FALSE(std::filesystem::exists(program));
  const std::string read_only = folder.PathOf("no/such/folder/out.cn");
  const CommandRun unwritable = Command(cli::RunWrite, {folder.PathOf("a.plt"), "-o", read_only});
  EXPECT_EQ(unwritable.code, 1);
  EXPECT_TRUE(unwritable.out.empty()) << "a failed write is never reported as written";
  // A pipe named as the output of write or preview is refused and stays a pipe; nothing waits for its reader.
  using CommandFunction = int (*)(const cli::Arguments&, std::ostream&, std::ostream&);
  const std::pair<CommandFunction, std::string> outputs[] = {{cli::RunWrite, folder.PathOf("pipe.cn")},
                                                 {cli::RunPreview, folder.PathOf("pipe.svg")},
                                                 {cli::RunPreview, folder.PathOf("pipe.png")}};
  for (const auto& [command, target] : outputs) {
    ASSERT_EQ(::mkfifo(target.c_str(), 0600), 0);
    const CommandRun refused = Command(command, {folder.PathOf("a.plt"), "-o", target});
    EXPECT_EQ(refused.code, 1) << target;
    EXPECT_NE(refused.err.find("not a regular file but a pipe (" + target + ")"), std::string::npos) << refused.err;
    EXPECT_TRUE(std::filesystem::is_fifo(target));
  }
}

}  // namespace
}  // namespace varnholt
