#include "project/ui/off_thread_work.h"

#include <QMetaObject>
#include <utility>

#include "services/operator.h"

namespace varnholt {

// The operator of the work's thread: status texts and messages go to the windows' thread (a box there does not
// hold the work up), the abort checks see the Stop of planning, and nothing waits for the operator.
class OffThreadWork::ThreadOperator final : public Operator {
 public:
  explicit ThreadOperator(OffThreadWork& work) : work_(work) {}

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    work_.Tell([text, is_error, caption] { CurrentOperator().ShowMessageBox(text, is_error, caption); });
  }
  // Nothing the load or the plan does asks; were it to, the safe choice is taken without asking.
  int AskQuestion(const std::string&, ButtonSet buttons, const std::string&) override {
    for (DialogButton safe : {kButtonCancel, kButtonNo, kButtonOk}) {
      if (Offers(buttons, safe)) return safe;
    }
    return kButtonCancel;
  }
  void SetStatusText(int panel, const std::string& text) override {
    work_.Tell([status = work_.status_, panel, text] { status(panel, text); });
  }
  // The window shows its own busy state.
  void SetBusyCursor(bool) override {}
  // The windows repaint by themselves.
  void Repaint() override {}
  PendingInput TakePendingInput() override {
    return work_.stop_.load() ? PendingInput::kKeyPress : PendingInput::kNone;
  }
  bool WorkCancelled() override { return work_.cancelled_.load(); }

 private:
  OffThreadWork& work_;
};

OffThreadWork::OffThreadWork(QObject& context, StatusRelay status)
    : context_(context), status_(std::move(status)), op_(std::make_unique<ThreadOperator>(*this)) {}

OffThreadWork::~OffThreadWork() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void OffThreadWork::Start(std::function<void()> work, std::function<void()> finished) {
  Join();
  failure_ = nullptr;
  thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
    {
      const ScopedThreadOperator installed(*op_);
      try {
        work();
      } catch (...) {
        failure_ = std::current_exception();
      }
    }
    // After every text and message the work told.
    Tell(finished);
  });
}

void OffThreadWork::Tell(std::function<void()> call) {
  {
    const std::lock_guard<std::mutex> lock(told_->mutex);
    told_->calls.push_back(std::move(call));
  }
  // The calls themselves pass through the queue's lock, not through the event that has them delivered.
  QMetaObject::invokeMethod(
      &context_,
      [told = told_] {
        for (;;) {
          std::function<void()> next;
          {
            const std::lock_guard<std::mutex> lock(told->mutex);
            if (told->calls.empty()) return;
            next = std::move(told->calls.front());
            told->calls.pop_front();
          }
          next();
        }
      },
      Qt::QueuedConnection);
}

void OffThreadWork::Join() {
  if (thread_.joinable()) thread_.join();
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace varnholt
