#pragma once
// A link to a simulated controller for the control panel's dialogs, and an operator whose rounds a test can count.

#include <gtest/gtest.h>

#include <functional>

#include "link/link_test_support.h"
#include "services/scripted_operator.h"

namespace varnholt {

// Records what the scripted operator records, and gives a key or mouse press once the windows have repainted a
// given number of times: the service loops repaint once a round, just before they look at the input.
class PressAfterRounds final : public Operator {
 public:
  void PressAfter(int rounds, PendingInput press) {
    rounds_ = rounds;
    press_ = press;
  }
  // Runs after every repaint, with the number of repaints so far.
  void OnRepaint(std::function<void(int)> hook) { on_repaint_ = std::move(hook); }

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override {
    recorded_.ShowMessageBox(text, is_error, caption);
  }
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override {
    return recorded_.AskQuestion(text, buttons, caption);
  }
  void SetStatusText(int panel, const std::string& text) override { recorded_.SetStatusText(panel, text); }
  void SetBusyCursor(bool busy) override { recorded_.SetBusyCursor(busy); }
  void Repaint() override {
    ++repaints_;
    if (on_repaint_) on_repaint_(repaints_);
  }
  PendingInput TakePendingInput() override {
    ++polls_;
    return repaints_ >= rounds_ ? press_ : PendingInput::kNone;
  }

  const ScriptedOperator& recorded() const { return recorded_; }
  ScriptedOperator& recorded() { return recorded_; }
  int repaints() const { return repaints_; }
  int64_t polls() const { return polls_; }

 private:
  ScriptedOperator recorded_;
  std::function<void(int)> on_repaint_;
  int rounds_ = 1;
  PendingInput press_ = PendingInput::kKeyPress;
  int repaints_ = 0;
  int64_t polls_ = 0;
};

// A simulated controller of a model, identified, with the operator above installed.
class ControlTest : public SimulatedLink {
 protected:
  explicit ControlTest(const std::string& model = "Qe") : SimulatedLink(model) {}

  const std::vector<ScriptedOperator::Message>& messages() const { return rounds_.recorded().messages(); }
  // The commands of a letter (and, when given, a sub-code) the controller received since the last ClearLog.
  size_t CommandsOf(char letter, int code = -1) const {
    size_t count = 0;
    for (const CommandBytes& command : sim_.commands()) {
      if (command[0] == letter && (code < 0 || static_cast<uint8_t>(command[1]) == code)) ++count;
    }
    return count;
  }

  PressAfterRounds rounds_;
  ScopedOperator installed_rounds_{rounds_};
};

}  // namespace varnholt
