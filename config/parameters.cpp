#include "config/parameters.h"

#include <cassert>
#include <cmath>

namespace varnholt {
namespace {

constexpr double kUnchecked = static_cast<double>(FlagState::kUnchecked);
constexpr double kChecked = static_cast<double>(FlagState::kChecked);

constexpr ParamSpec Flag(Param id, std::string_view name, double default_state) {
  return {id, name, ParamKind::kFlag, "", 0, 0, 0, default_state, 0};
}
constexpr ParamSpec Choice(Param id, std::string_view name, int items, int default_index) {
  return {id, name, ParamKind::kChoice, "", 0, 0, 0, static_cast<double>(default_index), items};
}
constexpr ParamSpec Number(Param id, std::string_view name, std::string_view unit, double min, double max,
                           double step, double default_value) {
  return {id, name, ParamKind::kNumber, unit, min, max, step, default_value, 0};
}
constexpr ParamSpec Length(Param id, std::string_view name, std::string_view unit, double min, double max,
                           double step, double default_value) {
  return {id, name, ParamKind::kUnitNumber, unit, min, max, step, default_value, 0};
}

const SpeedMaxima kInitialMaxima;

constexpr std::array<ParamSpec, kParamCount> kTable = {{
    Flag(Param::AutoSave, "AutoSave", kUnchecked),
    Length(Param::szybkoscObrobki, "szybkoscObrobki", "mm/min", 20, SpeedMaxima{}.work, 100, 1000),
    Length(Param::PrzeSpeed, "PrzeSpeed", "mm/min", 20, SpeedMaxima{}.rapid, 100, 1000),
    Number(Param::work_power, "work_power", "%", 0, kPowerMaximum, 0.1, 1),
    Number(Param::CzasRozgrzewania, "CzasRozgrzewania", "ms", 0, 10000, 100, 1000),
    Number(Param::Pauza_w_kacie, "Pauza_w_kacie", "ms", 0, 10000, 10, 200),
    Number(Param::skala, "skala", "%", 1, 1000, 1, 100),
    Length(Param::Tasma_SzybkoscPrzes, "Tasma_SzybkoscPrzes", "mm/min", 20, SpeedMaxima{}.conveyor, 100, 1000),
    Number(Param::VerticalWire_power, "VerticalWire_power", "%", 0, kPowerMaximum, 0.1, 1),
    Length(Param::TasmaPrzesuwKon, "TasmaPrzesuwKon", "mm", 0, 5000, 1, 1666),
    Length(Param::TasmaPrzesuwPocz, "TasmaPrzesuwPocz", "mm", 0, 5000, 1, 1666),
    Number(Param::fePauzaTechn, "fePauzaTechn", "s", 0, 10000, 1, 60),
    Length(Param::feuWysokoscMat, "feuWysokoscMat", "mm", 0, 3000, 1, 1666),
    Number(Param::feKalibracjaX, "feKalibracjaX", "%", -105, 105, 1, 0),
    Number(Param::feKalibracjaY, "feKalibracjaY", "%", -105, 105, 1, 0),
    Number(Param::feKalibracjaZ, "feKalibracjaZ", "%", -105, 105, 1, 0),
    Choice(Param::CatDir, "CatDir", 3, 2),
    Choice(Param::Mode, "Mode", 1, 0),
    Choice(Param::PowerOutput, "PowerOutput", 1, 0),
    Flag(Param::Heavy, "Heavy", kUnchecked),
    Choice(Param::StolikSwitch, "StolikSwitch", 3, 0),
    Choice(Param::KierunekObrotow, "KierunekObrotow", 2, 0),
    Length(Param::Srednicamaterialu, "Srednicamaterialu", "mm", 0, 2000, 100, 500),
    Number(Param::il_obr_rys, "il_obr_rys", "", 0, 1000, 1, 0),
    Number(Param::ilosckrokow, "ilosckrokow", "", 1, 50000, 1, 8),
    Flag(Param::MoveAfter, "MoveAfter", kUnchecked),
    Flag(Param::Wstrzymaj, "Wstrzymaj", kUnchecked),
    Choice(Param::radiounit, "radiounit", 3, 0),
    Flag(Param::AddFrame, "AddFrame", kUnchecked),
    Flag(Param::dopasujKierunek, "dopasujKierunek", kChecked),
    Length(Param::Xwrzeciona, "Xwrzeciona", "mm", -1000, 1000, 100, 12),
    Length(Param::Ywrzeciona, "Ywrzeciona", "mm", 0, 2000, 100, 730),
    Length(Param::Xstolika, "Xstolika", "mm", 0, 3000, 100, 1000),
    Length(Param::Ystolika, "Ystolika", "mm", 0, 3000, 100, 250),
    Length(Param::Xnarzedzia, "Xnarzedzia", "mm", -1000, 1000, 100, 0),
    Length(Param::Ynarzedzia, "Ynarzedzia", "mm", -1000, 1000, 100, 0),
    Length(Param::KerfWidth, "KerfWidth", "mm", 0, 10, 0.1, 0),
}};

// The rows must stand at the index of their parameter.
constexpr bool TableInOrder() {
  for (size_t i = 0; i < kTable.size(); ++i) {
    if (IndexOf(kTable[i].id) != i) return false;
  }
  return true;
}
static_assert(TableInOrder(), "parameter table out of order");

[[maybe_unused]] bool IsNumber(Param param) {
  const ParamKind kind = SpecOf(param).kind;
  return kind == ParamKind::kNumber || kind == ParamKind::kUnitNumber;
}

// Limits a number into [min, max]; equal limits mean no limit.
double Clamp(double value, double min, double max) {
  if (min == max) return value;
  if (value < min) return min;
  if (value > max) return max;
  return value;
}

}  // namespace

const ParamSpec& SpecOf(Param param) { return kTable[IndexOf(param)]; }

const std::array<ParamSpec, kParamCount>& ParamTable() { return kTable; }

std::optional<Param> FindParam(std::string_view name) {
  for (const ParamSpec& spec : kTable) {
    if (spec.name == name) return spec.id;
  }
  return std::nullopt;
}

Configuration::Configuration() : maxima_(kInitialMaxima) {
  for (const ParamSpec& spec : kTable) {
    const size_t i = IndexOf(spec.id);
    values_[i] = spec.default_value;
    min_[i] = spec.min;
    max_[i] = spec.max;
  }
}

Configuration::Configuration(const Configuration& other)
    : values_(other.values_),
      min_(other.min_),
      max_(other.max_),
      maxima_(other.maxima_),
      current_unit_(other.current_unit_) {}

Configuration& Configuration::operator=(const Configuration& other) {
  values_ = other.values_;
  min_ = other.min_;
  max_ = other.max_;
  maxima_ = other.maxima_;
  current_unit_ = other.current_unit_;
  return *this;
}

double Configuration::Number(Param param) const {
  assert(IsNumber(param));
  return values_[IndexOf(param)];
}

FlagState Configuration::Flag(Param param) const {
  assert(SpecOf(param).kind == ParamKind::kFlag);
  return static_cast<FlagState>(static_cast<int>(values_[IndexOf(param)]));
}

int Configuration::Choice(Param param) const {
  assert(SpecOf(param).kind == ParamKind::kChoice);
  return static_cast<int>(values_[IndexOf(param)]);
}

void Configuration::SetNumber(Param param, double value) {
  assert(IsNumber(param));
  if (std::isnan(value)) return;
  Store(param, Clamp(value, Min(param), Max(param)));
}

void Configuration::SetFlag(Param param, FlagState state) {
  assert(SpecOf(param).kind == ParamKind::kFlag);
  Store(param, static_cast<double>(state));
}

void Configuration::SetChoice(Param param, int index) {
  const ParamSpec& spec = SpecOf(param);
  assert(spec.kind == ParamKind::kChoice);
  if (index >= spec.items) index = spec.items - 1;
  if (index < -1) index = -1;
  Store(param, static_cast<double>(index));
}

void Configuration::ApplyModelMaxima(const SpeedMaxima& maxima) {
  maxima_ = maxima;
  max_[IndexOf(Param::szybkoscObrobki)] = maxima.work;
  max_[IndexOf(Param::PrzeSpeed)] = maxima.rapid;
  max_[IndexOf(Param::Tasma_SzybkoscPrzes)] = maxima.conveyor;
  for (Param speed : {Param::szybkoscObrobki, Param::PrzeSpeed, Param::Tasma_SzybkoscPrzes}) {
    SetNumber(speed, Number(speed));
  }
}

void Configuration::ApplyPowerMaxima() {
  for (Param power : {Param::work_power, Param::VerticalWire_power}) {
    max_[IndexOf(power)] = kPowerMaximum;
    if (Number(power) > kPowerMaximum) Store(power, kPowerMaximum);
  }
}

void Configuration::TakeValuesFrom(const Configuration& other) {
  for (const ParamSpec& spec : kTable) Store(spec.id, other.values_[IndexOf(spec.id)]);
}

void Configuration::Store(Param param, double value) {
  double& slot = values_[IndexOf(param)];
  // Compared as numbers, so -0 replacing 0 is no change.
  if (slot == value) return;
  slot = value;
  if (observer_) observer_(param);
}

}  // namespace varnholt
