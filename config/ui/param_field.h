#pragma once
// A number field of the configuration dialog bound to one parameter: it shows the parameter's value (in the
// display unit when the parameter is unit-aware) and sets it when the operator changes the field. A number
// typed beyond the limits is taken whole and brought to the nearest limit, and the field says so.

#include <QDoubleSpinBox>
#include <optional>

#include "config/parameters.h"

namespace varnholt {

class ParamField final : public QDoubleSpinBox {
 public:
  ParamField(Configuration& config, Param param, QWidget* parent = nullptr);

  Param param() const { return param_; }
  // Shows the parameter's current value, limits and step in the current display unit.
  void Refresh();
  // The note shown when a typed value was brought within the limits: %1 typed, %2 lowest, %3 highest, %4
  // taken.
  void SetClampPattern(const QString& pattern) { clamp_pattern_ = pattern; }
  // What the field said when it last brought a typed value within its limits; empty when it never did.
  const QString& clamp_note() const { return clamp_note_; }

 protected:
  QString textFromValue(double value) const override;
  // A number beyond the limits is still a number being typed: "1500" under a limit of 1000 is not cut to
  // "150".
  QValidator::State validate(QString& input, int& pos) const override;
  // Brings a typed number beyond the limits to the nearest limit, and says so.
  void fixup(QString& input) const override;

 private:
  // The operator changed the field: the parameter takes the value (in millimetres when unit-aware).
  void Take(double shown);
  int Unit() const;

  // The typed text as a number, when it is one (the locale's decimal point, or a point).
  std::optional<double> TypedNumber(const QString& input) const;

  Configuration& config_;
  Param param_;
  QString clamp_pattern_ = "%1 → %4 (%2 … %3)";
  mutable QString clamp_note_;
  mutable bool note_due_ = false;
};

}  // namespace varnholt
