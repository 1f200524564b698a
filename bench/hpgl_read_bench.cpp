// Times the plot reader against a bare buffered line read of the same file and prints both in MB/s.
// Usage: varnholt-bench-hpgl FILE.plt [ROUNDS]
//
// Both are timed in processor time of the process, which other programs on a busy machine disturb far less than
// the wall clock, alternately round by round so that a slow spell of the machine falls on both. The share is given
// for the best round of each and as the median of the rounds' own shares.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <time.h>

#include "files/file_open.h"
#include "files/thpgl.h"

namespace {

double ProcessorSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double SecondsSince(double start) { return ProcessorSeconds() - start; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
}

// Reads the file line by line, touching every byte so the loop cannot be skipped.
double BareLineRead(const std::string& path, size_t& checksum) {
  const double start = ProcessorSeconds();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    for (const char c : line) checksum += static_cast<unsigned char>(c);
  }
  return SecondsSince(start);
}

double ReaderLoad(const std::string& path, size_t& figures, size_t& points) {
  const double start = ProcessorSeconds();
  varnholt::Thpgl reader;
  if (reader.Open(path, varnholt::kPlotFile) != varnholt::kIoOk) {
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
    std::fprintf(stderr, "Usage: %s FILE.plt [ROUNDS]\n", argv[0]);
    return 1;
  }
  const std::string path = argv[1];
  const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 9);
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
  double best_bare = 1e9, best_reader = 1e9;
  size_t checksum = 0, figures = 0, points = 0;
  std::vector<double> shares;
  for (int round = 0; round < rounds; ++round) {
    const double bare = BareLineRead(path, checksum);
    figures = points = 0;
    const double reader = ReaderLoad(path, figures, points);
    best_bare = std::min(best_bare, bare);
    best_reader = std::min(best_reader, reader);
    shares.push_back(bare / reader);
  }
  std::printf("file            %.1f MB, %zu figures, %zu points\n", megabytes, figures, points);
  std::printf("bare line read  %8.1f MB/s\n", megabytes / best_bare);
  std::printf("plot reader     %8.1f MB/s  (%.0f%% of the bare read, best rounds; median of %d rounds %.0f%%)\n",
              megabytes / best_reader, 100.0 * best_bare / best_reader, rounds, 100.0 * Median(shares));
  return checksum == 0 ? 1 : 0;
}
