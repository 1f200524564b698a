// The control panel window's behaviour: the operator's keys, presses and clicks handed to the panel logic, the
// moves a release ends, activation, and the dialogs the panel opens.

#include "control/ui/tster_form.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "control/ui/move_wire_dialog.h"
#include "control/ui/panel_key_event.h"
#include "control/ui/upgrade_program_form.h"
#include "ui/input_interceptor.h"

namespace varnholt {
namespace {

// How long the real release of a jogging key waits for the press of an auto-repeat pair before it ends the jog; the
// two halves of a pair come within a millisecond. The wire goes on this much longer than the key at most.
constexpr int kRepeatPairWaitMs = 20;

}  // namespace

template <typename Operation>
auto TsterForm::Handle(Operation operation) {
  // The view is shown once the outermost handling ends; the status step waits meanwhile (Focus()).
  struct Handling {
    TsterForm& form;
    explicit Handling(TsterForm& f) : form(f) { ++form.handling_; }
    ~Handling() {
      if (--form.handling_ == 0) form.ShowPanelView();
    }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;
  } handling(*this);
  return operation();
}

TsterForm::TsterForm(Tster& panel, MachineLink& link, const ProgramFolders& folders, QWidget* parent)
    : QWidget(parent, Qt::Window), panel_(panel), link_(link) {
  setObjectName("ster");
  BuildControls();
  ApplyLanguage();
  release_wait_ = new QTimer(this);
  release_wait_->setSingleShot(true);
  connect(release_wait_, &QTimer::timeout, this, [this] { EndHeldKey(); });
  move_wire_ = new Tprzesun(link_, this);
  upgrade_ = new TUpgradeProgramForm(link_, folders, this);
  ConnectControls();
  // The panel sees its keys before its controls do.
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive) StopHeldMoves();
  });
  ShowPanelView();
}

TsterForm::~TsterForm() {
  if (QCoreApplication* application = QCoreApplication::instance()) application->removeEventFilter(this);
  StopHeldMoves();
}

void TsterForm::ConnectControls() {
  for (JogButton button : {JogButton::ku, JogButton::kd, JogButton::kl, JogButton::kr, JogButton::ktl,
                            JogButton::ktr, JogButton::kstop}) {
    connect(JogWidget(button), &QToolButton::pressed, this, [this, button] { JogButtonPressed(button); });
    connect(JogWidget(button), &QToolButton::released, this, [this, button] { JogButtonReleased(button); });
  }
  connect(c_.kstop, &QToolButton::clicked, this, [this] { Handle([this] { panel_.kstopClick(); }); });
  connect(c_.k_zalwyl, &QPushButton::clicked, this, [this] { Handle([this] { panel_.k_zalwylClick(); }); });
  connect(c_.k_zalwyl_pionowe, &QPushButton::clicked, this,
          [this] { Handle([this] { panel_.k_zalwyl_pionoweClick(); }); });
  connect(c_.Bazuj, &QPushButton::clicked, this, [this] { Handle([this] { panel_.bazujClick(); }); });
  connect(c_.btnPrzesunDoRamion, &QPushButton::clicked, this,
          [this] { Handle([this] { panel_.btnPrzesunDoRamionClick(); }); });
  connect(c_.keyprzesun, &QPushButton::clicked, this, [this] { keyprzesunClick(); });
  connect(c_.btnUpgrade, &QPushButton::clicked, this, [this] { btnUpgradeClick(); });
  connect(c_.Zamknij, &QPushButton::clicked, this, &QWidget::close);
  for (int item = 0; item < static_cast<int>(c_.belts.size()); ++item) {
    connect(c_.belts[static_cast<size_t>(item)], &QRadioButton::toggled, this, [this, item](bool checked) {
      if (checked) Handle([this, item] { panel_.rgTasmaClick(item); });
    });
  }

  // A bar the operator moves tells the logic before its value changes (the logic selects the speed group), then
  // its new value. The display sets the bars with their signals blocked, so only the operator's moves come here.
  // The first signal shows nothing: the bar has not taken its new position yet.
  connect(c_.VScroll, &QSlider::actionTriggered, this, [this] {
    ++handling_;
    panel_.VScrollScroll();
    --handling_;
  });
  connect(c_.VScrollTasma, &QSlider::actionTriggered, this, [this] {
    ++handling_;
    panel_.VScrollTasmaScroll();
    --handling_;
  });
  connect(c_.VScroll, &QSlider::valueChanged, this,
          [this](int value) { Handle([this, value] { panel_.VScrollChange(value); }); });
  connect(c_.VScrollTasma, &QSlider::valueChanged, this,
          [this](int value) { Handle([this, value] { panel_.VScrollTasmaChange(value); }); });
  connect(c_.PScroll, &QSlider::valueChanged, this,
          [this](int value) { Handle([this, value] { panel_.PScrollChange(value); }); });
  connect(c_.PScrollPionowe, &QSlider::valueChanged, this,
          [this](int value) { Handle([this, value] { panel_.PScrollPionoweChange(value); }); });
}

