// Times two commands as whole processes, taken in turn ROUNDS times: wall-clock, processor time (user and system)
// and peak resident memory of each, the best of the rounds, and the second's over the first's. The commands' output
// goes to /dev/null. Usage: varnholt-bench-pair ROUNDS FIRST... -- SECOND...

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Measure {
  double wall = 1e30, processor = 1e30, peak_mb = 0.0;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Runs the command once and folds its figures into best; false when it could not run or failed.
bool RunOnce(const std::vector<char*>& command, Measure& best) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    execvp(command[0], command.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return false;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  best.wall = std::min(best.wall, wall);
  best.processor = std::min(best.processor, Seconds(usage.ru_utime) + Seconds(usage.ru_stime));
  best.peak_mb = std::max(best.peak_mb, static_cast<double>(usage.ru_maxrss) / 1024.0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> first, second;
  bool after = false;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      after = true;
    } else {
      (after ? second : first).push_back(argv[i]);
    }
  }
  if (argc < 2 || first.empty() || second.empty()) {
    std::fprintf(stderr, "Usage: %s ROUNDS FIRST... -- SECOND...\n", argv[0]);
    return 1;
  }
  first.push_back(nullptr);
  second.push_back(nullptr);
  const int rounds = std::max(1, std::atoi(argv[1]));
  Measure a, b;
  for (int round = 0; round < rounds; ++round) {
    if (!RunOnce(first, a) || !RunOnce(second, b)) {
      std::fprintf(stderr, "a command failed\n");
      return 1;
    }
  }
  std::printf("first %7.3f s wall %7.3f s processor %7.1f MB | second %7.3f s wall %7.3f s processor %7.1f MB | "
              "second/first wall %5.2f processor %5.2f memory %5.2f\n",
              a.wall, a.processor, a.peak_mb, b.wall, b.processor, b.peak_mb, b.wall / a.wall,
              b.processor / a.processor, b.peak_mb / a.peak_mb);
  return 0;
}
