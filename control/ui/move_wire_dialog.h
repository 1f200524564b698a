#pragma once
// The move-wire dialog: moves the wire to machine coordinates or by given values, and runs the motion and heater
// test loops.

#include <QDialog>

#include "control/move_wire.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace varnholt {

class Tprzesun : public QDialog {
 public:
  // The link (with its configuration and texts) must outlive the dialog.
  explicit Tprzesun(MachineLink& link, QWidget* parent = nullptr);

  // The control panel's choice of sides, set before showing.
  void SetSides(bool side_a, bool side_b);
  // Fills the fields (the screenshots show the dialog filled).
  void SetValues(const MoveWireValues& values);
  // The fields as they stand.
  MoveWireValues Values() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void WykonajClick();
  void testClick();
  void TestGrzalkiClick();
  // Keeps the buttons from starting anything else while a test loop runs.
  void SetButtonsEnabled(bool enabled);

  MachineLink& link_;
  bool side_a_ = true;
  bool side_b_ = true;
  QRadioButton* to_machine_ = nullptr;
  QRadioButton* by_value_ = nullptr;
  QDoubleSpinBox* delta_x_ = nullptr;
  QDoubleSpinBox* delta_y_ = nullptr;
  QDoubleSpinBox* delta_z_ = nullptr;
  QLabel* third_label_ = nullptr;
  QLabel* unit_labels_[3] = {};
  QPushButton* wykonaj_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* test_ = nullptr;
  QPushButton* test_grzalki_ = nullptr;
};

}  // namespace varnholt
