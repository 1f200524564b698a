#pragma once
// The duplication file (".dpl") beside a pattern's drawing: the values last used for it, in the section
// "Duplication_parameters" of a file of bracketed sections and key=value lines.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/line_problems.h"
#include "layout/grid.h"
#include "services/program_folder.h"

namespace varnholt {

inline constexpr std::string_view kDplSection = "Duplication_parameters";

// The pattern's file path with its extension replaced by ".dpl" (added when it has none).
std::string DplPathFor(const std::string& pattern_path);
// The same, except where the program cannot keep the file beside the drawing. A drawing among the shipped data when
// the program writes elsewhere (an installed program never writes there): its place below the shipped folder is
// taken below the writable folder, so a sample's values are kept in the account's data folder ("Samples/US/disc.dpl"
// there). A drawing in a folder no new file can be made in (a read-only medium, another account's folder): its
// folder's path is taken below "Duplication/" in the writable folder. A relative path that names no file (a project
// the program made, such as a text not saved yet) has its ".dpl" file in the writable folder.
std::string DplPathFor(const std::string& pattern_path, const ProgramFolders& folders);

// True when the path's extension is ".dpl" in any case: the project is itself a duplication.
bool IsDplPath(const std::string& path);

// What a duplication file gave: its values, and what could not be taken.
struct DplRead {
  // The section's values, each missing or unreadable one by its default; nothing without a file or a section.
  std::optional<DuplicationParameters> values;
  // A refused value (it took its default), a line within the section that is no key=value line, a section cut off
  // by the end of the file, a file that holds no section, a file that cannot be read. Keys the format lets the file
  // leave out are no problem.
  std::vector<LineProblem> problems;
};

// The values of the section in `text`, each missing or unreadable one by its default: 2 columns, 1 row, pitches of
// the pattern's size plus 10 mm, connector distances half the gaps the pitches leave (none when the pitches leave
// none), and the connector distances rounded to whole plotter units. Section and key names are matched without
// regard to case; integers are decimal, reals take '.' or ','.
DplRead ReadDplText(std::string_view text, int32_t pattern_width, int32_t pattern_height);
// The values alone (ReadDplText's).
std::optional<DuplicationParameters> ParseDplText(std::string_view text, int32_t pattern_width, int32_t pattern_height);

// The file's values as ReadDplText gives them; no values and no problems when it does not exist. A file that
// cannot be read, is no regular file or is larger than 1 MiB (no duplication file is) gives the problem alone.
DplRead ReadDplFile(const std::string& path, int32_t pattern_width, int32_t pattern_height);

// `existing` with its duplication section removed and the six values written as the new last section, lines ended
// by CR LF, reals in their shortest form with the separator, the connector distances as the layout uses them
// (whole plotter units). Every other line stays as it was.
std::string DplText(std::string_view existing, const DuplicationParameters& values, char separator);

// Writes the values into the file, keeping its other sections. The file is replaced only once the new one is
// whole; a failure leaves the old file as it was and throws RunTimeError with the run-time message, also when the
// existing file cannot be read.
void WriteDplFile(const std::string& path, const DuplicationParameters& values, char separator);

}  // namespace varnholt
