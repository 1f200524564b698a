#pragma once
// The operator of a cut on the command line: records every box and question by its language key, answers
// questions from the --answer options (else with Cancel), and keeps the transmission's progress texts.

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/message_keys.h"
#include "services/operator.h"

namespace varnholt::cli {

class CutOperator final : public Operator {
 public:
  struct Shown {
    std::optional<MessageKey> key;
    std::string text;
    std::string caption;
  };
  struct Asked {
    std::optional<MessageKey> key;
    int answer = 0;
  };

  // answers: by key (without section), the buttons to give in turn; the last one stays. After answer_deadline_ms
  // on the program clock every question is answered with Cancel, so a wire broken for good ends the run.
  CutOperator(const MessageKeys& keys, std::map<std::string, std::deque<int>> answers, int64_t answer_deadline_ms)
      : keys_(keys), answers_(std::move(answers)), answer_deadline_ms_(answer_deadline_ms) {}

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override;
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetBusyCursor(bool) override {}
  void Repaint() override {}
  PendingInput TakePendingInput() override { return PendingInput::kNone; }

  const std::vector<Shown>& messages() const { return messages_; }
  const std::vector<Asked>& questions() const { return questions_; }
  // The progress texts of the transmission, a repeated text once.
  const std::vector<std::string>& progress() const { return progress_; }
  // The beginning of the transmission's progress texts in the language of the run.
  void SetProgressPrefix(std::string prefix) { progress_prefix_ = std::move(prefix); }

 private:
  const MessageKeys& keys_;
  std::map<std::string, std::deque<int>> answers_;
  int64_t answer_deadline_ms_;
  std::vector<Shown> messages_;
  std::vector<Asked> questions_;
  std::vector<std::string> progress_;
  std::string progress_prefix_;
};

// The button of a name ("OK", "Cancel", "Retry", "Yes", "No", in any case); nothing for another word.
std::optional<int> ButtonOfName(std::string_view name);
std::string ButtonName(int button);

}  // namespace varnholt::cli
