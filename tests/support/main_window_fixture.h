#pragma once
// The desktop program as window tests start it: a temporary program folder with the shipped language files, the
// simulated Qe controller behind the link, the main window offscreen with its machine connected, and the
// operator's boxes and file dialogs scripted.

#include <gtest/gtest.h>

#include <QLabel>
#include <QMdiArea>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/ui/main_form.h"
#include "config/ui/dlgkonfig.h"
#include "control/joystick.h"
#include "geometry/clock.h"
#include "project/ui/mdi_child.h"
#include "support/boxes.h"
#include "support/window_support.h"

namespace varnholt::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  // Starts the program with the command-line words given; the machine's timers keep pace. The caller asserts on
  // the result: without a language there is no window to test.
  [[nodiscard]] ::testing::AssertionResult Start(std::vector<std::string> arguments = {"us"},
                                                 MachineTimers::Pace pace = MachineTimers::Pace::kRealTime) {
    CopyLanguageFiles(VARNHOLT_LANGUAGE_DIR, folder_);
    StartOptions options;
    options.home = folder_.folder();
    options.sim_model = "Qe";
    options.arguments = std::move(arguments);
    program_ = std::make_unique<Program>(options);
    if (!program_->CreateLanguage()) return ::testing::AssertionFailure() << "no language file was loaded";
    form_ = std::make_unique<TMainForm>(*program_);
    form_->SetMaximiseOnActivation(false);
    op_.SetPanelSink([this](int panel, const QString& text) { form_->SetStatusPanel(panel, text); });
    form_->CreateConfigurationDialog();
    form_->LoadBasePoints();
    form_->ConnectMachine(joystick_, pace);
    form_->resize(1000, 700);
    form_->show();
    return ::testing::AssertionSuccess();
  }
  void TearDown() override {
    form_.reset();
    program_.reset();
  }

  TMDIChild* Open(const std::string& name, const std::string& text, int kind = 1) {
    return form_->OpenDrawing(folder_.Write(name, text), kind);
  }
  bool Enabled(const char* name) const { return form_->ActionNamed(name)->isEnabled(); }
  std::string Text(std::string_view section, std::string_view key) const { return program_->Text(section, key); }
  QMdiArea& Area() const { return *form_->findChild<QMdiArea*>("MDIArea"); }
  QLabel& Panel(int i) const { return *form_->findChild<QLabel*>(QString("StatusPanel%1").arg(i)); }
  // The configuration command with the dialog answered by OK, after edit has changed what it shows.
  void ConfigureWithOk(const std::function<void(TDlgkonfig&)>& edit = {}) {
    QTimer::singleShot(0, form_.get(), [this, edit] {
      if (edit) edit(form_->configuration_dialog());
      form_->configuration_dialog().accept();
    });
    form_->KonfiguracjaClick();
  }
  // Boxes shown with the text of section/key.
  size_t Boxes(std::string_view section, std::string_view key) const {
    return BoxesShowing(op_.boxes, Text(section, key));
  }

  TempFolder folder_;
  RecordingQtOperator op_;
  ScopedOperator installed_{op_};
  ScriptedFileChooser chooser_;
  NoJoystick joystick_;
  std::unique_ptr<Program> program_;
  std::unique_ptr<TMainForm> form_;
};

// The same with the machine on virtual time: the timers keep the program clock's pace and the test moves the clock
// on between turns of the event loop.
class MachineWindowTest : public MainWindowTest {
 protected:
  [[nodiscard]] ::testing::AssertionResult StartOnVirtualTime(std::vector<std::string> arguments = {"us"}) {
    return Start(std::move(arguments), MachineTimers::Pace::kProgramClock);
  }
  // Turns the loop on virtual time until done() holds; false when it still did not after limit_ms of machine time.
  bool RunUntil(const std::function<bool()>& done, int64_t limit_ms = 3'600'000) {
    return RunOnProgramClock(*form_->machine_timers(), done, limit_ms);
  }
  // Lets the status step run (at least) once more.
  [[nodiscard]] bool NextStatusStep() { return RunToNextStatusStep(*form_->machine_timers(), 10'000); }
  MachineSession& session() { return program_->session(); }

  VirtualClock clock_;
  ScopedClock installed_clock_{clock_};
};

}  // namespace varnholt::testing
