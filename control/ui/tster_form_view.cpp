// The control panel window showing the panel logic's view.

#include <algorithm>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include "config/display_unit.h"
#include "control/ui/tster_form.h"
#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Number(int32_t value) { return QString::number(value); }

void SetVisible(QWidget& widget, bool visible, bool& changed) {
  if (widget.isVisibleTo(widget.parentWidget()) == visible) return;
  widget.setVisible(visible);
  changed = true;
}

}  // namespace

void TsterForm::ShowBar(QAbstractSlider& bar, int32_t max, int32_t position, int32_t small_step,
                        int32_t large_step) {
  if (bar.isSliderDown()) return;
  const QSignalBlocker blocked(bar);
  bar.setRange(0, std::max(max, 0));
  bar.setValue(position);
  bar.setSingleStep(small_step);
  bar.setPageStep(large_step);
}

void TsterForm::ShowPanelView() {
  const PanelView& v = panel_.view();
  if (v.close_panel && isVisible()) close();

  c_.wmx->setText(Text(v.wmx));
  c_.wmy->setText(Text(v.wmy));
  c_.wmz->setText(Text(v.wmz));
  for (QLabel* unit : {c_.wmxJm, c_.wmyJm, c_.wmzJm}) unit->setText(Text(v.unit_label));
  c_.stan_drutu->setText(Text(v.stan_drutu));
  c_.stan_DrutuPionowego->setText(Text(v.stan_DrutuPionowego));

  const std::string per_minute = " [ " + std::string(UnitName(link_.config.CurrentUnit())) + "/min ]";
  const QString speed_hint =
      v.speed_hint.empty() ? Text(link_.texts.GetText("Control", "szybkosc") + per_minute) : Text(v.speed_hint);
  c_.SpeedCaption->setText(speed_hint);
  c_.VScroll->setToolTip(speed_hint);
  ShowBar(*c_.VScroll, v.arm_speed.max, v.arm_speed.position, v.arm_speed.small_step, v.arm_speed.large_step);
  c_.SpeedLabel->setText(Text(v.arm_speed.label));
  c_.speedTasmaCaption->setText(conveyor_speed_caption_ + Text(per_minute));
  const SpeedBarView& conveyor = v.conveyor_speed;
  ShowBar(*c_.VScrollTasma, conveyor.max, conveyor.position, conveyor.small_step, conveyor.large_step);
  c_.speedTasmaLabel->setText(Text(conveyor.label));
  constexpr int32_t kPowerSmallStep = 1, kPowerLargeStep = 10, kPowerMax = 100;
  ShowBar(*c_.PScroll, kPowerMax, v.power, kPowerSmallStep, kPowerLargeStep);
  c_.PowerLabel->setText(Number(v.power));
  ShowBar(*c_.PScrollPionowe, kPowerMax, v.vertical_power, kPowerSmallStep, kPowerLargeStep);
  c_.powerPionoweLabel->setText(Number(v.vertical_power));
  c_.k_zalwyl->setChecked(v.k_zalwyl_down);
  c_.k_zalwyl_pionowe->setChecked(v.k_zalwyl_pionowe_down);

  const PanelControls& e = v.controls;
  const std::pair<QWidget*, bool> enabled[] = {
      {c_.ku, e.ku},
      {c_.kd, e.kd},
      {c_.kl, e.kl},
      {c_.kr, e.kr},
      {c_.k_zalwyl, e.k_zalwyl},
      {c_.ktl, e.ktl},
      {c_.ktr, e.ktr},
      {c_.k_zalwyl_pionowe, e.k_zalwyl_pionowe},
      {c_.Bazuj, e.Bazuj},
      {c_.btnPrzesunDoRamion, e.btnPrzesunDoRamion},
      {c_.keyprzesun, e.keyprzesun},
      {c_.VScroll, e.VScroll},
      {c_.PScroll, e.PScroll},
      {c_.VScrollTasma, e.VScrollTasma},
      {c_.PScrollPionowe, e.PScrollPionowe},
      {c_.powerPionoweCaption, e.vertical_power_labels},
      {c_.powerPionoweLabel, e.vertical_power_labels},
  };
  for (const auto& [widget, on] : enabled) widget->setEnabled(on);

  const QSignalBlocker belts_blocked(c_.rgTasma);
  const size_t belts = static_cast<size_t>(link_.panel.active_belts);
  if (belts < c_.belts.size() && !c_.belts[belts]->isChecked()) {
    const QSignalBlocker blocked(c_.belts[belts]);
    c_.belts[belts]->setChecked(true);
  }

  bool resized = false;
  SetVisible(*c_.ktr, v.ktr_visible, resized);
  SetVisible(*c_.rgTasma, v.rgTasma_visible, resized);
  SetVisible(*c_.btnUpgrade, v.btnUpgrade_visible, resized);
  SetVisible(*c_.pTestowy, v.test_panel_visible, resized);
  SetVisible(*c_.pSerwis, v.service_panel_visible, resized);

  const TestPanelView& t = v.test;
  c_.cbSbRun->setChecked(t.cbSbRun);
  c_.cbSbWork->setChecked(t.cbSbWork);
  c_.cbSbZadanieStartu->setChecked(t.cbSbZadanieStartu);
  c_.cbSbZadanieStopu->setChecked(t.cbSbZadanieStopu);
  c_.cbSbPower->setChecked(t.cbSbPower);
  c_.lSelPwr->setText(Text(t.lSelPwr));
  c_.lSelSpeed->setText(Text(t.lSelSpeed));
  c_.lSelOut->setText(Text(t.lSelOut));
  c_.lSpeed->setText(Number(t.lSpeed));
  for (size_t group = 0; group < c_.group_speeds.size(); ++group) {
    c_.group_speeds[group]->setText(Number(t.group_speeds[group]));
  }
  c_.lPower->setText(Number(t.lPower));
  c_.third1->setText(Text(t.third1_mm));
  c_.third2->setText(Text(t.third2_mm));
  c_.belt3->setText(Text(t.belt3_mm));

  const ServicePanelView& service = v.service;
  c_.instantaneous_speed->setText(Text(service.instantaneous_speed));
  c_.extra1->setText(Text(service.extra1));
  c_.extra2->setText(Text(service.extra2));
  c_.link_errors->setText(Text(service.link_errors));
  if (resized) adjustSize();
}

}  // namespace varnholt
