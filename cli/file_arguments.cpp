#include "cli/file_arguments.h"

#include <algorithm>

namespace varnholt::cli {

std::optional<FileArguments> ParseFileArguments(const Arguments& args, const std::vector<std::string_view>& options,
                                                const std::vector<std::string_view>& flags) {
  FileArguments parsed;
  bool have_file = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const bool is_option = std::find(options.begin(), options.end(), args[i]) != options.end();
    if (is_option && i + 1 < args.size()) {
      parsed.values[args[i]] = args[i + 1];
      ++i;
    } else if (std::find(flags.begin(), flags.end(), args[i]) != flags.end()) {
      parsed.flags.insert(args[i]);
    } else if (!have_file && !args[i].starts_with("-")) {
      parsed.file = args[i];
      have_file = true;
    } else {
      return std::nullopt;
    }
  }
  if (!have_file) return std::nullopt;
  return parsed;
}

}  // namespace varnholt::cli
