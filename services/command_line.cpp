#include "services/command_line.h"

#include <QString>

#include "services/language_selection.h"

namespace varnholt {

bool CommandLineSwitch(const std::vector<std::string>& arguments, std::string_view name) {
  for (const std::string& argument : arguments) {
    if (EqualsIgnoringCase(argument, name)) return true;
  }
  return false;
}

std::string DealerCode(const std::string& current, const std::vector<std::string>& arguments) {
  if (current == kDealerOrvelt) return current;
  for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
    if (argument->size() > 2 && EqualsIgnoringCase(std::string_view(*argument).substr(0, 2), "D:")) {
      const std::string rest = argument->substr(2);
      return QString::fromStdString(rest).toUpper().toStdString();
    }
  }
  return current;
}

}  // namespace varnholt
