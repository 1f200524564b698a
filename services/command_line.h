#pragma once
// Command-line switches and the dealer code. Arguments never include the program's own path.

#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

// True when any argument equals name without regard to case.
bool CommandLineSwitch(const std::vector<std::string>& arguments, std::string_view name);

// The dealer code: "ORVELT" stays; otherwise the last argument longer than two characters that begins with "D:" (in
// either case) gives the rest of it in upper case; without such an argument the current code stays.
std::string DealerCode(const std::string& current, const std::vector<std::string>& arguments);

}  // namespace varnholt
