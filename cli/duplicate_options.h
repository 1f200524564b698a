#pragma once
// The options that lay a drawing out in rows and columns before a command plans, shows or writes it.

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/file_arguments.h"
#include "cli/project_loading.h"

namespace varnholt::cli {

// The flag that keeps the values in the ".dpl" file beside the drawing.
inline constexpr std::string_view kWriteDplFlag = "--write-dpl";

// The usage text of the options.
inline constexpr const char* kDuplicateUsage =
    "[--columns N --rows N [--pitch-x MM] [--pitch-y MM] [--gap-v MM] [--gap-h MM] [--write-dpl]]";

// The options of a command followed by the duplication options that take a value.
std::vector<std::string_view> WithDuplicateOptions(std::vector<std::string_view> options);

// What a command line asks of a duplication.
struct DuplicateRequest {
  std::map<std::string, std::string, std::less<>> values;  // by option ("--columns" -> "3")
  bool write_dpl = false;

  bool Requested() const { return !values.empty() || write_dpl; }
};

// The duplication options among a command's parsed arguments.
DuplicateRequest DuplicateRequestOf(const FileArguments& parsed);

// Takes args[i], and the value after it, into the request when it is a duplication option; i then stands on the
// value. False for any other argument.
bool TakeDuplicateOption(const Arguments& args, size_t& i, DuplicateRequest& request);

// Lays the loaded drawing out as the request asks. --columns and --rows are needed; the pitches and connector
// distances come from the ".dpl" file beside the drawing or are the defaults, and an option given replaces its
// value (a pitch given without its connector distance takes half the gap it leaves). The values are checked as the
// dialog checks them, with the messages (and an overlap question, answered Cancel) written to err; --write-dpl then
// keeps them in the ".dpl" file. The new project is planned; its messages follow the drawing's. Nothing when an
// option, a check or the write fails; the reason went to err.
std::optional<LoadedProject> DuplicateLoaded(LoadedProject pattern, const std::string& drawing,
                                             const DuplicateRequest& request, std::ostream& err);

}  // namespace varnholt::cli
