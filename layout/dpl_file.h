#pragma once
// The duplication file (".dpl") beside a pattern's drawing: the values last used for it, in the section
// "Duplication_parameters" of a file of bracketed sections and key=value lines.

#include <optional>
#include <string>
#include <string_view>

#include "layout/grid.h"
#include "services/program_folder.h"

namespace varnholt {

inline constexpr std::string_view kDplSection = "Duplication_parameters";

// The pattern's file path with its extension replaced by ".dpl" (added when it has none).
std::string DplPathFor(const std::string& pattern_path);
// The same, except for a drawing among the shipped data when the program writes elsewhere (an installed program
// never writes there): then its place below the shipped folder is taken below the writable folder, so a sample's
// values are kept in the account's data folder ("Samples/US/disc.dpl" there). A relative path that names no file
// (a project the program made, such as a text not saved yet) has its ".dpl" file in the writable folder.
std::string DplPathFor(const std::string& pattern_path, const ProgramFolders& folders);

// True when the path's extension is ".dpl" in any case: the project is itself a duplication.
bool IsDplPath(const std::string& path);

// The values of the section in `text`, each missing or unreadable one by its default: 2 columns, 1 row, pitches of
// the pattern's size plus 10 mm, connector distances half the gaps the pitches leave, and the connector distances
// rounded to whole plotter units. Section and key names are matched without regard to case; integers are decimal,
// reals take '.' or ','. Nothing when the text has no such section.
std::optional<DuplicationParameters> ParseDplText(std::string_view text, int32_t pattern_width, int32_t pattern_height);

// The file's values, or nothing when it does not exist, cannot be read or has no section (the caller then takes
// the defaults); a file larger than 1 MiB is no duplication file.
std::optional<DuplicationParameters> ReadDplFile(const std::string& path, int32_t pattern_width,
                                                 int32_t pattern_height);

// `existing` with its duplication section removed and the six values written as the new last section, lines ended
// by CR LF, reals in their shortest form with the separator, the connector distances as the layout uses them
// (whole plotter units). Every other line stays as it was.
std::string DplText(std::string_view existing, const DuplicationParameters& values, char separator);

// Writes the values into the file, keeping its other sections. The file is replaced only once the new one is
// whole; a failure leaves the old file as it was and throws RunTimeError with the run-time message, also when the
// existing file cannot be read.
void WriteDplFile(const std::string& path, const DuplicationParameters& values, char separator);

}  // namespace varnholt
