// Feeds arbitrary bytes to the machine program decoder: it must decode, or stop at a damage inside the input.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/program_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const varnholt::ControllerState machine;
  const varnholt::DecodedProgram program = varnholt::DecodeProgram(bytes, machine);
  if (program.damage_offset && *program.damage_offset >= size) __builtin_trap();
  if (program.commands.size() > size) __builtin_trap();
  for (const auto& command : program.commands) {
    if (command.offset >= size) __builtin_trap();
  }
  return 0;
}
