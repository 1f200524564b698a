// Times the load of a drawing (reading, joining, measuring) and the planning of the loaded project in one process,
// in wall-clock and processor time (the better of ROUNDS runs each), and prints their ratios with the peak memory
// after each. Usage: varnholt-bench-plan-load FILE [ROUNDS]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/project_loading.h"
#include "files/file_open.h"
#include "planner/cut_planner.h"
#include "planner/fast_plan_search.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The processor time the process has used so far (user and system), in seconds.
double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The largest resident set the process has had so far, in MB.
double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s FILE [ROUNDS]\n", argv[0]);
    return 1;
  }
  const std::string path = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  varnholt::ScriptedOperator quiet;
  varnholt::ScopedOperator installed(quiet);
  double load = 1e9, plan = 1e9, load_cpu = 1e9, plan_cpu = 1e9, load_peak = 0.0, plan_peak = 0.0;
  size_t figures = 0, entries = 0;
  bool planned = false;
  int32_t unreachable = 0;
  for (int round = 0; round < rounds; ++round) {
    varnholt::ProjectDocument project([](std::string_view, std::string_view) { return std::string(); });
    project.reader_kind = varnholt::DrawingKindOfFile(path);
    project.plan_after_load = false;
    const auto load_start = Clock::now();
    const double load_cpu_start = ProcessorSeconds();
    if (!project.Load(path, varnholt::kAllPens)) {
      std::fprintf(stderr, "cannot load %s\n", path.c_str());
      return 1;
    }
    load = std::min(load, SecondsSince(load_start));
    load_cpu = std::min(load_cpu, ProcessorSeconds() - load_cpu_start);
    if (round == 0) load_peak = PeakMegabytes();
    const auto plan_start = Clock::now();
    const double plan_cpu_start = ProcessorSeconds();
    project.ciecie();
    plan = std::min(plan, SecondsSince(plan_start));
    plan_cpu = std::min(plan_cpu, ProcessorSeconds() - plan_cpu_start);
    if (round == 0) plan_peak = PeakMegabytes();
    figures = project.drawing_figure_count;
    entries = project.figures.size();
    planned = project.planned;
    unreachable = project.last_plan.unreachable;
  }
  std::printf("%zu figures, %zu entries after planning, %s", figures, entries, planned ? "planned" : "NOT planned");
  if (unreachable > 0) std::printf(" (%d unreachable)", unreachable);
  std::printf("\nload %8.3f s  plan %8.3f s  plan/load %5.2f   processor time: load %8.3f s  plan %8.3f s  plan/load %5.2f\n",
              load, plan, plan / load, load_cpu, plan_cpu, plan_cpu / load_cpu);
  std::printf("peak memory: load %7.1f MB  with plan %7.1f MB  plan/load %5.2f\n", load_peak, plan_peak,
              plan_peak / load_peak);
  return 0;
}
