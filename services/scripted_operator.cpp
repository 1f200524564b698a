#include "services/scripted_operator.h"

#include <algorithm>

namespace varnholt {

void ScriptedOperator::ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) {
  messages_.push_back({text, is_error, caption, busy_});
}

int ScriptedOperator::AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) {
  int answer = kButtonOk;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  } else if (Offers(buttons, kButtonCancel)) {
    answer = kButtonCancel;
  } else if (Offers(buttons, kButtonNo)) {
    answer = kButtonNo;
  }
  questions_.push_back({text, buttons, caption, answer});
  return answer;
}

void ScriptedOperator::SetStatusText(int panel, const std::string& text) {
  if (panel < 0) return;
  if (status_.size() <= static_cast<size_t>(panel)) status_.resize(static_cast<size_t>(panel) + 1);
  status_[static_cast<size_t>(panel)] = text;
  status_history_.push_back(text);
}

std::string ScriptedOperator::status(int panel) const {
  if (panel < 0 || static_cast<size_t>(panel) >= status_.size()) return "";
  return status_[static_cast<size_t>(panel)];
}

void ScriptedOperator::InjectInputAfter(int64_t polls, PendingInput event) {
  injections_.push_back({polls_ + polls, event});
  std::stable_sort(injections_.begin(), injections_.end(),
                   [](const Injection& a, const Injection& b) { return a.at_poll < b.at_poll; });
}

PendingInput ScriptedOperator::TakePendingInput() {
  ++polls_;
  if (!injections_.empty() && injections_.front().at_poll < polls_) {
    const PendingInput event = injections_.front().event;
    injections_.pop_front();
    return event;
  }
  return PendingInput::kNone;
}

bool ScriptedOperator::TakeStopInput() {
  ++polls_;
  for (auto at = injections_.begin(); at != injections_.end() && at->at_poll < polls_; ++at) {
    if (at->event == PendingInput::kStop) {
      injections_.erase(at);
      return true;
    }
  }
  return false;
}

void ScriptedOperator::DropPendingInput() {
  // Only what was due is dropped: input scripted for later polls belongs to a later operation.
  while (!injections_.empty() && injections_.front().at_poll < polls_) {
    injections_.pop_front();
    ++dropped_inputs_;
  }
}

}  // namespace varnholt