void TsterForm::ShowPanel() {
  show();
  raise();
  activateWindow();
}

PanelFocus TsterForm::Focus() const {
  PanelFocus focus;
  focus.active = isVisible() && isActiveWindow();
  bool bar_held = false;
  for (const QSlider* bar : {c_.VScroll, c_.VScrollTasma, c_.PScroll, c_.PScrollPionowe}) {
    bar_held = bar_held || bar->isSliderDown();
  }
  focus.input_waiting = handling_ > 0 || bar_held;
  return focus;
}

bool TsterForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    Handle([this] { panel_.FormActivate(); });
  } else if (event->type() == QEvent::WindowDeactivate) {
    StopHeldMoves();
    Handle([this] { panel_.FormDeactivate(); });
  }
  return QWidget::event(event);
}

bool TsterForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::MouseButtonPress) return false;
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) return false;
  // A key a control leaves goes on to its parents and through here again; the panel's answer is the same, as
  // the keys it leaves change nothing.
  switch (type) {
    case QEvent::MouseButtonPress:
      press_buttons_ = static_cast<const QMouseEvent*>(event)->buttons();
      return false;
    case QEvent::KeyPress:
      return KeyPressed(*static_cast<const QKeyEvent*>(event));
    default:
      return KeyReleased(*static_cast<const QKeyEvent*>(event));
  }
}

void TsterForm::hideEvent(QHideEvent* event) {
  StopHeldMoves();
  QWidget::hideEvent(event);
}

bool TsterForm::KeyPressed(const QKeyEvent& event) {
  PanelKey key = PanelKeyOf(event);
  const bool unflagged_repeat = !key.auto_repeat && repeat_pairs_.IsRepeatPress(event);
  key.auto_repeat = key.auto_repeat || unflagged_repeat;
  if (release_wait_->isActive()) {
    if (unflagged_repeat && held_key_ && SamePhysicalKey(held_key_->qt_key, held_key_->scan_code, event)) {
      release_wait_->stop();  // the jogging key never went up
    } else {
      EndHeldKey();  // its release came first
    }
  }
  if (key.code == 0) return false;
  // One manual move at a time: a jog waits for the machine to stand, and a held jog button keeps it moving.
  if (held_button_ && IsJogKey(PanelKeyMeaning(key))) return true;
  const bool was_jogging = panel_.jog_in_progress();
  // The jog waits for the machine before it moves; a release taken from the queue meanwhile must still end it.
  MissedReleaseWatch watch;
  const bool taken = Handle([this, &key] { return panel_.KeyDown(key); });
  if (key.code == kKeyControl) ctrl_held_ = true;
  if (was_jogging || !panel_.jog_in_progress()) return taken;
  held_key_ = HeldKey{key, event.key(), event.nativeScanCode()};
  setFocus();  // the jog keys take the focus from the controls
  // Let go while the jog waited for the machine: the move it started ends now.
  if (watch.KeyReleased(event.key(), event.nativeScanCode())) EndHeldKey();
  return taken;
}

