#pragma once
// Qt's key events as the control panel takes them: virtual key codes with Qt's own auto-repeat flag, the keypad
// flag and the modifiers.

#include <QKeyEvent>

#include "control/panel_keys.h"

namespace varnholt {

// The virtual key code of a Qt key (0 for a key the panel has no use for).
int VirtualKeyOf(int qt_key);

// The panel's key for a Qt key with its modifiers; keypad keys carry Qt::KeypadModifier.
PanelKey PanelKeyOf(int qt_key, Qt::KeyboardModifiers modifiers, bool auto_repeat);
PanelKey PanelKeyOf(const QKeyEvent& event);

}  // namespace varnholt
