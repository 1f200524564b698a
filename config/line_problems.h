#pragma once
// What a reader of the program's small text files (the configuration, the duplication values) could not take, and
// how the operator is told: the file, the line's number and text, and what was wrong with it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

enum class LineFault {
  kBadValue,     // the value is not what the key takes (reason: the run-time message)
  kCutShort,     // the file ends inside the line: every line the program writes has its end
  kNotAKeyLine,  // a line within the values that is no key=value line
  kNoSection,    // the file holds no section of these values (line 0)
  kUnreadable,   // the file could not be read (line 0, reason: the run-time message)
};

struct LineProblem {
  size_t line = 0;     // counted from 1; 0 for the file as a whole
  std::string text;    // the line as the file holds it (its start when long)
  std::string reason;  // the run-time message of a refused value or an unreadable file
  LineFault fault = LineFault::kBadValue;
};

// A problem as the command line prints it: "PATH, line 5: CzasRozgrzewania := ~3000: '~3000' is not a valid
// floating point value".
std::string LineProblemText(const std::string& path, const LineProblem& problem);

// The language text of a key of section "Universal".
using UniversalText = std::function<std::string(std::string_view key)>;

// The problems as the operator reads them, one a line after the file's name, in the interface language.
std::string LineProblemsMessage(const std::string& path, const std::vector<LineProblem>& problems,
                                const UniversalText& text);

}  // namespace varnholt
