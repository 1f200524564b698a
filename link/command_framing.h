#pragma once
// The length of every controller command, fixed by its letter: it frames direct commands and stored programs alike.

#include <cstddef>
#include <cstdint>

namespace varnholt {

// The length in bytes of the command that begins with letter, upper or lower case ("A" and "a" are 6); 0 for a
// byte that begins no command.
size_t CommandLength(uint8_t letter);

}  // namespace varnholt
