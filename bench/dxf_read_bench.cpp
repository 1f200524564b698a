// Times the DXF reader against a bare buffered line read of the same file and prints MB/s and figures/s.
// Usage: varnholt-bench-dxf FILE.dxf [ROUNDS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/file_open.h"
#include "files/thpgl.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads the file line by line, touching every byte so the loop cannot be skipped.
double BareLineRead(const std::string& path, size_t& checksum) {
  const auto start = std::chrono::steady_clock::now();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    for (const char c : line) checksum += static_cast<unsigned char>(c);
  }
  return SecondsSince(start);
}

double ReaderLoad(const std::string& path, size_t& figures, size_t& points) {
  const auto start = std::chrono::steady_clock::now();
  varnholt::Thpgl reader;
  if (reader.Open(path, varnholt::kDxfFile) != varnholt::kIoOk) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Usage: %s FILE.dxf [ROUNDS]\n", argv[0]);
    return 1;
  }
  const std::string path = argv[1];
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  double best_bare = 1e9, best_reader = 1e9;
  size_t checksum = 0, figures = 0, points = 0;
  for (int round = 0; round < rounds; ++round) {
    best_bare = std::min(best_bare, BareLineRead(path, checksum));
    figures = points = 0;
    best_reader = std::min(best_reader, ReaderLoad(path, figures, points));
  }
  std::printf("file            %.1f MB, %zu figures, %zu points\n", megabytes, figures, points);
  std::printf("bare line read  %8.1f MB/s\n", megabytes / best_bare);
  std::printf("DXF reader      %8.1f MB/s  (%.0f%% of the bare read), %.0f figures/s, %.1f M points/s\n",
              megabytes / best_reader, 100.0 * best_bare / best_reader, static_cast<double>(figures) / best_reader,
              static_cast<double>(points) / best_reader / 1e6);
  return checksum == 0 ? 1 : 0;
}
