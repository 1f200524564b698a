#pragma once
// The operator port: everything the libraries show to, or take from, the person at the machine.

#include <cstdint>
#include <string>

namespace varnholt {

// Status bar panels: the main window's, and the line of the project window a load or a plan reports in.
inline constexpr int kMainWindowStatusPanel = 0;
inline constexpr int kProjectStatusPanel = 1;

// Button codes of questions, as the dialogs return them.
enum DialogButton : int { kButtonOk = 1, kButtonCancel = 2, kButtonRetry = 4, kButtonYes = 6, kButtonNo = 7 };

// A set of buttons offered by a question: bit (1 << code) for each button code.
using ButtonSet = uint32_t;
constexpr ButtonSet Buttons(std::initializer_list<DialogButton> buttons) {
  ButtonSet set = 0;
  for (DialogButton b : buttons) set |= ButtonSet{1} << static_cast<int>(b);
  return set;
}
constexpr bool Offers(ButtonSet set, DialogButton button) {
  return (set & (ButtonSet{1} << static_cast<int>(button))) != 0;
}

// One waiting input event, as the abort checks and the waits see it. kStop is the operator's Stop: the Stop key or a
// press of a Stop button.
enum class PendingInput { kNone, kKeyPress, kLeftPress, kOther, kStop };

// A key press, a left press or a Stop: the input that ends long work and the machine's waits on the operator.
inline bool IsAbortingPress(PendingInput input) {
  return input == PendingInput::kKeyPress || input == PendingInput::kLeftPress || input == PendingInput::kStop;
}

class Operator {
 public:
  virtual ~Operator() = default;
  // A modal box with an OK button; the title is caption, or "Error"/"Information" when caption is empty.
  virtual void ShowMessageBox(const std::string& text, bool is_error, const std::string& caption) = 0;
  // A modal question offering buttons; returns the code of the button pressed.
  virtual int AskQuestion(const std::string& text, ButtonSet buttons, const std::string& caption) = 0;
  // Text of one status bar panel.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  // Lets the windows repaint during long work on the one thread.
  virtual void Repaint() = 0;
  // Removes one waiting input event from the queue and says what it was.
  virtual PendingInput TakePendingInput() = 0;
  // Looks at the operator's waiting input (letting the windows repaint) and removes the first Stop among it; the
  // rest stays queued for the abort checks. True when there was a Stop.
  virtual bool TakeStopInput() { return false; }
  // Forgets the waiting input: the operation it was given during has ended.
  virtual void DropPendingInput() {}
  // True when the work under way is to end at once, unfinished (the window it works for is closing); a load looks
  // at it as it shows its progress and gives up.
  virtual bool WorkCancelled() { return false; }

  // Event loops the windows run inside the library's work now (a wait, a box): what starts from one runs in the
  // middle of that work.
  int nested_loops() const { return nested_loops_; }

 private:
  friend class BusyCursor;
  friend class NestedLoop;
  // Busy-cursor guards alive on this operator; the hourglass goes when the outermost one ends.
  int busy_depth_ = 0;
  int nested_loops_ = 0;
};

// Marks, for its lifetime, an event loop the windows run inside library work.
class NestedLoop {
 public:
  explicit NestedLoop(Operator& op) : op_(op) { ++op_.nested_loops_; }
  ~NestedLoop() { --op_.nested_loops_; }
  NestedLoop(const NestedLoop&) = delete;
  NestedLoop& operator=(const NestedLoop&) = delete;

 private:
  Operator& op_;
};

// The operator in use: the calling thread's own (ScopedThreadOperator), else the installed one; until the program
// installs one, a ScriptedOperator without a script (messages recorded, questions answered with the safe choice).
Operator& CurrentOperator();
// Installs an operator (nullptr restores the default). The caller keeps it alive while it is installed.
void SetOperator(Operator* op);

// Installs an operator for the calling thread alone, for the lifetime of the guard: work moved off the windows'
// thread reports through it, and the other threads keep theirs.
class ScopedThreadOperator {
 public:
  explicit ScopedThreadOperator(Operator& op);
  ~ScopedThreadOperator();
  ScopedThreadOperator(const ScopedThreadOperator&) = delete;
  ScopedThreadOperator& operator=(const ScopedThreadOperator&) = delete;

 private:
  Operator* previous_;
};

// Shows the hourglass for the lifetime of the guard. Guards nest: one made while another is alive on the same
// operator leaves the hourglass to the outer one, so a step that shows it inside a longer operation does not take it
// away for the rest of that operation.
class BusyCursor {
 public:
  BusyCursor() : BusyCursor(CurrentOperator()) {}
  explicit BusyCursor(Operator& op);
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Operator& op_;
};

// Installs an operator for the lifetime of the guard and restores the previous one afterwards.
class ScopedOperator {
 public:
  explicit ScopedOperator(Operator& op);
  ~ScopedOperator();
  ScopedOperator(const ScopedOperator&) = delete;
  ScopedOperator& operator=(const ScopedOperator&) = delete;

 private:
  Operator* previous_;
};

}  // namespace varnholt
