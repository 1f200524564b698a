#pragma once
// The arguments of a command that takes one file, options with a value each and flags.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace varnholt::cli {

struct FileArguments {
  std::string file;
  std::map<std::string, std::string, std::less<>> values;  // by option, as given ("--config" -> "a.qcc")
  std::set<std::string, std::less<>> flags;                 // options without a value that were given

  std::optional<std::string> Value(std::string_view option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  bool Flag(std::string_view flag) const { return flags.find(flag) != flags.end(); }
};

// One file and any of the options, each followed by its value, and of the flags; nothing for a missing file, a
// second file, an unknown option or an option without its value.
std::optional<FileArguments> ParseFileArguments(const Arguments& args, const std::vector<std::string_view>& options,
                                                const std::vector<std::string_view>& flags = {});

}  // namespace varnholt::cli
