#pragma once
// An operator for tests and headless runs: records what was shown and answers from a script.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "services/operator.h"

namespace varnholt {

class ScriptedOperator final : public Operator {
 public:
  struct Message {
    std::string text;
    bool is_error = false;
    std::string caption;
    bool busy = false;  // the hourglass was showing when the box came up
  };
  struct Question {
    std::string text;
    ButtonSet buttons = 0;
    std::string caption;
    int answer = 0;
  };

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override;
  // Answers with the next scripted answer; without one, with the safe choice: Cancel, else No, else OK.
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetBusyCursor(bool busy) override { busy_ = busy; }
  void Repaint() override { ++repaints_; }
  // Delivers the scripted input once the given number of polls have passed, kNone otherwise.
  PendingInput TakePendingInput() override;
  // A poll too; takes a due Stop and leaves other due input for TakePendingInput.
  bool TakeStopInput() override;
  void DropPendingInput() override;

  // Queues the answer to the next question.
  void AnswerNext(int button) { answers_.push_back(button); }
  // Makes the poll after `polls` more polls return the event.
  void InjectInputAfter(int64_t polls, PendingInput event);
  // Input given now: the next poll sees it.
  void GiveInput(PendingInput event) { InjectInputAfter(0, event); }
  // Input events that were given and dropped unseen at the end of an operation.
  int64_t dropped_inputs() const { return dropped_inputs_; }

  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Question>& questions() const { return questions_; }
  // The latest text of a status panel ("" when never set).
  std::string status(int panel) const;
  const std::vector<std::string>& status_history() const { return status_history_; }
  bool busy() const { return busy_; }
  int64_t polls() const { return polls_; }
  int64_t repaints() const { return repaints_; }

 private:
  struct Injection {
    int64_t at_poll;
    PendingInput event;
  };

  std::vector<Message> messages_;
  std::vector<Question> questions_;
  std::deque<int> answers_;
  std::vector<std::string> status_;
  std::vector<std::string> status_history_;
  std::deque<Injection> injections_;
  bool busy_ = false;
  int64_t polls_ = 0;
  int64_t repaints_ = 0;
  int64_t dropped_inputs_ = 0;
};

}  // namespace varnholt
