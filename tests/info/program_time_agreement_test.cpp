// The program-based cutting time against the simulated controller running the same program, streamed as the
// transmission streams it.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "files/program_decoder.h"
#include "info/program_time.h"
#include "info_test_support.h"
#include "layout/duplicate_project.h"
#include "link/command_bytes.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

constexpr int kBurstCommands = 100;
constexpr int kCommandsBeforeGo = 17;
constexpr int64_t kBurstIntervalMs = 1;
constexpr int64_t kBufferFullIntervalMs = 50;
constexpr int64_t kEndPollMs = 10;

// Streams the program in bursts while the controller's buffer has room, sends Go after the 17th command, then
// waits for the program to end. Returns the seconds from Go to the end; fails the test when the controller
// lost a command, ran dry before the end or did not finish.
double SimulatedRunSeconds(SimulatedMachine& machine, std::string_view program, double estimate_seconds) {
  MachineLink& link = machine.link;
  EXPECT_TRUE(SendCommand(link, ClearProgramCommand()));
  size_t at = 0;
  int sent = 0;
  int64_t go_ms = -1;
  while (at < program.size()) {
    ReadStatus(link);
    if (machine.state.Has(kStatusBufferFull)) {
      machine.clock.Advance(kBufferFullIntervalMs);
      continue;
    }
    for (int burst = 0; burst < kBurstCommands && at < program.size(); ++burst) {
      const auto length = static_cast<size_t>(CommandLength(static_cast<uint8_t>(program[at])).value_or(1));
      EXPECT_TRUE(SendCommand(link, program.substr(at, length)));
      at += length;
      if (++sent == kCommandsBeforeGo) {
        EXPECT_TRUE(SendCommand(link, GoCommand()));
        go_ms = machine.clock.NowMs();
      }
    }
    machine.clock.Advance(kBurstIntervalMs);
  }
  EXPECT_GE(go_ms, 0) << "the program is shorter than the commands sent before Go";
  const int64_t limit_ms = go_ms + static_cast<int64_t>(estimate_seconds * 2000.0) + 60'000;
  do {
    machine.clock.Advance(kEndPollMs);
    ReadStatus(link);
  } while (machine.state.Has(kStatusProgramRunning) && machine.clock.NowMs() < limit_ms);
  EXPECT_FALSE(machine.state.Has(kStatusProgramRunning)) << "the program did not end";
  EXPECT_EQ(machine.controller.lost_commands(), 0u);
  EXPECT_EQ(machine.controller.programs_finished(), 1)
      << "the controller ran dry while the program was streamed";
  const DecodedProgram decoded = DecodeProgram(program, machine.state);
  EXPECT_EQ(machine.controller.moves_completed(), static_cast<int64_t>(decoded.summary.moves));
  return static_cast<double>(machine.clock.NowMs() - go_ms) / 1000.0;
}

// The estimate is within 2 % of the simulated run.
void ExpectAgreement(const ProjectDocument& project, SimulatedMachine& machine,
                     const CutRunOptions& run = {}) {
  const std::optional<std::string> program = CutProgramInMemory(project, machine.config, machine.state, run);
  ASSERT_TRUE(program);
  const std::optional<double> estimate = ProgramCuttingSeconds(project, machine.config, machine.state, run);
  ASSERT_TRUE(estimate);
  const double simulated = SimulatedRunSeconds(machine, *program, *estimate);
  EXPECT_NEAR(*estimate, simulated, 0.02 * simulated)
      << "estimate " << *estimate << " s, simulated " << simulated;
}

struct SampleRun {
  const char* sample;
  const char* model;
};

class ShippedSample : public ::testing::TestWithParam<SampleRun> {};

TEST_P(ShippedSample, EstimateAgreesWithTheSimulatedRun) {
  SimulatedMachine machine(GetParam().model);
  const auto project = LoadProject(SamplePath(GetParam().sample), machine.range());
  ExpectAgreement(*project, machine);
}

