#pragma once
// A number field of the configuration dialog bound to one parameter: it shows the parameter's value (in the
// display unit when the parameter is unit-aware) and sets it when the operator changes the field.

#include <QDoubleSpinBox>

#include "config/parameters.h"

namespace varnholt {

class ParamField final : public QDoubleSpinBox {
 public:
  ParamField(Configuration& config, Param param, QWidget* parent = nullptr);

  Param param() const { return param_; }
  // Shows the parameter's current value, limits and step in the current display unit.
  void Refresh();

 protected:
  QString textFromValue(double value) const override;

 private:
  // The operator changed the field: the parameter takes the value (in millimetres when unit-aware).
  void Take(double shown);
  int Unit() const;

  Configuration& config_;
  Param param_;
};

}  // namespace varnholt
