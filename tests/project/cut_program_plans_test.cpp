// Planned projects written as machine programs and read back: every program decodes whole, the wire ends where it
// began, and writing the same plan twice gives the same program.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "files/program_decoder.h"
#include "plan_projects.h"
#include "project/cut_program.h"
#include "project/fast_plan_search.h"
#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kProjects = 12;  // the sanitizer build writes fewer and smaller projects
#else
constexpr uint32_t kProjects = 48;
#endif

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(CutProgramOfPlans, EveryPlannedProjectMakesAClosedWholeProgram) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("out.cn");
  const TextLookup texts = [](std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  };
  Configuration config;
  config.SetNumber(Param::Pauza_w_kacie, 300);
  ControllerState machine;
  machine.StepScaleX = 1.6;  // the calibration of a Qa
  machine.StepScaleY = 1.5184;
  machine.profile.StepMultiplier = 4;
  int written = 0;
  for (uint32_t seed = 1; seed <= kProjects; ++seed) {
    const std::string label = "seed " + std::to_string(seed);
    auto project = RandomProject(seed, 2 + static_cast<int32_t>(seed * 7 % 120), seed % 2 == 0, false);
    ScriptedOperator op;
    ScopedOperator scoped(op);
    project->ciecie();
    if (project->last_plan.unreachable > 0) {
      EXPECT_FALSE(save_ciecie(*project, path, config, machine, {}, texts)) << label << ": figures left pending";
      continue;
    }
    // As the cutting run decides it: a frame of the plan's own is cut only when asked; here every second time.
    project->cut_start_figure = !(project->own_start && project->frame_added) || seed % 4 == 0;
    ASSERT_TRUE(save_ciecie(*project, path, config, machine, {}, texts)) << label;
    const std::string first = ReadFile(path);
    const DecodedProgram decoded = DecodeProgram(first, machine);
    ASSERT_FALSE(decoded.damage_offset) << label << ": " << decoded.damage;
    if (project->cut_start_figure) {
      EXPECT_TRUE(decoded.summary.ends_where_it_started) << label;
    }
    EXPECT_GT(decoded.summary.moves, 0u) << label;
    // The first save turned open figures forward; the second walks the same plan without turning them again.
    ASSERT_TRUE(save_ciecie(*project, path, config, machine, {}, texts)) << label;
    EXPECT_EQ(ReadFile(path), first) << label;
    ++written;
  }
  EXPECT_GE(written, static_cast<int>(kProjects) * 3 / 4);
}

}  // namespace
}  // namespace varnholt
