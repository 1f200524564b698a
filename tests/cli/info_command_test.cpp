#include <gtest/gtest.h>

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

// A rectangle of 200 x 100 mm, cut at half scale and 500 mm/min.
class InfoCommand : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  std::string drawing_ = folder_.Write("rectangle.plt", "IN;SP1;PU0,0;PD8000,0,8000,4000,0,4000,0,0;PU;");
  std::string config_ = folder_.Write("half.qcc", testing::WholeKonfig("skala := 50\r\nszybkoscObrobki := 500\r\n"));
};

TEST_F(InfoCommand, ValuesOfTheInformationWindowWithTheProgramsTime) {
  const CommandRun mm = Command(cli::RunInfo, {drawing_, "--config", config_, "--model", "Qe"});
  ASSERT_EQ(mm.code, 0) << mm.err;
  // 300 mm at 500 mm/min and one entry: 0.63 min; the program adds the warm-up, the corner pauses and the
  // switching off to its 36 s of cutting.
  EXPECT_EQ(mm.out,
            "{\"width\":\"100.00 mm\",\"height\":\"50.00 mm\",\"length\":\"0.30 m\",\"time\":\"1 min\","
            "\"program_time_s\":42.7,\"program_time\":\"0 min 43 s\",\"entries\":1,\"skala\":\"50.00%\"}\n");

  // The time is the one the decoder reads from the written program.
  const std::string program = folder_.PathOf("out.cn");
  ASSERT_EQ(Command(cli::RunWrite, {drawing_, "-o", program, "--config", config_, "--model", "Qe"}).code, 0);
  const CommandRun decode = Command(cli::RunDecode, {program, "--model", "Qe"});
  EXPECT_NE(decode.out.find("estimated run time 42.7 s"), std::string::npos) << decode.out;

  const CommandRun inch = Command(cli::RunInfo, {"--unit", "inch", drawing_, "--config", config_});
  ASSERT_EQ(inch.code, 0) << inch.err;
  EXPECT_NE(inch.out.find("\"width\":\"3.94 in\",\"height\":\"1.97 in\",\"length\":\"11.81 in\""),
            std::string::npos)
      << inch.out;
  const CommandRun feet = Command(cli::RunInfo, {drawing_, "--unit", "feet"});
  EXPECT_NE(feet.out.find("\"length\":\"1.97 ft\""), std::string::npos) << feet.out;
}

TEST_F(InfoCommand, AProjectTooLargeHasNoProgramTime) {
  // 600 mm at ten times its size is wider than the machine's 4800 mm.
  const std::string wide = folder_.Write("wide.plt", "IN;SP1;PU0,0;PD24000,0,24000,4000,0,4000,0,0;PU;");
  const std::string big = folder_.Write("big.qcc", testing::WholeKonfig("skala := 1000\r\n"));
  const CommandRun run = Command(cli::RunInfo, {wide, "--config", big, "--model", "Qa"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"width\":\"6000.00 mm\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"program_time_s\":null,\"program_time\":null"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("the program's time is unknown"), std::string::npos) << run.err;
}

TEST_F(InfoCommand, Refusals) {
  EXPECT_EQ(Command(cli::RunInfo, {}).code, 1);
  EXPECT_EQ(Command(cli::RunInfo, {drawing_, "--unit", "yard"}).code, 1);
  EXPECT_EQ(Command(cli::RunInfo, {drawing_, "--model", "Qx"}).code, 1);
  EXPECT_EQ(Command(cli::RunInfo, {folder_.PathOf("missing.plt")}).code, 1);
  EXPECT_EQ(Command(cli::RunInfo, {drawing_, "--config", folder_.PathOf("missing.qcc")}).code, 1);
}

}  // namespace
}  // namespace varnholt
