#include "config/display_unit.h"

namespace varnholt {

double UnitFactor(int unit) {
  switch (unit) {
    case kUnitInch:
      return 25.4;
    case kUnitFoot:
      return 304.8;
    default:
      return 1.0;
  }
}

std::string_view UnitName(int unit) {
  switch (unit) {
    case kUnitInch:
      return "in";
    case kUnitFoot:
      return "ft";
    default:
      return "mm";
  }
}

double ToMillimetres(double value, int unit) { return value * UnitFactor(unit); }

double FromMillimetres(double mm, int unit) { return mm / UnitFactor(unit); }

std::string LengthUnitLabel(int unit) { return "[" + std::string(UnitName(unit)) + "]"; }

std::string SpeedUnitLabel(int unit, std::string_view per_minute) {
  return "[" + std::string(UnitName(unit)) + std::string(per_minute);
}

double StepMm(Param param, int unit) {
  switch (param) {
    case Param::Srednicamaterialu:
    case Param::szybkoscObrobki:
    case Param::PrzeSpeed:
    case Param::Tasma_SzybkoscPrzes:
    case Param::TasmaPrzesuwKon:
    case Param::TasmaPrzesuwPocz:
    case Param::feuWysokoscMat:
      if (unit == kUnitInch) return 25.4;
      if (unit == kUnitFoot) return 30.48;
      return SpecOf(param).step;
    default:
      return SpecOf(param).step;
  }
}

}  // namespace varnholt
