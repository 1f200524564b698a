#pragma once
// The unit a drawing's lengths are given in, as the display unit setting numbers it.

namespace varnholt {

enum class DrawingUnit : int { kMillimetre = 0, kInch = 1, kFoot = 2 };

// Millimetres per drawing unit: 1, 25.4 or 304.8.
constexpr double MmPerDrawingUnit(DrawingUnit unit) {
  switch (unit) {
    case DrawingUnit::kInch:
      return 25.4;
    case DrawingUnit::kFoot:
      return 304.8;
    case DrawingUnit::kMillimetre:
      break;
  }
  return 1.0;
}

// The drawing unit of a display unit choice item; items outside 0..2 count as millimetres.
constexpr DrawingUnit DrawingUnitFromItem(int item) {
  return item == 1 ? DrawingUnit::kInch : item == 2 ? DrawingUnit::kFoot : DrawingUnit::kMillimetre;
}

}  // namespace varnholt
