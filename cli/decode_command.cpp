#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string_view>
#include <vector>
#include <string>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/simulated_machine.h"
#include "cli/text_out.h"
#include "config/file_write.h"
#include "files/file_open.h"
#include "files/program_decoder.h"

namespace varnholt::cli {
namespace {

constexpr const char* kUsage = "Usage: varnholt-cli decode PROGRAM.cn [--model Qa|Qe|Qo]\n";

std::string Line(const char* format, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

void WriteSummary(const ProgramSummary& summary, const ControllerState& machine, std::ostream& out) {
  out << Line("commands %zu, bytes %zu, moves %zu, pauses %" PRId64 " ms\n", summary.commands, summary.bytes,
              summary.moves, summary.pause_ms);
  out << "travel:";
  for (size_t axis = 0; axis < summary.travel_steps.size(); ++axis) {
    if (summary.travel_steps[axis] == 0) continue;
    const double scale = axis == 0 || axis == 4 ? machine.StepScaleX
                         : axis == 1 || axis == 5 ? machine.StepScaleY
                                                  : machine.StepScaleZ;
    out << Line(" %s %" PRId64 " steps (%.2f mm)", std::string(AxisName(axis)).c_str(), summary.travel_steps[axis],
                static_cast<double>(summary.travel_steps[axis]) / (100.0 * scale));
  }
  out << '\n';
  out << Line("estimated run time %.1f s\n", summary.run_seconds);
  out << "the wire ends where it started: " << (summary.ends_where_it_started ? "yes" : "no") << '\n';
}

}  // namespace

int RunDecode(const Arguments& args, std::ostream& out, std::ostream& err) {
  const std::optional<FileArguments> parsed = ParseFileArguments(args, {"--model"});
  if (!parsed) {
    err << kUsage;
    return 1;
  }
  const std::string& path = parsed->file;
  const std::optional<std::string> model = parsed->Value("--model");
  // Steps become millimetres and periods speeds with the calibration of the machine the program was written for.
  ControllerState machine;
  if (model) {
    auto identified = IdentifySimulatedMachine(*model, Configuration(), err);
    if (!identified) return 1;
    machine = *identified;
  }
  std::ifstream file;
  if (const int code = OpenForReading(path, file); code != kIoOk) {
    err << "Cannot open the file: " << path << " (" << IoCodeReason(code) << ")\n";
    return 1;
  }
  // The program is read and decoded piece by piece, each command printed as it comes: memory stays small
  // whatever the program's length.
  TextOut text(out);
  ProgramDecoder decoder(machine, [&text](const DecodedCommand& command) {
    text << Line("%06zu %c ", command.offset, command.letter) << command.text << '\n';
  });
  std::vector<char> piece(size_t{1} << 16);
  while (file) {
    file.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    decoder.Feed(std::string_view(piece.data(), static_cast<size_t>(file.gcount())));
  }
  if (file.bad()) {
    text.Flush();
    out.flush();
    err << FileErrorMessage(EIO, path) << '\n';
    return 1;
  }
  decoder.Finish();
  text.Flush();
  const DecodedProgram& program = decoder.result();
  WriteSummary(program.summary, machine, out);
  if (program.damage_offset) {
    err << "The program is damaged at offset " << *program.damage_offset << ": " << program.damage << '\n';
    return 1;
  }
  return 0;
}

}  // namespace varnholt::cli
