#pragma once
// Counting the message boxes a recording operator was asked to show.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string_view>

namespace varnholt::testing {

// The recorded boxes (anything with a text) that showed text.
template <typename Boxes>
size_t BoxesShowing(const Boxes& boxes, std::string_view text) {
  return static_cast<size_t>(
      std::count_if(std::begin(boxes), std::end(boxes), [text](const auto& box) { return box.text == text; }));
}

}  // namespace varnholt::testing
