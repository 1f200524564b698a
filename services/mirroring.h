#pragma once
// Mirroring of menus and button rows for languages written right to left; the windows apply the results.

#include <vector>

namespace varnholt {

// The left edge of a control placed directly on a row once the row is mirrored: row width - left - control width.
int MirroredLeft(int row_width, int left, int width);

// The order of a menu's top-level items once mirrored: entry i is the index of the item that goes to place i.
std::vector<int> MirroredMenuOrder(int item_count);

}  // namespace varnholt
