// Times, on one DXF file: a bare buffered line read, the DXF reader alone, a project load without its planning
// (reading, curve points, joining, duplicates, measuring) and, when built with it, the dxflib library's parse of the same file.
// Prints MB/s for each. Usage: varnholt-bench-dxf FILE.dxf [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/file_open.h"
#include "files/thpgl.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

#ifdef VARNHOLT_WITH_DXFLIB
#include <dxflib/dl_dxf.h>

#include "dxflib_counter.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Reads the file line by line, touching every byte so the loop cannot be skipped.
double BareLineRead(const std::string& path, size_t& checksum) {
  const auto start = Clock::now();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    for (const char c : line) checksum += static_cast<unsigned char>(c);
  }
  return SecondsSince(start);
}

double ReaderOnly(const std::string& path, size_t& figures, size_t& points) {
  const auto start = Clock::now();
  varnholt::Thpgl reader;
  if (reader.Open(path, varnholt::kDxfFile) != varnholt::kIoOk) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  figures = points = 0;
  while (!reader.AtEof()) {
    varnholt::tfigura figure;
    reader.ReadNextFigure(figure);
    if (figure.has_points) {
      ++figures;
      points += figure.points.size();
    }
  }
  return SecondsSince(start);
}

double ProjectLoad(const std::string& path, size_t& figures) {
  varnholt::ScriptedOperator quiet;
  varnholt::ScopedOperator installed(quiet);
  const auto start = Clock::now();
  varnholt::ProjectDocument project([](std::string_view, std::string_view) { return std::string(); });
  project.reader_kind = varnholt::kDxfFile;
  project.plan_after_load = false;  // loading as the goal counts it: reading, curve points, joining, measuring
  if (!project.Load(path, varnholt::kAllPens)) {
    std::fprintf(stderr, "cannot load %s\n", path.c_str());
    std::exit(1);
  }
  figures = project.drawing_figure_count;
  return SecondsSince(start);
}

#ifdef VARNHOLT_WITH_DXFLIB
double LibraryParse(const std::string& path, size_t& entities) {
  const auto start = Clock::now();
  DxflibCounter counter;
  DL_Dxf dxf;
  if (!dxf.in(path, &counter)) {
    std::fprintf(stderr, "dxflib cannot read %s\n", path.c_str());
    std::exit(1);
  }
  entities = static_cast<size_t>(counter.entities);
  return SecondsSince(start);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s FILE.dxf [ROUNDS]\n", argv[0]);
    return 1;
  }
  const std::string path = argv[1];
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  double bare = 1e9, reader = 1e9, load = 1e9;
  size_t checksum = 0, figures = 0, points = 0, project_figures = 0;
  for (int round = 0; round < rounds; ++round) {
    bare = std::min(bare, BareLineRead(path, checksum));
    reader = std::min(reader, ReaderOnly(path, figures, points));
    load = std::min(load, ProjectLoad(path, project_figures));
  }
  std::printf("file              %.1f MB, %zu figures read, %zu points, %zu figures after joining\n", megabytes,
              figures, points, project_figures);
  std::printf("bare line read    %8.1f MB/s  %8.3f s\n", megabytes / bare, bare);
  std::printf("DXF reader        %8.1f MB/s  %8.3f s\n", megabytes / reader, reader);
  std::printf("project Load      %8.1f MB/s  %8.3f s\n", megabytes / load, load);
#ifdef VARNHOLT_WITH_DXFLIB
  double library = 1e9;
  size_t library_entities = 0;
  for (int round = 0; round < rounds; ++round) library = std::min(library, LibraryParse(path, library_entities));
  std::printf("dxflib parse      %8.1f MB/s  %8.3f s  (%zu entities); Load takes %.0f%% of its time\n",
              megabytes / library, library, library_entities, 100.0 * load / library);
#else
  std::printf("dxflib parse      not built (install libdxflib-dev and rebuild the benchmarks)\n");
#endif
  return checksum == 0 ? 1 : 0;
}
