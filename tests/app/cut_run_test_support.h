#pragma once
// A whole cutting run without windows: a project, the machine session over a simulated controller, and the event
// loop on an event clock, in a temporary program folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "app/event_clock.h"
#include "app/headless_main_window.h"
#include "app/machine_session.h"
#include "app/timer_loop.h"
#include "link/link_test_support.h"
#include "project/project_document.h"
#include "support/temp_folder.h"

namespace varnholt {

class CutRunTest : public ::testing::Test {
 protected:
  explicit CutRunTest(const std::string& model = "Qe") : sim_(model) {}

  // Loads and plans a drawing given as plot-file text. The caller asserts on the result: nothing after a failed
  // load has a project to work on.
  [[nodiscard]] ::testing::AssertionResult OpenDrawing(const std::string& hpgl) {
    return OpenFile(drawings_.Write("drawing.plt", hpgl));
  }
  [[nodiscard]] ::testing::AssertionResult OpenSample(const std::string& name) {
    return OpenFile(std::string(VARNHOLT_SOURCE_DIR) + "/samples/" + name);
  }
  [[nodiscard]] ::testing::AssertionResult OpenFile(const std::string& path) {
    const tInterfejs& texts = UsTexts();
    project_ = std::make_unique<ProjectDocument>(
        [&texts](std::string_view section, std::string_view key) { return texts.GetText(section, key); });
    project_->add_frame = config_.Checked(Param::AddFrame);
    project_->feed_direction = config_.Choice(Param::CatDir);
    if (project_->Load(path, kAllPens)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the drawing did not load: " << path;
  }
  // Creates the session (the link finds the controller, the panel is created) and the event loop.
  void Create(bool test_mode = false) {
    main_.emplace(project_.get());
    session_.emplace(sim_, UsTexts(), config_, *main_, joystick_, SessionOptions{folder_.folder(), test_mode, false});
    main_->Attach(session_->run);
    loop_.emplace(*session_);
  }
  MachineSession& session() { return *session_; }
  CuttingRun& run() { return session_->run; }

  // Turns the event loop until the run settles and nothing is scheduled; false when it was still going after an
  // hour of machine time (a wait without a bound).
  bool RunToEnd(int64_t limit_ms = 3'600'000) {
    const int64_t deadline = clock_.NowMs() + limit_ms;
    return loop_->RunUntil(
        [this] { return session_->Settled() && !loop_->HasPendingActions() && !clock_.NextEventMs(); }, deadline);
  }
  // Start pressed now, and the loop turned until the run settles.
  bool StartAndRun() {
    run().Start1Click();
    return RunToEnd();
  }

  // Any heater of the simulated controller on, the vertical wires' included.
  bool AnyHeaterOn() const {
    for (size_t channel = 0; channel < 8; ++channel) {
      if (sim_.heater_on(channel)) return true;
    }
    return sim_.VerticalWiresHot();
  }

  std::string ProgramFile() const { return folder_.PathOf("out.cn"); }
  std::optional<std::string> ReadProgram() const {
    std::ifstream file(ProgramFile(), std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  size_t Boxes(const char* section, const char* key) const {
    return testing::BoxesShowing(op_.messages(), UsTexts().GetText(section, key));
  }
  // The boxes shown so far, for failure messages.
  std::string Shown() const {
    std::string shown;
    for (const auto& m : op_.messages()) shown += "[" + m.text + " | " + m.caption + "] ";
    return shown;
  }
  // Direct commands the controller took that begin with letter.
  size_t CountOf(char letter) const {
    return static_cast<size_t>(std::count_if(sim_.commands().begin(), sim_.commands().end(),
                                             [letter](const CommandBytes& c) { return !c.empty() && c[0] == letter; }));
  }

  EventClock clock_;
  ScopedClock installed_clock_{clock_};
  ScriptedOperator op_;
  ScopedOperator installed_operator_{op_};
  testing::TempFolder folder_;
  testing::TempFolder drawings_;
  Configuration config_;
  sim::SimulatedController sim_;
  std::unique_ptr<ProjectDocument> project_;
  NoJoystick joystick_;
  std::optional<HeadlessMainWindow> main_;
  std::optional<MachineSession> session_;
  std::optional<TimerLoop> loop_;
};

}  // namespace varnholt
