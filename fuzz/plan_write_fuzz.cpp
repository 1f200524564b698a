// Loads whatever the plot reader makes of arbitrary bytes, plans it, writes its program and verifies the program:
// loading and writing may refuse with a message, but a written program must cut exactly the drawing.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "program/cut_program.h"
#include "program/program_verifier.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace {

// A folder of this process for the drawing and the program.
const std::filesystem::path& WorkFolder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("varnholt-plan-write-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varnholt;
  const std::string drawing = (WorkFolder() / "drawing.plt").string();
  const std::string program_file = (WorkFolder() / "out.cn").string();
  std::ofstream(drawing, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                     static_cast<std::streamsize>(size));
  std::filesystem::remove(program_file);

  ScriptedOperator op;
  ScopedOperator installed(op);
  const TextLookup texts = [](std::string_view section, std::string_view key) {
    return std::string(section) + "/" + std::string(key);
  };
  ProjectDocument project(texts);
  // The first byte chooses a frame or a start marker where planning needs one.
  project.add_frame = size > 0 && (data[0] & 1) != 0;
  if (!project.Load(drawing, kAllPens)) return 0;
  // As the cutting run decides it.
  project.cut_start_figure = !project.has_own_frame() || (size > 0 && (data[0] & 2) != 0);
  Configuration config;
  const ControllerState machine;
  if (!save_ciecie(project, program_file, config, machine, {}, texts)) return 0;

  std::ifstream written(program_file, std::ios::binary);
  const std::string program(std::istreambuf_iterator<char>(written), {});
  const ProgramCheck check = VerifyProgram(program, project, config, machine);
  if (!check.passed()) __builtin_trap();
  return 0;
}
