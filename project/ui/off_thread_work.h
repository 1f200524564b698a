#pragma once
// A project window's load and plan on a thread of their own, so that the windows keep answering meanwhile: what the
// work tells the operator is handed over to the windows' thread in the order it was told, and the operator's Stop
// reaches the plan's abort checks.

#include <QObject>
#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace varnholt {

class OffThreadWork {
 public:
  // What the work sets in a status panel, on the windows' thread.
  using StatusRelay = std::function<void(int panel, const std::string& text)>;

  // context: the window the work is for; what the work tells is delivered through its event queue, and dropped
  // once it is gone.
  OffThreadWork(QObject& context, StatusRelay status);
  // Cancels the work under way and waits for its end.
  ~OffThreadWork();
  OffThreadWork(const OffThreadWork&) = delete;
  OffThreadWork& operator=(const OffThreadWork&) = delete;

  // Runs work on a thread of its own, where the current operator is this work's; returns at once. finished runs
  // on the windows' thread after everything the work told, once it has returned. One work at a time: the one before
  // has been joined.
  void Start(std::function<void()> work, std::function<void()> finished);
  // Waits for the work's end; an exception the work threw is thrown again here.
  void Join();

  // The plan stops at its next abort check, as it would at a key press.
  void StopPlanning() { stop_.store(true); }
  // The work ends as soon as it can: a load unfinished, a plan at its next abort check.
  void Cancel() {
    cancelled_.store(true);
    stop_.store(true);
  }
  bool cancelled() const { return cancelled_.load(); }

 private:
  class ThreadOperator;
  // What the work told, for the windows' thread in the order told; the queue lives as long as a delivery posted for
  // it, which may come after this object has gone (and then finds nothing to do).
  struct Told {
    std::mutex mutex;
    std::deque<std::function<void()>> calls;
  };
  // From the work's thread: call runs on the windows' thread, after everything told before it.
  void Tell(std::function<void()> call);

  QObject& context_;
  std::shared_ptr<Told> told_ = std::make_shared<Told>();
  StatusRelay status_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> cancelled_{false};
  std::unique_ptr<ThreadOperator> op_;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace varnholt
