#pragma once
// Qt's key events as the control panel takes them: virtual key codes with Qt's own auto-repeat flag, the keypad
// flag and the modifiers.

#include <QKeyEvent>
#include <optional>

#include "control/panel_keys.h"

namespace varnholt {

// The virtual key code of a Qt key (0 for a key the panel has no use for).
int VirtualKeyOf(int qt_key);

// The panel's key for a Qt key with its modifiers; keypad keys carry Qt::KeypadModifier.
PanelKey PanelKeyOf(int qt_key, Qt::KeyboardModifiers modifiers, bool auto_repeat);
PanelKey PanelKeyOf(const QKeyEvent& event);

// The key of event is the physical key of a press noted as qt_key and scan_code: by scan code where the platform
// gives one (the key of "," let go with Shift held reports "<"), else by the Qt key.
bool SamePhysicalKey(int qt_key, quint32 scan_code, const QKeyEvent& event);

// Tells the press of an auto-repeat pair that came without Qt's auto-repeat flag. A held key repeats as a release
// and a press with one timestamp; on X11 the press can reach the program only after Qt has handed the release on as
// a real one, and then neither carries the flag.
class RepeatPairs {
 public:
  // Platforms that stamp their key events (0 stands for no time) allow the pairing.
  static bool CanPair(const QKeyEvent& event) { return event.timestamp() != 0; }

  // Notes a release that came as a real one.
  void NoteRelease(const QKeyEvent& release);
  // True when press is of the key whose real release was noted last and carries its timestamp: the key never
  // went up.
  bool IsRepeatPress(const QKeyEvent& press) const;

 private:
  struct Release {
    int qt_key;
    quint32 scan_code;
    quint64 timestamp;
  };
  std::optional<Release> last_;
};

}  // namespace varnholt
