#pragma once
// The manual control panel's window: the jog buttons of the arms and the conveyor, heating, homing, the speed and
// power bars, the positions, and the hidden test and service panels. It shows the panel logic's view and hands the
// operator's keys, presses and clicks to it. The status step's timer belongs to the program: it steps the logic
// with Focus() and then calls ShowPanelView().

#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "control/tster.h"
#include "control/ui/panel_key_event.h"
#include "services/program_folder.h"

class QAbstractSlider;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;
class QToolButton;

namespace varnholt {

class Tprzesun;
class TUpgradeProgramForm;

class TsterForm final : public QWidget {
 public:
  // The panel logic and the link (with its texts and configuration) must outlive the window. Firmware images are
  // looked for in the program folder.
  TsterForm(Tster& panel, MachineLink& link, const ProgramFolders& folders, QWidget* parent = nullptr);
  ~TsterForm() override;
  TsterForm(const TsterForm&) = delete;
  TsterForm& operator=(const TsterForm&) = delete;

  // Shows the panel raised and active (F5 and the main window's speed button).
  void ShowPanel();
  // What the status step needs to know of the window: whether it is the active window, and whether the
  // operator's input is being handled or a bar is held (the display then waits).
  PanelFocus Focus() const;
  // Shows the panel logic's view in the controls; closes the panel when the view says the controller went away.
  void ShowPanelView();

  // The dialogs the panel opens; they live as long as the panel.
  Tprzesun& move_wire_dialog() { return *move_wire_; }
  TUpgradeProgramForm& upgrade_dialog() { return *upgrade_; }

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The controls by component name.
  struct Controls {
    QToolButton *ku = nullptr, *kd = nullptr, *kl = nullptr, *kr = nullptr, *ktl = nullptr, *ktr = nullptr,
                *kstop = nullptr;
    QPushButton *k_zalwyl = nullptr, *k_zalwyl_pionowe = nullptr, *Bazuj = nullptr, *btnPrzesunDoRamion = nullptr,
                *keyprzesun = nullptr, *btnUpgrade = nullptr, *Zamknij = nullptr;
    QSlider *VScroll = nullptr, *VScrollTasma = nullptr, *PScroll = nullptr, *PScrollPionowe = nullptr;
    QLabel *SpeedCaption = nullptr, *SpeedLabel = nullptr, *speedTasmaCaption = nullptr,
           *speedTasmaLabel = nullptr, *PowerCaption = nullptr, *PowerLabel = nullptr,
           *powerPionoweCaption = nullptr, *powerPionoweLabel = nullptr;
    QLabel *wmx = nullptr, *wmy = nullptr, *wmz = nullptr, *wmxJm = nullptr, *wmyJm = nullptr, *wmzJm = nullptr;
    QLabel *stan_drutu = nullptr, *stan_DrutuPionowego = nullptr;
    QGroupBox* rgTasma = nullptr;
    std::array<QRadioButton*, 3> belts{};
    QGroupBox* pTestowy = nullptr;
    QCheckBox *cbSbRun = nullptr, *cbSbWork = nullptr, *cbSbZadanieStartu = nullptr, *cbSbZadanieStopu = nullptr,
              *cbSbPower = nullptr;
    QLabel *lSelPwr = nullptr, *lSelSpeed = nullptr, *lSelOut = nullptr, *lSpeed = nullptr, *lPower = nullptr;
    std::array<QLabel*, 4> group_speeds{};  // speed_p, speed_r, speed_m, speed_pol
    QLabel *third1 = nullptr, *third2 = nullptr, *belt3 = nullptr;
    QGroupBox* pSerwis = nullptr;
    QLabel *instantaneous_speed = nullptr, *extra1 = nullptr, *extra2 = nullptr, *link_errors = nullptr;
  };

  // The key whose press started the jog that runs, to end it at the release of the same physical key.
  struct HeldKey {
    PanelKey key;
    int qt_key = 0;
    quint32 scan_code = 0;
  };

  // Builds the controls and their layout (tster_form_layout.cpp).
  void BuildControls();
  QWidget* BuildArms();
  QWidget* BuildConveyor();
  QWidget* BuildTestPanel();
  QWidget* BuildServicePanel();
  void ApplyLanguage();
  void ConnectControls();

  // Runs an operation of the panel logic as the handling of the operator's input, then shows the view.
  template <typename Operation>
  auto Handle(Operation operation);
  // A key pressed or released in the panel; true when the panel took it.
  bool KeyPressed(const QKeyEvent& event);
  bool KeyReleased(const QKeyEvent& event);
  // The key that jogs is let go: the jog ends.
  void EndHeldKey();
  QToolButton* JogWidget(JogButton button) const;
  void JogButtonPressed(JogButton button);
  void JogButtonReleased(JogButton button);
  // Ends what a held key, jog button or Ctrl started, for a release the window will not see.
  void StopHeldMoves();
  void keyprzesunClick();
  void btnUpgradeClick();
  // Shows a bar's position without passing the change back to the logic; a bar the operator holds keeps his.
  static void ShowBar(QAbstractSlider& bar, int32_t max, int32_t position, int32_t small_step, int32_t large_step);

  Tster& panel_;
  MachineLink& link_;
  Controls c_;
  // The conveyor speed bar's caption without its unit.
  QString conveyor_speed_caption_;
  Tprzesun* move_wire_ = nullptr;
  TUpgradeProgramForm* upgrade_ = nullptr;
  int handling_ = 0;
  std::optional<HeldKey> held_key_;
  // Runs while the real release of the jogging key waits for the press of an auto-repeat pair.
  QTimer* release_wait_ = nullptr;
  RepeatPairs repeat_pairs_;
  std::optional<JogButton> held_button_;
  bool ctrl_held_ = false;
  // The mouse buttons of the last press on a jog button: a jog starts for the left button alone.
  Qt::MouseButtons press_buttons_ = Qt::NoButton;
};

}  // namespace varnholt
