#include "planner/plan_threads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace varnholt {
namespace {

std::atomic<int> chosen_threads{0};
thread_local const std::function<void()>* current_tick = nullptr;

}  // namespace

void PlanningTick() {
  if (current_tick != nullptr) (*current_tick)();
}

ScopedPlanningTick::ScopedPlanningTick(std::function<void()> tick) : tick_(std::move(tick)), outer_(current_tick) {
  current_tick = &tick_;
}

ScopedPlanningTick::~ScopedPlanningTick() { current_tick = outer_; }

int PlanningThreads() {
  const int chosen = chosen_threads.load();
  if (chosen > 0) return chosen;
  const auto processor = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(processor, 1, kMaxPlanningThreads);
}

void SetPlanningThreads(int threads) { chosen_threads.store(std::max(threads, 0)); }

void ForEachPiece(size_t count, size_t pieces, const std::function<void(size_t, size_t, size_t)>& work) {
  pieces = std::max<size_t>(pieces, 1);
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_lock;
  const auto run = [&](bool caller) {
    for (size_t piece = next++; piece < pieces; piece = next++) {
      try {
        work(piece, count * piece / pieces, count * (piece + 1) / pieces);
        if (caller) PlanningTick();
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failure_lock);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  const size_t helpers = std::min(pieces, static_cast<size_t>(PlanningThreads())) - 1;
  std::vector<std::thread> threads;
  threads.reserve(helpers);
  for (size_t t = 0; t < helpers; ++t) threads.emplace_back(run, false);
  run(true);
  for (std::thread& thread : threads) thread.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace varnholt
