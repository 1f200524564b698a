#include "layout/ui/number_field.h"

#include <QRegularExpressionValidator>

#include "config/display_unit.h"
#include "layout/length_text.h"

namespace varnholt {

NumberField::NumberField(const char* name, bool unit_aware, char separator, QWidget* parent)
    : QLineEdit(parent), unit_aware_(unit_aware), separator_(separator) {
  setObjectName(name);
  // Only what can become a number can be typed: a sign, digits and one decimal separator.
  setValidator(new QRegularExpressionValidator(QRegularExpression(R"(\s*[+-]?\d*([.,]\d*)?\s*)"), this));
  // Connected first, so the value is new when the owner's handlers of the same signal run.
  connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (showing_) return;
    if (const auto typed = ParseFieldNumber(text.toStdString())) {
      value_ = unit_aware_ ? ToMillimetres(*typed, unit_) : *typed;
    }
  });
}

void NumberField::SetUnit(int unit) {
  unit_ = unit;
  Show();
}

void NumberField::SetValue(double value) {
  value_ = value;
  Show();
}

bool NumberField::HasNumber() const { return ParseFieldNumber(text().toStdString()).has_value(); }

void NumberField::focusOutEvent(QFocusEvent* event) {
  if (!HasNumber()) Show();
  QLineEdit::focusOutEvent(event);
}

void NumberField::Show() {
  // The text shown is rounded; the value stays exact until the operator types another.
  showing_ = true;
  setText(QString::fromStdString(FieldText(value_, unit_aware_ ? unit_ : kUnitMm, separator_)));
  showing_ = false;
}

}  // namespace varnholt
