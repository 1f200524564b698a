#include "config/ui/param_field.h"

#include <QLocale>
#include <QSignalBlocker>
#include <QToolTip>
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
  // The note of a value brought within the limits shows under the field as the operator leaves it.
  connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
    if (!note_due_) return;
    note_due_ = false;
    if (isVisible()) QToolTip::showText(mapToGlobal(QPoint(0, height())), clamp_note_, this);
  });
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

std::optional<double> ParamField::TypedNumber(const QString& input) const {
  QString text = input.trimmed();
  if (!prefix().isEmpty() && text.startsWith(prefix())) text.remove(0, prefix().size());
  if (!suffix().isEmpty() && text.endsWith(suffix())) text.chop(suffix().size());
  text = text.trimmed();
  bool ok = false;
  double value = locale().toDouble(text, &ok);
  if (!ok) value = QLocale::c().toDouble(text, &ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

QValidator::State ParamField::validate(QString& input, int& pos) const {
  const QValidator::State state = QDoubleSpinBox::validate(input, pos);
  if (state != QValidator::Invalid) return state;
  return TypedNumber(input) ? QValidator::Intermediate : QValidator::Invalid;
}

void ParamField::fixup(QString& input) const {
  const std::optional<double> typed = TypedNumber(input);
  if (!typed || (*typed >= minimum() && *typed <= maximum())) {
    QDoubleSpinBox::fixup(input);
    return;
  }
  const double taken = std::clamp(*typed, minimum(), maximum());
  input = textFromValue(taken);
  clamp_note_ = QString(clamp_pattern_)
                    .replace("%1", textFromValue(*typed))
                    .replace("%2", textFromValue(minimum()))
                    .replace("%3", textFromValue(maximum()))
                    .replace("%4", input);
  note_due_ = true;
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
