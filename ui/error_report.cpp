#include "ui/error_report.h"

#include <exception>

#include "services/operator.h"

namespace varnholt {

bool ReportErrors(const std::function<void()>& operation) {
  try {
    operation();
    return true;
  } catch (const std::exception& error) {
    // No exception may cross the event loop: the operation ends here and the operator reads why.
    CurrentOperator().ShowMessageBox(error.what(), true, "");
    return false;
  }
}

}  // namespace varnholt
