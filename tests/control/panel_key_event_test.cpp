// Qt's keys as the control panel's codes.

#include "control/ui/panel_key_event.h"

#include <gtest/gtest.h>

#include <memory>

#include "link/controller_ops.h"

namespace varnholt {
namespace {

int Meaning(int qt_key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  return PanelKeyMeaning(PanelKeyOf(qt_key, modifiers, false));
}

TEST(PanelKeyEvents, KeysBecomeThePanelsCodes) {
  // The jog keys of the conveyor and the ends of the three number ranges.
  EXPECT_EQ(Meaning(Qt::Key_Comma), kKeyComma);
  EXPECT_EQ(Meaning(Qt::Key_Period), kKeyPeriod);
  EXPECT_EQ(Meaning(Qt::Key_9), '9');
  EXPECT_EQ(Meaning(Qt::Key_Z), 'Z');
  EXPECT_EQ(Meaning(Qt::Key_F12), kKeyF12);
  EXPECT_EQ(Meaning(Qt::Key_Launch0), 0) << "a key the panel has no use for";
}

TEST(PanelKeyEvents, KeypadKeysAreToldApartFromTheMainKeyboards) {
  EXPECT_EQ(Meaning(Qt::Key_8, Qt::KeypadModifier), kKeyNumpad8);
  EXPECT_EQ(Meaning(Qt::Key_8), '8');
  EXPECT_EQ(Meaning(Qt::Key_Left, Qt::KeypadModifier), kKeyLeft) << "keypad 4 without Num Lock jogs the same";
  EXPECT_EQ(Meaning(Qt::Key_0, Qt::KeypadModifier), kKeyNumpad0);
  EXPECT_EQ(Meaning(Qt::Key_Plus, Qt::KeypadModifier), kKeyNumpadPlus);
  EXPECT_EQ(Meaning(Qt::Key_Plus), kKeyPlus);
  EXPECT_EQ(Meaning(Qt::Key_Minus, Qt::KeypadModifier), kKeyNumpadMinus);
  EXPECT_EQ(Meaning(Qt::Key_Minus), kKeyMinus);
  // Keypad 5 without Num Lock.
  EXPECT_EQ(Meaning(Qt::Key_Clear, Qt::KeypadModifier), kKeyNumpad5);
}

TEST(PanelKeyEvents, TheEventsFlagsComeAlong) {
  const QKeyEvent event(QEvent::KeyPress, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier,
                        QString(), true);
  const PanelKey key = PanelKeyOf(event);
  EXPECT_EQ(key.code, kKeyF12);
  EXPECT_TRUE(key.auto_repeat);
  EXPECT_TRUE(key.ctrl && key.alt && key.shift);
  EXPECT_FALSE(key.keypad);
}

TEST(PanelKeyEvents, ARepeatPairIsAReleaseAndAPressOfOneKeyAtOneTime) {
  const auto event = [](QEvent::Type type, int key, quint64 timestamp, quint32 scan_code = 0) {
    auto e = std::make_unique<QKeyEvent>(type, key, Qt::NoModifier, scan_code, 0, 0);
    e->setTimestamp(timestamp);
    return e;
  };
  RepeatPairs pairs;
  EXPECT_FALSE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Right, 500))) << "no release yet";
  pairs.NoteRelease(*event(QEvent::KeyRelease, Qt::Key_Right, 500));
  EXPECT_TRUE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Right, 500)));
  EXPECT_FALSE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Right, 501))) << "pressed again";
  EXPECT_FALSE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Left, 500))) << "another key";
  // The same physical key by scan code, whatever Shift makes of it.
  pairs.NoteRelease(*event(QEvent::KeyRelease, Qt::Key_Greater, 700, 60));
  EXPECT_TRUE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Period, 700, 60)));
  EXPECT_FALSE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Period, 700, 61)));
  // Without timestamps nothing pairs.
  pairs.NoteRelease(*event(QEvent::KeyRelease, Qt::Key_Right, 0));
  EXPECT_FALSE(pairs.IsRepeatPress(*event(QEvent::KeyPress, Qt::Key_Right, 0)));
}

}  // namespace
}  // namespace varnholt
