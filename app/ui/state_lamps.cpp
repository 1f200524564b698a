#include "app/ui/state_lamps.h"

#include <QHBoxLayout>
#include <QLabel>

#include "services/caption_text.h"
#include "services/interfejs.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Main_window";
// The lamps left to right, by role.
constexpr const char* kRoles[] = {"Controller", "Homed",         "Homing",     "Program",
                                  "Wire",       "VerticalWires", "WireBroken", "BufferFull"};
// Colours of lit lamps: a good state, something under way, a heater on, a fault.
constexpr const char* kGreen = "#2e9d3a";
constexpr const char* kAmber = "#d89000";
constexpr const char* kBlue = "#2d6fd0";
constexpr const char* kHot = "#e05a00";
constexpr const char* kRed = "#d01c1c";
constexpr const char* kDark = "#9a9a9a";

}  // namespace

StateLamps::StateLamps(const tInterfejs& texts, QWidget* parent) : QWidget(parent), texts_(texts) {
  setObjectName("StateLamps");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(2, 0, 2, 0);
  row->setSpacing(12);
  for (const char* role : kRoles) {
    auto* lamp = new QLabel(this);
    lamp->setObjectName(QString("Lamp%1").arg(role));
    lamp->setTextFormat(Qt::RichText);
    row->addWidget(lamp);
    lamps_[role] = lamp;
  }
  row->addStretch(1);
  Show(MachineLamps{}, 0);
}

QString StateLamps::Text(const char* key) const {
  return QString::fromStdString(WithoutMnemonics(texts_.GetText(kSection, key)));
}

void StateLamps::Set(const char* role, bool lit, const char* colour, const QString& text) {
  QLabel* lamp = lamps_.at(role);
  lamp->setProperty("lit", lit);
  lamp->setText(QString("<span style=\"color:%1\">&#9679;</span>&nbsp;<span style=\"color:%2\">%3</span>")
                    .arg(lit ? colour : kDark, lit ? palette().color(QPalette::WindowText).name() : kDark,
                         text.toHtmlEscaped()));
}

void StateLamps::Show(const MachineLamps& lamps, int unit) {
  shown_ = lamps;
  Set("Controller", lamps.connected, kGreen,
      lamps.connected ? Text("lampSterownik") + " " + QString::fromStdString(lamps.model)
                      : Text("lampBrakSterownika"));
  Set("Homed", lamps.homed, kGreen, lamps.homed ? Text("lampBazowana") : Text("lampNiebazowana"));
  if (lamps.homing) {
    Set("Homing", true, kAmber,
        Text("lampBazowanie") + "  " + QString::fromStdString(PositionsText(lamps, unit)));
  } else if (lamps.homing_end == HomingEnd::kInterrupted) {
    Set("Homing", true, kRed, QString::fromStdString(texts_.GetText("Control", "bazowaniePrzerwane")));
  } else {
    Set("Homing", false, kAmber, Text("lampBazowanie"));
  }
  if (lamps.paused) {
    Set("Program", true, kAmber, Text("lampPauza"));
  } else {
    Set("Program", lamps.program_running, kBlue, Text("lampProgram"));
  }
  Set("Wire", lamps.horizontal_wire_hot, kHot, Text("lampDrut"));
  Set("VerticalWires", lamps.vertical_wire_hot, kHot, Text("lampDrutyPionowe"));
  Set("WireBroken", lamps.wire_broken, kRed, Text("lampZerwanyDrut"));
  Set("BufferFull", lamps.buffer_full, kAmber, Text("lampBufor"));
}

}  // namespace varnholt
