#pragma once
// A number field: the text is typed in the display unit, the value is held in millimetres (a plain number field
// holds its number as it is).

#include <QLineEdit>

namespace varnholt {

class NumberField : public QLineEdit {
 public:
  // A field named `name` (its component name); unit-aware fields follow the display unit, plain ones do not.
  NumberField(const char* name, bool unit_aware, char separator, QWidget* parent);

  // Shows the value in the unit; the value stays as it is.
  void SetUnit(int unit);
  // Sets the value (millimetres for a unit-aware field) and shows it.
  void SetValue(double value);
  // The value of the last number typed or set.
  double value() const { return value_; }
  // The text is a number.
  bool HasNumber() const;

 protected:
  // Leaving the field with no number in it shows the value again.
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Show();

  double value_ = 0.0;
  int unit_ = 0;
  bool unit_aware_;
  char separator_;
  bool showing_ = false;
};

}  // namespace varnholt
