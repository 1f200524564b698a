#pragma once
// Takes the operator's input off the event queue while library work or an animation runs: key presses and
// mouse presses are handed to a callback instead of the windows, and nothing else the operator does reaches
// them.

#include <QObject>
#include <functional>

#include "services/operator.h"

class QEvent;

namespace varnholt {

// What an event is to the abort checks: a key press, a left press, another press or turn of the wheel, or
// none of these (kNone, also for every event that is not input).
PendingInput ClassifyInput(const QEvent& event);

// True for the events an interceptor keeps from the windows: every spontaneous key, mouse, wheel and close
// event, and the shortcut checks of key presses.
bool IsOperatorInput(const QEvent& event);

class InputInterceptor final : public QObject {
 public:
  // Installs itself on the application for its lifetime; presses go to on_input, in the order they came.
  explicit InputInterceptor(std::function<void(PendingInput)> on_input);
  ~InputInterceptor() override;
  InputInterceptor(const InputInterceptor&) = delete;
  InputInterceptor& operator=(const InputInterceptor&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(PendingInput)> on_input_;
};

}  // namespace varnholt
