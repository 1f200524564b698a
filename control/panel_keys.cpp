#include "control/panel_keys.h"

#include "link/controller_ops.h"

namespace varnholt {

int PanelKeyMeaning(const PanelKey& key) {
  if (!key.keypad) return key.code;
  if (key.code >= kKeyDigit0 && key.code <= kKeyDigit9) return kKeyNumpad0 + (key.code - kKeyDigit0);
  if (key.code == kKeyPlus || key.code == kKeyNumpadPlus) return kKeyNumpadPlus;
  if (key.code == kKeyMinus || key.code == kKeyNumpadMinus) return kKeyNumpadMinus;
  if (key.code == kKeyClear) return kKeyNumpad5;
  return key.code;
}

bool IsArmJogKey(int code) {
  return (code >= kKeyLeft && code <= kKeyDown) || (code >= kKeyNumpad1 && code <= kKeyNumpad9 && code != kKeyNumpad5);
}

bool IsJogKey(int code) {
  return IsArmJogKey(code) || code == kKeyPageUp || code == kKeyPageDown || code == kKeyComma || code == kKeyPeriod;
}

}  // namespace varnholt
