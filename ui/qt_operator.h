#pragma once
// The operator port over Qt: message boxes and questions, the status panels, the busy cursor, repainting and
// the operator's waiting input during long work on the one thread.

#include <QString>
#include <deque>
#include <functional>
#include <string>

#include "services/operator.h"

namespace varnholt {

class QtOperator : public Operator {
 public:
  // Receives the texts of the main window's status panels.
  using PanelSink = std::function<void(int panel, const QString& text)>;

  QtOperator() = default;
  ~QtOperator() override;
  QtOperator(const QtOperator&) = delete;
  QtOperator& operator=(const QtOperator&) = delete;

  void SetPanelSink(PanelSink sink) { panel_sink_ = std::move(sink); }
  // Unattended runs (the screenshots) have nobody to press a button: boxes go to standard error and questions
  // take the safe choice.
  void SetUnattended(bool unattended) { unattended_ = unattended; }

  void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) override;
  int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) override;
  // Panel 1 goes to the status line of the project window at work, if any, else to the main window's panel 1.
  void SetStatusText(int panel, const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  // Lets posted paints (and timers) run; the operator's input stays queued.
  void Repaint() override;
  // Lets the event loop run once with the operator's input taken off the queue: key and mouse presses are
  // kept for the callers, in order; everything else the operator does meanwhile is dropped.
  PendingInput TakePendingInput() override;
  bool TakeStopInput() override;
  void DropPendingInput() override { pending_.clear(); }

  bool busy() const { return busy_; }

 private:
  // Lets the event loop run once with the operator's input taken off the queue into pending_.
  void CollectInput();

  PanelSink panel_sink_;
  std::deque<PendingInput> pending_;
  bool busy_ = false;
  bool unattended_ = false;
};

// Sends the texts of the project status panel to one project window's status line while that window works.
class ScopedProjectStatusLine {
 public:
  explicit ScopedProjectStatusLine(std::function<void(const QString&)> line);
  ~ScopedProjectStatusLine();
  ScopedProjectStatusLine(const ScopedProjectStatusLine&) = delete;
  ScopedProjectStatusLine& operator=(const ScopedProjectStatusLine&) = delete;

  // Hands text to the innermost project at work; false when none is.
  static bool Route(const QString& text);

 private:
  std::function<void(const QString&)> line_;
  ScopedProjectStatusLine* outer_;
};

// The button of a question box as the operator port numbers it; an unknown answer (the box closed otherwise)
// gives the safe choice among the buttons offered: Cancel, else No, else OK.
int QuestionAnswer(int standard_button, ButtonSet offered);

}  // namespace varnholt
