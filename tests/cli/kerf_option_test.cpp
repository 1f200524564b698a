// --kerf MM of figures, plan, preview, write, verify and info: compensated outlines, the configuration's kerf
// overridden, and a kerf of 0 giving exactly what the commands gave without one.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/commands.h"
#include "files/program_decoder.h"
#include "support/command_run.h"
#include "support/temp_folder.h"
#include "support/whole_konfig.h"

namespace varnholt {
namespace {

using testing::CommandRun;
using testing::Command;
using CommandFunction = int (*)(const cli::Arguments&, std::ostream&, std::ostream&);

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

const std::string kFrameWithHoles = std::string(VARNHOLT_SOURCE_DIR) + "/samples/frame_with_holes.plt";

TEST(KerfOption, PlanPutsOutlinesOutsideThePartsAndInsideTheHoles) {
  const CommandRun run = Command(cli::RunPlan, {kFrameWithHoles, "--kerf", "1"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"kerf_width\":1.0,\"kept_as_drawn\":[]"), std::string::npos) << run.out;
  for (const char* outline : {
           "\"points\":[[-20,-20],[8020,-20],[8020,4020],[-20,4020],[-20,-20]]",  // the frame grows
           "\"points\":[[3420,820],[5380,820],[5380,3180],[3420,3180],[3420,820]]",  // its square holes shrink
           "\"points\":[[6220,1020],[7180,1020],[7180,2980],[6220,2980],[6220,1020]]"}) {
    EXPECT_NE(run.out.find(outline), std::string::npos) << outline;
  }
  EXPECT_EQ(run.out.find("\"pending\":true"), std::string::npos);
}

TEST(KerfOption, OverridesTheConfigurationAndZeroChangesNothing) {
  testing::TempFolder folder;
  const std::string config = folder.Write("kerf.qcc", testing::WholeKonfig("KerfWidth := 1\r\n"));
  const CommandRun plain = Command(cli::RunPlan, {kFrameWithHoles});
  ASSERT_EQ(plain.code, 0) << plain.err;
  EXPECT_EQ(plain.out.find("kerf_width"), std::string::npos);
  EXPECT_EQ(Command(cli::RunPlan, {kFrameWithHoles, "--kerf", "0"}).out, plain.out);
  EXPECT_EQ(Command(cli::RunPlan, {kFrameWithHoles, "--config", config, "--kerf", "0"}).out, plain.out);
  EXPECT_EQ(Command(cli::RunPlan, {kFrameWithHoles, "--config", config}).out,
            Command(cli::RunPlan, {kFrameWithHoles, "--kerf", "1"}).out);

  // The same for the program's bytes.
  const std::string program = folder.PathOf("out.cn");
  const auto bytes = [&](cli::Arguments extra) {
    cli::Arguments args = {kFrameWithHoles, "-o", program, "--model", "Qe"};
    args.insert(args.end(), extra.begin(), extra.end());
    const CommandRun write = Command(cli::RunWrite, args);
    EXPECT_EQ(write.code, 0) << write.err;
    return ReadFile(program);
  };
  const std::string today = bytes({});
  EXPECT_EQ(bytes({"--kerf", "0"}), today);
  EXPECT_EQ(bytes({"--config", config, "--kerf", "0"}), today);
  const std::string compensated = bytes({"--kerf", "1"});
  EXPECT_NE(compensated, today);
  EXPECT_EQ(bytes({"--config", config}), compensated);

  // The verifier checks the program against the figures of the same kerf.
  const auto verify = [&](cli::Arguments extra) {
    cli::Arguments args = {kFrameWithHoles, program, "--model", "Qe"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Command(cli::RunVerify, args).code;
  };
  EXPECT_EQ(verify({"--kerf", "1"}), 0);
  EXPECT_EQ(verify({"--config", config}), 0);
  EXPECT_EQ(verify({}), 2) << "the compensated program is not the drawing's";
}

TEST(KerfOption, AHundredMillimetreSquareIsCutAsOneOfAHundredAndOne) {
  testing::TempFolder folder;
  const std::string square = folder.Write("square.plt", "IN;SP1;PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU;");
  const std::string program = folder.PathOf("out.cn");
  for (const auto& [kerf, side_steps] : {std::pair{"0", 10000}, std::pair{"1", 10100}, std::pair{"2.5", 10250}}) {
    const CommandRun write = Command(cli::RunWrite, {square, "-o", program, "--kerf", kerf});
    ASSERT_EQ(write.code, 0) << write.err;
    const DecodedProgram decoded = DecodeProgram(ReadFile(program), ControllerState());
    ASSERT_FALSE(decoded.damage_offset) << decoded.damage;
    // 100 steps a millimetre at the initial scale, along two sides on each axis.
    EXPECT_EQ(decoded.summary.travel_steps[0], 2 * side_steps) << "kerf " << kerf;
    EXPECT_EQ(decoded.summary.travel_steps[1], 2 * side_steps) << "kerf " << kerf;
    EXPECT_TRUE(decoded.summary.ends_where_it_started);
  }
  // Written at twice its size, the square is cut as one of 201 mm: the kerf is the wire's, not the drawing's.
  const std::string doubled = folder.Write("double.qcc", testing::WholeKonfig("skala := 200\r\n"));
  ASSERT_EQ(Command(cli::RunWrite, {square, "-o", program, "--config", doubled, "--kerf", "1"}).code, 0);
  EXPECT_EQ(DecodeProgram(ReadFile(program), ControllerState()).summary.travel_steps[0], 2 * 20100);
}

TEST(KerfOption, FiguresPrintTheCompensatedFiguresAndTheirBox) {
  const CommandRun run = Command(cli::RunFigures, {kFrameWithHoles, "--kerf", "1"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out.rfind("{\"figures\":[{\"pen\":1,\"pen_value\":0.0,\"closed\":true,"
                          "\"points\":[[-20,-20],[8020,-20],[8020,4020],[-20,4020],[-20,-20]]}",
                          0),
            0u)
      << run.out;
  EXPECT_NE(run.out.find("\"box\":[-20,-20,8020,4020]"), std::string::npos);
  EXPECT_EQ(Command(cli::RunFigures, {kFrameWithHoles, "--kerf", "0"}).out, Command(cli::RunFigures, {kFrameWithHoles}).out);
}

TEST(KerfOption, PreviewDrawsTheDrawingGreyUnderTheCompensatedPath) {
  testing::TempFolder folder;
  const std::string svg = folder.PathOf("plan.svg");
  ASSERT_EQ(Command(cli::RunPreview, {kFrameWithHoles, "-o", svg}).code, 0);
  EXPECT_EQ(ReadFile(svg).find("#909090"), std::string::npos);
  const CommandRun run = Command(cli::RunPreview, {kFrameWithHoles, "-o", svg, "--kerf", "1"});
  ASSERT_EQ(run.code, 0) << run.err;
  const std::string picture = ReadFile(svg);
  // Five grey outlines of the drawing, one pixel wide, before the first black one.
  size_t grey = 0;
  for (size_t at = picture.find("stroke=\"#909090\" stroke-width=\"1\""); at != std::string::npos;
       at = picture.find("stroke=\"#909090\" stroke-width=\"1\"", at + 1)) {
    ++grey;
    EXPECT_LT(at, picture.find("stroke=\"#000000\""));
  }
  EXPECT_EQ(grey, 5u);
}

TEST(KerfOption, InfoMeasuresTheCompensatedProject) {
  testing::TempFolder folder;
  const std::string config = folder.Write("kerf.qcc", testing::WholeKonfig("KerfWidth := 1\r\n"));
  const std::string plain = Command(cli::RunInfo, {kFrameWithHoles}).out;
  EXPECT_NE(plain.find("\"width\":\"200.00 mm\",\"height\":\"100.00 mm\""), std::string::npos) << plain;
  EXPECT_EQ(Command(cli::RunInfo, {kFrameWithHoles, "--config", config, "--kerf", "0"}).out, plain);
  const CommandRun run = Command(cli::RunInfo, {kFrameWithHoles, "--kerf", "1"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"width\":\"201.00 mm\",\"height\":\"101.00 mm\""), std::string::npos) << run.out;
  EXPECT_EQ(Command(cli::RunInfo, {kFrameWithHoles, "--config", config}).out, run.out);
}

TEST(KerfOption, BadKerfValuesAreRefused) {
  testing::TempFolder folder;
  const std::string program = folder.PathOf("out.cn");
  for (const char* bad : {"-1", "10.5", "abc", "", "1mm", "nan"}) {
    for (const auto& [command, args] :
         {std::pair<CommandFunction, cli::Arguments>{cli::RunPlan, {kFrameWithHoles, "--kerf", bad}},
          {cli::RunFigures, {kFrameWithHoles, "--kerf", bad}},
          {cli::RunPreview, {kFrameWithHoles, "-o", folder.PathOf("p.svg"), "--kerf", bad}},
          {cli::RunWrite, {kFrameWithHoles, "-o", program, "--kerf", bad}},
          {cli::RunVerify, {kFrameWithHoles, program, "--kerf", bad}},
          {cli::RunInfo, {kFrameWithHoles, "--kerf", bad}}}) {
      const CommandRun run = Command(command, args);
      EXPECT_EQ(run.code, 1) << bad;
      EXPECT_NE(run.err.find("--kerf takes the kerf width in millimetres, 0 to 10"), std::string::npos)
          << bad << ": " << run.err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(program));
  EXPECT_EQ(Command(cli::RunFigures, {kFrameWithHoles, "--raw", "--kerf", "1"}).code, 1)
      << "the reader's own figures are never compensated";
  EXPECT_EQ(Command(cli::RunPlan, {kFrameWithHoles, "--kerf", "10"}).code, 0);
}

}  // namespace
}  // namespace varnholt