INSTANTIATE_TEST_SUITE_P(EverySample, ShippedSample,
                         ::testing::Values(SampleRun{"disc_with_lead_in.plt", "Qe"},
                                           SampleRun{"frame_with_holes.plt", "Qa"},
                                           SampleRun{"letters_vh.plt", "Qo"}, SampleRun{"sign_vh.dxf", "Qe"},
                                           SampleRun{"wing_rib.dxf", "Qa"},
                                           SampleRun{"frame_with_holes.plt", "Qo"},
                                           SampleRun{"wing_rib.dxf", "Qe"}),
                         [](const ::testing::TestParamInfo<SampleRun>& run) {
                           std::string name = std::string(run.param.sample) + "_" + run.param.model;
                           for (char& c : name) {
                             if (c == '.') c = '_';
                           }
                           return name;
                         });

TEST(ProgramTimeAgreement, AutomaticRepetitionWithItsConveyorBlocks) {
  Configuration config;
  config.SetNumber(Param::szybkoscObrobki, 700);
  config.SetNumber(Param::Pauza_w_kacie, 420);
  config.SetNumber(Param::CzasRozgrzewania, 2600);
  config.SetNumber(Param::fePauzaTechn, 3);
  config.SetNumber(Param::TasmaPrzesuwPocz, 250);
  config.SetChecked(Param::Heavy, true);
  for (const char* model : {"Qe", "Qo"}) {
    SCOPED_TRACE(model);
    SimulatedMachine machine(model, config);
    const auto project = LoadProject(SamplePath("letters_vh.plt"), machine.range());
    ExpectAgreement(*project, machine, CutRunOptions{true, 0});
  }
}

// The drawing figures of a sample repeated in rows and columns, as one plot file.
std::string GridOfCopies(const ProjectDocument& sample, int rows, int columns, int32_t gap) {
  std::string plot = "IN;SP1;";
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int32_t dx = column * (sample.project_width + gap) - sample.project_min_x;
      const int32_t dy = row * (sample.project_height + gap) - sample.project_min_y;
      for (size_t f = 0; f < sample.drawing_figure_count; ++f) {
        const auto& points = sample.figures[f]->points;
        for (size_t i = 0; i < points.size(); ++i) {
          plot += (i == 0   ? "PU"
                   : i == 1 ? "PD"
                            : ",") +
                  std::to_string(points[i].x + dx) + "," + std::to_string(points[i].y + dy) +
                  (i == 0 || i + 1 == points.size() ? ";" : "");
        }
      }
    }
  }
  return plot + "PU;";
}

TEST(ProgramTimeAgreement, DuplicatedGrid) {
  testing::TempFolder folder;
  const auto sample = LoadProject(SamplePath("disc_with_lead_in.plt"), {}, false);
  const std::string grid = folder.Write("grid.plt", GridOfCopies(*sample, 3, 4, 400));
  SimulatedMachine machine("Qe");
  const auto project = LoadProject(grid, machine.range());
  ASSERT_GE(project->drawing_figure_count, 12 * sample->drawing_figure_count - 0);
  ExpectAgreement(*project, machine);
}

TEST(ProgramTimeAgreement, GridMadeByTheDuplication) {
  SimulatedMachine machine("Qa");
  const auto pattern = LoadProject(SamplePath("frame_with_holes.plt"), machine.range());
  DuplicationParameters values = DefaultParameters(pattern->project_width, pattern->project_height);
  values.columns = 3;
  values.rows = 2;
  static const TextLookup texts = [](std::string_view section, std::string_view key) {
    return UsTexts().GetText(section, key);
  };
  const auto project = BuildDuplicate(*pattern, values, texts);
  ASSERT_GT(project->figures.size(), 6 * pattern->figures.size());
  ExpectAgreement(*project, machine);
}

}  // namespace
}  // namespace varnholt
