#pragma once
// How a part of the program asks for an interface text.

#include <functional>
#include <string>
#include <string_view>

namespace varnholt {

// Looks up an interface text by section and key.
using TextLookup = std::function<std::string(std::string_view section, std::string_view key)>;

}  // namespace varnholt
