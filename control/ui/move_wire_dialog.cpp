#include "control/ui/move_wire_dialog.h"

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "config/display_unit.h"
#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Move_wire";
// The fields take any value; this is only the spin box's own bound.
constexpr double kFieldBound = 1e9;
constexpr int kFieldDecimals = 3;

QDoubleSpinBox* NumberField(const char* name, QWidget* parent) {
  auto* field = new QDoubleSpinBox(parent);
  field->setObjectName(name);
  field->setRange(-kFieldBound, kFieldBound);
  field->setDecimals(kFieldDecimals);
  field->setButtonSymbols(QAbstractSpinBox::NoButtons);
  field->setValue(0.0);
  return field;
}

QPushButton* Button(const char* name, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

Tprzesun::Tprzesun(MachineLink& link, QWidget* parent) : QDialog(parent), link_(link) {
  setObjectName("przesun_drut");
  auto* kind = new QGroupBox(this);
  kind->setObjectName("przesun");
  to_machine_ = new QRadioButton(kind);
  to_machine_->setObjectName("przesunItem0");
  by_value_ = new QRadioButton(kind);
  by_value_->setObjectName("przesunItem1");
  by_value_->setChecked(true);
  auto* choice = new QButtonGroup(kind);
  choice->addButton(to_machine_, static_cast<int>(MoveWireKind::kToMachineCoordinates));
  choice->addButton(by_value_, static_cast<int>(MoveWireKind::kByValue));
  auto* kind_layout = new QVBoxLayout(kind);
  kind_layout->addWidget(to_machine_);
  kind_layout->addWidget(by_value_);

  delta_x_ = NumberField("delta_x", this);
  delta_y_ = NumberField("delta_y", this);
  delta_z_ = NumberField("delta_z", this);
  auto* fields = new QGridLayout;
  const char* label_names[3] = {"lX", "lY", "lZ"};
  QDoubleSpinBox* spin_boxes[3] = {delta_x_, delta_y_, delta_z_};
  for (int row = 0; row < 3; ++row) {
    auto* label = new QLabel(this);
    label->setObjectName(label_names[row]);
    label->setBuddy(spin_boxes[row]);
    unit_labels_[row] = new QLabel(this);
    fields->addWidget(label, row, 0);
    fields->addWidget(spin_boxes[row], row, 1);
    fields->addWidget(unit_labels_[row], row, 2);
    if (row == 2) third_label_ = label;
  }

  wykonaj_ = Button("wykonaj", this);
  wykonaj_->setDefault(true);  // Enter
  cancel_ = Button("cancel", this);
  test_ = Button("test", this);
  test_grzalki_ = Button("TestGrzalki", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {wykonaj_, cancel_, test_, test_grzalki_}) buttons->addWidget(button);
  buttons->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(kind);
  left->addLayout(fields);
  left->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addLayout(buttons);

  connect(wykonaj_, &QPushButton::clicked, this, [this] { WykonajClick(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  connect(test_, &QPushButton::clicked, this, [this] { testClick(); });
  connect(test_grzalki_, &QPushButton::clicked, this, [this] { TestGrzalkiClick(); });

  ApplyTexts(*this, link_.texts, kSection);
  to_machine_->setText(LanguageText(link_.texts, kSection, "przesun.Item0"));
  by_value_->setText(LanguageText(link_.texts, kSection, "przesun.Item1"));
  ApplyReadingOrder(*this, link_.texts);
}

void Tprzesun::SetSides(bool side_a, bool side_b) {
  side_a_ = side_a;
  side_b_ = side_b;
}

void Tprzesun::SetValues(const MoveWireValues& values) {
  (values.kind == MoveWireKind::kToMachineCoordinates ? to_machine_ : by_value_)->setChecked(true);
  delta_x_->setValue(values.x);
  delta_y_->setValue(values.y);
  delta_z_->setValue(values.z);
  SetSides(values.side_a, values.side_b);
}

MoveWireValues Tprzesun::Values() const {
  MoveWireValues values;
  values.kind = to_machine_->isChecked() ? MoveWireKind::kToMachineCoordinates : MoveWireKind::kByValue;
  values.x = delta_x_->value();
  values.y = delta_y_->value();
  values.z = delta_z_->value();
  values.side_a = side_a_;
  values.side_b = side_b_;
  return values;
}

void Tprzesun::showEvent(QShowEvent* event) {
  const QString unit = QString::fromStdString(LengthUnitLabel(link_.config.CurrentUnit()));
  for (QLabel* label : unit_labels_) label->setText(unit);
  const ThirdFieldLabel third = ThirdFieldLabelFor(link_.config.Choice(Param::StolikSwitch), link_.texts);
  third_label_->setText(QString::fromStdString(third.caption));
  third_label_->setToolTip(QString::fromStdString(third.hint));
  delta_z_->setToolTip(QString::fromStdString(third.hint));
  QDialog::showEvent(event);
}

void Tprzesun::WykonajClick() {
  ExecuteMoveWire(link_, Values());
  accept();
}

void Tprzesun::testClick() {
  SetButtonsEnabled(false);
  RunMotionTest(link_, Values(), [this](uint32_t read_failures, uint32_t busy_writes) {
    wykonaj_->setText(QStringLiteral("%1/%2").arg(read_failures).arg(busy_writes));
  });
  wykonaj_->setText(LanguageText(link_.texts, kSection, "wykonaj.caption"));
  SetButtonsEnabled(true);
}

void Tprzesun::TestGrzalkiClick() {
  SetButtonsEnabled(false);
  RunHeaterTest(link_);
  SetButtonsEnabled(true);
}

void Tprzesun::SetButtonsEnabled(bool enabled) {
  for (QPushButton* button : {wykonaj_, cancel_, test_, test_grzalki_}) button->setEnabled(enabled);
}

}  // namespace varnholt
