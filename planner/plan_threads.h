#pragma once
// Planning's parts that split into independent pieces of work run them on several threads: every piece writes only
// its own results, which are put together in the pieces' order, so that a plan is the same whatever the number of
// threads.

#include <cstddef>
#include <functional>

namespace varnholt {

// The threads planning uses: the processor's count, at most kMaxPlanningThreads, unless set.
inline constexpr int kMaxPlanningThreads = 8;
int PlanningThreads();
// 0 restores the processor's count; tests set 1 and more to compare the results.
void SetPlanningThreads(int threads);

// Calls work(piece, begin, end) for `pieces` consecutive ranges of [0, count) of about equal size (piece 0 first),
// each piece on whichever thread is free, the calling thread included, which calls PlanningTick() after each of its
// pieces; returns when all are done. An exception of any piece is thrown again here once every thread has ended.
void ForEachPiece(size_t count, size_t pieces, const std::function<void(size_t piece, size_t begin, size_t end)>& work);

// Long planning steps call PlanningTick() now and then on the thread that plans; while a ScopedPlanningTick lives
// on that thread, its function runs there (the planner shows its progress and lets the windows repaint). On other
// threads, and without one, it does nothing.
void PlanningTick();
class ScopedPlanningTick {
 public:
  explicit ScopedPlanningTick(std::function<void()> tick);
  ~ScopedPlanningTick();
  ScopedPlanningTick(const ScopedPlanningTick&) = delete;
  ScopedPlanningTick& operator=(const ScopedPlanningTick&) = delete;

 private:
  std::function<void()> tick_;
  const std::function<void()>* outer_;
};

}  // namespace varnholt
