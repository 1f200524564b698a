#include "control/ui/panel_key_event.h"

#include "link/controller_ops.h"

namespace varnholt {
namespace {

struct KeyPair {
  int qt_key;
  int code;
};

constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},       {Qt::Key_Tab, 9},          {Qt::Key_Clear, kKeyClear},
    {Qt::Key_Return, 13},         {Qt::Key_Enter, 13},       {Qt::Key_Shift, kKeyShift},
    {Qt::Key_Control, kKeyControl}, {Qt::Key_Alt, kKeyAlt}, {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},          {Qt::Key_PageUp, kKeyPageUp}, {Qt::Key_PageDown, kKeyPageDown},
    {Qt::Key_End, 35},            {Qt::Key_Home, kKeyHome},  {Qt::Key_Left, kKeyLeft},
    {Qt::Key_Up, kKeyUp},         {Qt::Key_Right, kKeyRight}, {Qt::Key_Down, kKeyDown},
    {Qt::Key_Insert, kKeyInsert}, {Qt::Key_Delete, 46},      {Qt::Key_Plus, kKeyPlus},  {Qt::Key_Equal, kKeyPlus},
    {Qt::Key_Minus, kKeyMinus},   {Qt::Key_Comma, kKeyComma}, {Qt::Key_Period, kKeyPeriod},
};

}  // namespace

int VirtualKeyOf(int qt_key) {
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return kKeyDigit0 + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 'A' + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F12) return kKeyF1 + (qt_key - Qt::Key_F1);
  for (const KeyPair& pair : kKeys) {
    if (pair.qt_key == qt_key) return pair.code;
  }
  return 0;
}

PanelKey PanelKeyOf(int qt_key, Qt::KeyboardModifiers modifiers, bool auto_repeat) {
  PanelKey key;
  key.code = VirtualKeyOf(qt_key);
  key.auto_repeat = auto_repeat;
  key.keypad = modifiers.testFlag(Qt::KeypadModifier);
  key.shift = modifiers.testFlag(Qt::ShiftModifier);
  key.ctrl = modifiers.testFlag(Qt::ControlModifier);
  key.alt = modifiers.testFlag(Qt::AltModifier);
  return key;
}

PanelKey PanelKeyOf(const QKeyEvent& event) {
  return PanelKeyOf(event.key(), event.modifiers(), event.isAutoRepeat());
}

bool SamePhysicalKey(int qt_key, quint32 scan_code, const QKeyEvent& event) {
  if (scan_code != 0 && event.nativeScanCode() != 0) return scan_code == event.nativeScanCode();
  return qt_key == event.key();
}

void RepeatPairs::NoteRelease(const QKeyEvent& release) {
  last_ = Release{release.key(), release.nativeScanCode(), release.timestamp()};
}

bool RepeatPairs::IsRepeatPress(const QKeyEvent& press) const {
  return last_ && CanPair(press) && press.timestamp() == last_->timestamp &&
         SamePhysicalKey(last_->qt_key, last_->scan_code, press);
}

}  // namespace varnholt
