#pragma once
// Keys as the control panel receives them: virtual key codes with the flags a window's key event carries.

namespace varnholt {

// Virtual key codes the panel knows besides the jog keys of the command set (link/controller_ops.h).
enum PanelKeyCode : int {
  kKeyClear = 12,  // numpad 5 without Num Lock
  kKeyShift = 16,
  kKeyControl = 17,
  kKeyAlt = 18,
  kKeySpace = 32,  // Stop, in the panel as in the main window
  kKeyHome = 36,
  kKeyInsert = 45,
  kKeyDigit0 = 48,
  kKeyDigit9 = 57,
  kKeyE = 69,
  kKeyNumpad0 = 96,
  kKeyNumpad5 = 101,
  kKeyNumpadPlus = 107,
  kKeyNumpadMinus = 109,
  kKeyF1 = 112,
  kKeyF12 = 123,
  kKeyPlus = 187,   // the main keyboard's "=" / "+" key
  kKeyMinus = 189,  // the main keyboard's "-" key
};

// One key event: the virtual key code of the key, and whether it is an auto-repeat, comes from the numeric
// keypad, and which modifiers are held.
struct PanelKey {
  int code = 0;
  bool auto_repeat = false;
  bool keypad = false;
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The code the panel acts on: digits, plus, minus and Clear of the keypad become the numpad codes; every other key
// keeps its code.
int PanelKeyMeaning(const PanelKey& key);

// The arrows, numpad 1-4 and 6-9, PageUp, PageDown, "," and ".".
bool IsJogKey(int code);
// The arrows and numpad keys among them (their release waits for the machine and reads the positions).
bool IsArmJogKey(int code);

}  // namespace varnholt
