#include "config/ui/param_field.h"

#include <QLocale>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "config/display_unit.h"

namespace varnholt {
namespace {

// Enough places for a speed in inches per minute; the shown text drops trailing zeros.
constexpr int kDecimals = 4;
// A field whose step is smaller than its places can show gets more, so that stepping it moves its value: a kerf
// stepped by a tenth of a millimetre shown in feet.
constexpr int kMaxDecimals = 8;

// The places that show a step with three significant digits, at least kDecimals.
int DecimalsFor(double step) {
  if (!(step > 0.0)) return kDecimals;
  const int places = static_cast<int>(std::ceil(-std::log10(step))) + 2;
  return std::clamp(places, kDecimals, kMaxDecimals);
}

}  // namespace

ParamField::ParamField(Configuration& config, Param param, QWidget* parent)
    : QDoubleSpinBox(parent), config_(config), param_(param) {
  setObjectName(
      QString::fromUtf8(SpecOf(param).name.data(), static_cast<qsizetype>(SpecOf(param).name.size())));
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
  const double step = FromMillimetres(StepMm(param_, unit), unit);
  setDecimals(DecimalsFor(step));
  const double min = config_.Min(param_), max = config_.Max(param_);
  if (min == max) {
    setRange(-1e12, 1e12);
  } else {
    setRange(FromMillimetres(min, unit), FromMillimetres(max, unit));
  }
  setSingleStep(step);
  setValue(FromMillimetres(config_.Number(param_), unit));
}

void ParamField::Take(double shown) {
  config_.SetNumber(param_, ToMillimetres(shown, Unit()));
  Refresh();
}

QString ParamField::textFromValue(double value) const {
  QString text = locale().toString(value, 'f', decimals());
  const QString point = locale().decimalPoint();
  if (text.contains(point)) {
    while (text.endsWith('0')) text.chop(1);
    if (text.endsWith(point)) text.chop(point.size());
  }
  text.remove(locale().groupSeparator());
  return text;
}

}  // namespace varnholt
