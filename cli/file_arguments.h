#pragma once
// The arguments of a command that takes one file and options with a value each.

#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "files/drawing_unit.h"

namespace varnholt::cli {

struct FileArguments {
  std::string file;
  std::map<std::string, std::string, std::less<>> values;  // by option, as given ("--config" -> "a.qcc")

  std::optional<std::string> Value(std::string_view option) const {
    const auto found = values.find(option);
    return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
};

// One file and any of the options, each followed by its value; nothing for a missing file, a second file, an
// unknown option or an option without its value.
std::optional<FileArguments> ParseFileArguments(const Arguments& args, std::initializer_list<std::string_view> options);

// The unit words of --unit: mm, inch or feet.
std::optional<DrawingUnit> UnitFromWord(const std::string& word);

}  // namespace varnholt::cli
