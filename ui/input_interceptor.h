#pragma once
// Takes the operator's input off the event queue while library work or an animation runs: key presses and
// mouse presses are handed to a callback instead of the windows, and nothing else the operator does reaches
// them.

#include <QObject>
#include <functional>
#include <vector>

#include "services/operator.h"

class QEvent;

namespace varnholt {

// What an event is to the abort checks: a key press, a left press, another press or turn of the wheel, or
// none of these (kNone, also for every event that is not input).
PendingInput ClassifyInput(const QEvent& event);
// The same for an event on its way to target: the Stop key (Space) and a left press on a Stop button (the main
// window's SpeedStop, the control panel's kstop) are the operator's Stop.
PendingInput ClassifyInput(const QObject* target, const QEvent& event);

// True for the events an interceptor keeps from the windows: every spontaneous key, mouse, wheel and close
// event, and the shortcut checks of key presses.
bool IsOperatorInput(const QEvent& event);

// Notes, while it lives, the key and left-button releases that interceptors keep from the windows: a window whose
// held key or button started something that lasts until the release learns of a release it never received.
// Watches nest; the innermost one is told.
class MissedReleaseWatch {
 public:
  MissedReleaseWatch();
  ~MissedReleaseWatch();
  MissedReleaseWatch(const MissedReleaseWatch&) = delete;
  MissedReleaseWatch& operator=(const MissedReleaseWatch&) = delete;

  // A real release (no auto-repeat) of the key was taken: the same physical key when the platform reports native
  // scan codes, else the same Qt key.
  bool KeyReleased(int qt_key, quint32 native_scan_code) const;
  // A release of the left mouse button was taken.
  bool LeftButtonReleased() const { return left_released_; }
  // Called by the interceptors with each event they keep from the windows.
  static void Note(const QEvent& event);

 private:
  struct Release {
    int key;
    quint32 scan_code;
  };
  std::vector<Release> releases_;
  bool left_released_ = false;
  MissedReleaseWatch* outer_;
};

class InputInterceptor final : public QObject {
 public:
  // Installs itself on the application for its lifetime; presses go to on_input, in the order they came. A key
  // press that on_key takes (returns true for) goes to it instead, as the key it is.
  explicit InputInterceptor(std::function<void(PendingInput)> on_input,
                            std::function<bool(int qt_key)> on_key = nullptr);
  ~InputInterceptor() override;
  InputInterceptor(const InputInterceptor&) = delete;
  InputInterceptor& operator=(const InputInterceptor&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void(PendingInput)> on_input_;
  std::function<bool(int)> on_key_;
};

}  // namespace varnholt
