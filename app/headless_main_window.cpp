#include "app/headless_main_window.h"

namespace varnholt {

void HeadlessMainWindow::StartRequested() {
  ++start_requests_;
  if (run_ != nullptr) run_->Start1Click();
}

void HeadlessMainWindow::StopRequested() {
  ++stop_requests_;
  if (run_ != nullptr) run_->Wstrzymaj1Click();
}

void HeadlessMainWindow::ContinueRequested() {
  ++continue_requests_;
  if (run_ != nullptr) run_->Kontynuacja1Click();
}

void HeadlessMainWindow::ProgramEnded() {
  ++programs_ended_;
  if (run_ != nullptr) run_->ProgramEnded();
}

}  // namespace varnholt