bool TsterForm::KeyReleased(const QKeyEvent& event) {
  PanelKey key = PanelKeyOf(event);
  if (!key.auto_repeat) repeat_pairs_.NoteRelease(event);
  if (held_key_ && SamePhysicalKey(held_key_->qt_key, held_key_->scan_code, event)) {
    if (!key.auto_repeat && RepeatPairs::CanPair(event)) {
      // It may be the first half of an auto-repeat pair: the jog ends unless the press follows.
      release_wait_->start(kRepeatPairWaitMs);
      return true;
    }
    // The key the jog began with, whatever the modifiers held now make of it.
    const bool auto_repeat = key.auto_repeat;
    key = held_key_->key;
    key.auto_repeat = auto_repeat;
    if (!auto_repeat) held_key_.reset();
  }
  if (key.code == 0) return false;
  if (key.code == kKeyControl && !key.auto_repeat) ctrl_held_ = false;
  const bool taken = Handle([this, &key] { return panel_.KeyUp(key); });
  if (!panel_.jog_in_progress()) held_key_.reset();
  return taken;
}

void TsterForm::EndHeldKey() {
  release_wait_->stop();
  if (!held_key_) return;
  PanelKey release = held_key_->key;
  release.auto_repeat = false;
  held_key_.reset();
  if (panel_.jog_in_progress()) Handle([this, &release] { panel_.KeyUp(release); });
}

void TsterForm::JogButtonPressed(JogButton button) {
  // Only the left button alone jogs.
  const bool left_alone = press_buttons_ == Qt::LeftButton;
  press_buttons_ = Qt::NoButton;
  if (!left_alone || panel_.jog_in_progress()) return;
  MissedReleaseWatch watch;
  Handle([this, button] { panel_.JogButtonDown(button); });
  // Refused, or without a controller, the press has shown its box and started nothing to end.
  if (!panel_.jog_in_progress()) return;
  held_button_ = button;
  if (watch.LeftButtonReleased()) JogButtonReleased(button);
}

void TsterForm::JogButtonReleased(JogButton button) {
  if (held_button_ != button) return;
  held_button_.reset();
  // A release taken from the queue never reached the button.
  JogWidget(button)->setDown(false);
  Handle([this, button] { panel_.JogButtonUp(button); });
  setFocus();
}

QToolButton* TsterForm::JogWidget(JogButton button) const {
  switch (button) {
    case JogButton::ku:
      return c_.ku;
    case JogButton::kd:
      return c_.kd;
    case JogButton::kl:
      return c_.kl;
    case JogButton::kr:
      return c_.kr;
    case JogButton::ktl:
      return c_.ktl;
    case JogButton::ktr:
      return c_.ktr;
    case JogButton::kstop:
      break;
  }
  return c_.kstop;
}

void TsterForm::StopHeldMoves() {
  if (!link_.usb.present()) {
    // Nothing can be sent to a controller that went away (the panel closes then); a box for each held thing
    // would only repeat the lost link. The logic forgets its jog.
    if (held_button_) JogWidget(*held_button_)->setDown(false);
    held_button_.reset();
    release_wait_->stop();
    held_key_.reset();
    ctrl_held_ = false;
    panel_.AbandonJog();
    return;
  }
  if (held_button_) JogButtonReleased(*held_button_);
  EndHeldKey();
  if (ctrl_held_) {
    ctrl_held_ = false;
    PanelKey control;
    control.code = kKeyControl;
    Handle([this, &control] { panel_.KeyUp(control); });
  }
}

void TsterForm::keyprzesunClick() {
  move_wire_->SetSides(true, true);
  move_wire_->exec();
}

void TsterForm::btnUpgradeClick() {
  // Refused while a cut is under way; while it is open nothing else starts between its steps.
  if (!upgrade_->upgrade().Open()) return;
  upgrade_->exec();
  upgrade_->upgrade().Close();
}

}  // namespace varnholt
