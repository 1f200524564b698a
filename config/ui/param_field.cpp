#include "config/ui/param_field.h"

#include <QLocale>
#include <QSignalBlocker>

#include "config/display_unit.h"

namespace varnholt {
namespace {

// Enough places for a speed in inches per minute; the shown text drops trailing zeros.
constexpr int kDecimals = 4;

}  // namespace

ParamField::ParamField(Configuration& config, Param param, QWidget* parent)
    : QDoubleSpinBox(parent), config_(config), param_(param) {
  setObjectName(
      QString::fromUtf8(SpecOf(param).name.data(), static_cast<qsizetype>(SpecOf(param).name.size())));
  setDecimals(kDecimals);
  // The parameter changes when the operator leaves the field or steps it, not at every key.
  setKeyboardTracking(false);
  setAccelerated(true);
  setMinimumWidth(110);
  connect(this, &QDoubleSpinBox::valueChanged, this, [this](double shown) { Take(shown); });
  Refresh();
}

int ParamField::Unit() const {
  return SpecOf(param_).kind == ParamKind::kUnitNumber ? config_.CurrentUnit() : kUnitMm;
}

void ParamField::Refresh() {
  const QSignalBlocker blocker(this);
  const int unit = Unit();
  const double min = config_.Min(param_), max = config_.Max(param_);
  if (min == max) {
    setRange(-1e12, 1e12);
  } else {
    setRange(FromMillimetres(min, unit), FromMillimetres(max, unit));
  }
  setSingleStep(FromMillimetres(StepMm(param_, unit), unit));
  setValue(FromMillimetres(config_.Number(param_), unit));
}

void ParamField::Take(double shown) {
  config_.SetNumber(param_, ToMillimetres(shown, Unit()));
  Refresh();
}

QString ParamField::textFromValue(double value) const {
  QString text = locale().toString(value, 'f', kDecimals);
  const QString point = locale().decimalPoint();
  if (text.contains(point)) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith(point)) text.chop(point.size());
  }
  text.remove(locale().groupSeparator());
  return text;
}

}  // namespace varnholt
