#include "link/command_framing.h"

#include <array>

namespace varnholt {
namespace {

// Lengths of the commands "@" (index 0) to "Z" (index 26).
constexpr std::array<uint8_t, 27> kLengths = {
    1,                       // @
    6, 2, 1, 1, 1, 2, 1, 2,  // A B C D E F G H
    2, 1, 1, 3, 1, 4, 1, 2,  // I J K L M N O P
    1, 3, 6, 3, 7, 4, 1, 1,  // Q R S T U V W X
    1, 1,                    // Y Z
};

}  // namespace

size_t CommandLength(uint8_t letter) {
  if (letter >= 'a' && letter <= 'z') letter = static_cast<uint8_t>(letter - 'a' + 'A');
  if (letter < '@' || letter > 'Z') return 0;
  return kLengths[static_cast<size_t>(letter - '@')];
}

}  // namespace varnholt
