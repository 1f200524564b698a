#include "app/headless_main_window.h"

namespace varnholt {

void HeadlessMainWindow::StartRequested() {
  if (run_ != nullptr) run_->Start1Click();
}

void HeadlessMainWindow::StopRequested() {
  if (run_ != nullptr) run_->Wstrzymaj1Click();
}

void HeadlessMainWindow::ContinueRequested() {
  if (run_ != nullptr) run_->Kontynuacja1Click();
}

void HeadlessMainWindow::ProgramEnded() {
  ++programs_ended_;
  if (run_ != nullptr) run_->ProgramEnded();
}

}  // namespace varnholt
