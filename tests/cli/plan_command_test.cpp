// varnholt-cli plan: the planning fields and the tree as JSON, with the configuration's frame choice.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "support/temp_folder.h"
#include "support/whole_konfig.h"

namespace varnholt {
namespace {

struct CommandRun {
  int code = 0;
  std::string out, err;
};

CommandRun Plan(const cli::Arguments& args) {
  std::ostringstream out, err;
  CommandRun run;
  run.code = cli::RunPlan(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

const char* kTwoSquares = "PU0,0;PD1000,0,1000,1000,0,1000,0,0;PU;PU3000,0;PD4000,0,4000,1000,3000,1000,3000,0;PU;";

TEST(PlanCommand, PrintsTheFieldsAndEveryEntry) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("squares.plt", kTwoSquares);
  const CommandRun run = Plan({drawing});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::string& json = run.out;
  for (const char* field : {"\"start_figure\":2", "\"own_start\":true", "\"frame_added\":false",
                            "\"single_open_figure\":false", "\"max_depth\":0", "\"planned\":true",
                            "\"start_margin_left\":0", "\"start_margin_right\":4000", "\"start_margin_top\":1000",
                            "\"start_margin_bottom\":0", "\"total_length\":"}) {
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
  }
  // The start marker at the project corner and a connector, both with their points.
  EXPECT_NE(json.find("{\"index\":2,\"kind\":3,\"depth\":1,\"parent\":-1,\"child_count\":0,\"link_figure\":-1,"
                      "\"link_point\":-1,\"link_aux\":0,\"pending\":false,\"closed\":false,\"point_count\":2,"
                      "\"points\":[[0,0],[0,0]]}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find("{\"index\":0,\"kind\":0,\"depth\":1,\"parent\":-1"), std::string::npos) << json;
  EXPECT_EQ(json.find("\"pending\":true"), std::string::npos);
  EXPECT_EQ(json.back(), '\n');
}

TEST(PlanCommand, TheConfigurationCanAskForAFrame) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("squares.plt", kTwoSquares);
  const std::string config = folder.Write("frame.qcc", testing::WholeKonfig("AddFrame := cbChecked\r\n"));
  const CommandRun run = Plan({drawing, "--config", config});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"frame_added\":true"), std::string::npos);
  EXPECT_NE(run.out.find("\"kind\":1,\"depth\":1,\"parent\":-1,\"child_count\":0,\"link_figure\":-1,\"link_point\":-1,"
                         "\"link_aux\":0,\"pending\":false,\"closed\":true,\"point_count\":5,"
                         "\"points\":[[-400,-400],[4400,-400],[4400,1400],[-400,1400],[-400,-400]]"),
            std::string::npos)
      << run.out;
}

TEST(PlanCommand, FailuresGoToStandardError) {
  testing::TempFolder folder;
  EXPECT_EQ(Plan({}).code, 1);
  EXPECT_EQ(Plan({"a.plt", "--bogus"}).code, 1);
  const CommandRun missing = Plan({folder.folder() + "missing.plt"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "Cannot open the file: " + folder.folder() + "missing.plt (no such file or directory)\n");
  const CommandRun bad_config = Plan({folder.Write("s.plt", kTwoSquares), "--config", folder.folder() + "none.qcc"});
  EXPECT_EQ(bad_config.code, 1);
  EXPECT_TRUE(bad_config.out.empty());
}

}  // namespace
}  // namespace varnholt
