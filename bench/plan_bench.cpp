// Planning time of the shipped planner and of the plain loops on letter grids, and whether their plans agree; with
// --file, the same on drawings loaded from files.
// Usage: varnholt-bench-plan [COUNT...] (default 100 1000 10000)
//        varnholt-bench-plan --file DRAWING...

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_open.h"
#include "planner/cut_planner.h"
#include "planner/fast_plan_search.h"
#include "planner/literal_plan_search.h"
#include "services/scripted_operator.h"
#include "support/plan_projects.h"

namespace {

using varnholt::ProjectDocument;

struct Timed {
  double seconds = 0.0;
  std::vector<std::string> plan;
  size_t entries = 0;
  bool planned = false;
};

Timed PlanOnce(const ProjectDocument& source, bool literal) {
  auto project = varnholt::CopyProject(source);
  varnholt::ScriptedOperator op;
  varnholt::ScopedOperator installed(op);
  const auto search = literal ? varnholt::MakeLiteralPlanSearch() : varnholt::MakeFastPlanSearch();
  const auto begin = std::chrono::steady_clock::now();
  varnholt::PlanCut(*project, *search);
  const auto end = std::chrono::steady_clock::now();
  Timed timed;
  timed.seconds = std::chrono::duration<double>(end - begin).count();
  timed.plan = varnholt::DescribePlan(*project);
  timed.entries = project->figures.size();
  timed.planned = project->planned;
  return timed;
}

}  // namespace

// Loads a drawing as the command line tool does, without planning it; nothing when it cannot be loaded.
std::unique_ptr<ProjectDocument> LoadDrawing(const std::string& path) {
  auto project = std::make_unique<ProjectDocument>([](std::string_view, std::string_view) { return std::string(); });
  project->reader_kind = varnholt::DrawingKindOfFile(path);
  project->plan_after_load = false;
  varnholt::ScriptedOperator op;
  varnholt::ScopedOperator installed(op);
  if (!project->Load(path, varnholt::kAllPens, varnholt::LoadOptions{.keep_drawn_figures = false})) return nullptr;
  return project;
}

// Both planners on each drawing; false when a plan differs or a drawing cannot be loaded.
bool CompareFiles(const std::vector<std::string>& paths) {
  bool same_everywhere = true;
  for (const std::string& path : paths) {
    const auto project = LoadDrawing(path);
    if (!project) {
      std::printf("%s: cannot be loaded\n", path.c_str());
      same_everywhere = false;
      continue;
    }
    const Timed fast = PlanOnce(*project, false);
    const Timed literal = PlanOnce(*project, true);
    const bool same = literal.plan == fast.plan;
    same_everywhere = same_everywhere && same;
    std::printf("%s: %zu entries, fast %.3f s, plain loops %.3f s, plans %s\n", path.c_str(), fast.entries,
                fast.seconds, literal.seconds, same ? "identical" : "DIFFER");
  }
  return same_everywhere;
}

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (argc > 1 && std::string(argv[1]) == "--file") return CompareFiles({argv + 2, argv + argc}) ? 0 : 1;
  std::vector<int> counts;
  bool literal_wanted = true;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--fast-only") {
      literal_wanted = false;
    } else {
      counts.push_back(std::atoi(argv[i]));
    }
  }
  if (counts.empty()) counts = {100, 1000, 10000};
  // The plain loops grow with the cube of the figure count; past this estimate they would not end within a minute.
  // Starts from what the plain loops took on this machine (9 s for 1,000 figures) until a run measures it.
  double literal_seconds_per_cube = 5e-9;
  int failures = 0;
  for (int count : counts) {
    for (bool frame : {false, true}) {
      const auto project = varnholt::LetterGrid(count, frame);
      const Timed fast = PlanOnce(*project, false);
      std::printf("%6d figures %-6s fast    %9.3f s  (%zu entries, %s)\n", count, frame ? "frame" : "marker",
                  fast.seconds, fast.entries, fast.planned ? "planned" : "NOT planned");
      if (!literal_wanted) continue;
      const double n3 = static_cast<double>(count) * count * count;
      if (literal_seconds_per_cube > 0.0 && literal_seconds_per_cube * n3 > 60.0) {
        std::printf("%6d figures %-6s literal  skipped (about %.0f s expected)\n", count, frame ? "frame" : "marker",
                    literal_seconds_per_cube * n3);
        continue;
      }
      const Timed literal = PlanOnce(*project, true);
      literal_seconds_per_cube = std::max(literal_seconds_per_cube, literal.seconds / n3);
      const bool same = literal.plan == fast.plan;
      failures += same ? 0 : 1;
      std::printf("%6d figures %-6s literal %9.3f s  %.1fx faster, plans %s\n", count, frame ? "frame" : "marker",
                  literal.seconds, literal.seconds / std::max(fast.seconds, 1e-9), same ? "identical" : "DIFFER");
    }
  }
  return failures == 0 ? 0 : 1;
}
