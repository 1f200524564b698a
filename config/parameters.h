#pragma once
// The machine configuration parameters: their table, their values and how a value is limited when it is set.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace varnholt {

// Every parameter, in the order of the configuration file's lines. The names are the parameters' own names,
// which are also their keys in the file.
enum class Param : int {
  AutoSave,
  szybkoscObrobki,
  PrzeSpeed,
  work_power,
  CzasRozgrzewania,
  Pauza_w_kacie,
  skala,
  Tasma_SzybkoscPrzes,
  VerticalWire_power,
  TasmaPrzesuwKon,
  TasmaPrzesuwPocz,
  fePauzaTechn,
  feuWysokoscMat,
  feKalibracjaX,
  feKalibracjaY,
  feKalibracjaZ,
  CatDir,
  Mode,
  PowerOutput,
  Heavy,
  StolikSwitch,
  KierunekObrotow,
  Srednicamaterialu,
  il_obr_rys,
  ilosckrokow,
  MoveAfter,
  Wstrzymaj,
  radiounit,
  AddFrame,
  dopasujKierunek,
  Xwrzeciona,
  Ywrzeciona,
  Xstolika,
  Ystolika,
  Xnarzedzia,
  Ynarzedzia,
  // The width of the slot the wire melts, for compensated outlines; its line comes last, so files written
  // without it still load (the value then stays as it was).
  KerfWidth,
};

inline constexpr size_t kParamCount = 37;

// How a parameter holds its value.
enum class ParamKind {
  kNumber,      // a real value clamped into [min, max]
  kUnitNumber,  // the same, held in millimetres (speeds in mm/min) and shown in the display unit
  kFlag,        // unchecked, checked or greyed
  kChoice,      // an item index 0..items-1, or -1 for none
};

// States of a flag; the numbers are the toolkit's.
enum class FlagState : int { kUnchecked = 0, kChecked = 1, kGrayed = 2 };

// One row of the parameter table.
struct ParamSpec {
  Param id;
  std::string_view name;
  ParamKind kind;
  std::string_view unit;  // the unit of a number as its label shows it ("" for flags, choices and plain counts)
  double min = 0.0;       // numbers: limits and step in the unit above (millimetres for unit-aware fields)
  double max = 0.0;
  double step = 0.0;
  double default_value = 0.0;  // numbers: the value; flags: the FlagState; choices: the item index
  int items = 0;               // choices: the number of items offered
};

// The table row of a parameter.
const ParamSpec& SpecOf(Param param);
// All rows in file order.
const std::array<ParamSpec, kParamCount>& ParamTable();
// The parameter of a name (exact and case-sensitive), or nothing.
std::optional<Param> FindParam(std::string_view name);
// The index of a parameter in file order.
constexpr size_t IndexOf(Param param) { return static_cast<size_t>(param); }

// Maxima of the three speed fields, set by the connected model; these are the values before any model is known.
struct SpeedMaxima {
  double work = 5000.0;      // szybkoscObrobki
  double rapid = 5000.0;     // PrzeSpeed
  double conveyor = 3000.0;  // Tasma_SzybkoscPrzes

  friend bool operator==(const SpeedMaxima&, const SpeedMaxima&) = default;
};

inline constexpr double kPowerMaximum = 100.0;

// The program-wide set of parameter values with the display unit.
class Configuration {
 public:
  // Called with a parameter whose value has just changed (by any setter).
  using ChangeObserver = std::function<void(Param)>;

  Configuration();
  // A copy takes the values, limits and unit but no observer; an assigned configuration keeps its own observer
  // and is not told of the new values.
  Configuration(const Configuration& other);
  Configuration& operator=(const Configuration& other);

  // The value of a number or unit-aware number field (millimetres, mm/min or the field's own unit).
  double Number(Param param) const;
  FlagState Flag(Param param) const;
  // True when the flag is checked (a greyed flag is not).
  bool Checked(Param param) const { return Flag(param) == FlagState::kChecked; }
  // The item index of a choice.
  int Choice(Param param) const;

  // Sets a number clamped into [Min, Max] (no limit when they are equal); NaN leaves the value as it was.
  void SetNumber(Param param, double value);
  void SetFlag(Param param, FlagState state);
  void SetChecked(Param param, bool checked) { SetFlag(param, checked ? FlagState::kChecked : FlagState::kUnchecked); }
  // Sets a choice; an index at or beyond the number of items gives the last item, below -1 gives -1.
  void SetChoice(Param param, int index);

  // Current limits of a number field (the speed maxima follow the model).
  double Min(Param param) const { return min_[IndexOf(param)]; }
  double Max(Param param) const { return max_[IndexOf(param)]; }

  // Sets the maxima of the speed fields to the connected model's and cuts values above them.
  void ApplyModelMaxima(const SpeedMaxima& maxima);
  const SpeedMaxima& ModelMaxima() const { return maxima_; }
  // Sets the maxima of the two wire powers to 100 and cuts values above it.
  void ApplyPowerMaxima();

  // The display unit: 0 mm, 1 inch, 2 foot (a copy of radiounit taken at given moments).
  int CurrentUnit() const { return current_unit_; }
  void SetCurrentUnit(int unit) { current_unit_ = unit; }
  // Copies radiounit to CurrentUnit.
  void TakeCurrentUnitFromRadiounit() { current_unit_ = Choice(Param::radiounit); }

  // Installs the observer of value changes (an empty function removes it).
  void SetChangeObserver(ChangeObserver observer) { observer_ = std::move(observer); }

  // Compares the values (not the limits, unit or observer).
  bool SameValues(const Configuration& other) const { return values_ == other.values_; }
  // Takes every value of other as it is; the observer is told of each one that changes. Limits and unit stay.
  void TakeValuesFrom(const Configuration& other);

 private:
  void Store(Param param, double value);

  std::array<double, kParamCount> values_{};
  std::array<double, kParamCount> min_{};
  std::array<double, kParamCount> max_{};
  SpeedMaxima maxima_;
  int current_unit_ = 0;
  ChangeObserver observer_;
};

}  // namespace varnholt
