#pragma once
// A control panel over a simulated controller on virtual time, with a main window that records what it is asked.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "control/tster.h"
#include "link/link_test_support.h"

namespace varnholt {

// The main window's side of the panel: one project or none, the repetition toggle, and counts of the requests.
class RecordingMainWindow final : public MainWindowPort {
 public:
  int OpenProjectCount() const override { return projects; }
  ProjectDocument* ActiveProject() override { return nullptr; }
  bool AutoRepeat() const override { return auto_repeat; }
  void SetMachineButtons(const MainButtonStates& states) override { buttons = states; }
  void StartRequested() override { ++starts; }
  void StopRequested() override { ++stops; }
  void ContinueRequested() override { ++continues; }
  void ProgramEnded() override { ++ends; }

  int projects = 1;
  bool auto_repeat = false;
  MainButtonStates buttons;
  int starts = 0, stops = 0, continues = 0, ends = 0;
};

class PanelTest : public SimulatedLink {
 protected:
  explicit PanelTest(const std::string& model = "Qa") : SimulatedLink(model) {}

  void SetUp() override {
    SimulatedLink::SetUp();
    panel_.emplace(link(), flags_, main_, joystick_);
    panel().FormCreate();
    sim_.ClearLog();
  }
  Tster& panel() { return *panel_; }

  // One status step of an active, idle panel (or of a panel in the background), and what it noticed carried out,
  // as the window's timer does it.
  int Step(bool active = true) {
    const int interval = panel().tick(PanelFocus{active, false});
    panel().RunRequests();
    return interval;
  }
  // Direct commands of the controller's log that begin with letter.
  size_t CountOf(char letter) const {
    return static_cast<size_t>(std::count_if(sim_.commands().begin(), sim_.commands().end(),
                                             [letter](const CommandBytes& c) { return !c.empty() && c[0] == letter; }));
  }
  // Moves the controller was sent (a move opens with the group "A" 0xFF).
  size_t MovesSent() const {
    return static_cast<size_t>(std::count_if(sim_.commands().begin(), sim_.commands().end(), [](const CommandBytes& c) {
      return c.size() >= 2 && c[0] == 'A' && static_cast<uint8_t>(c[1]) == kMoveOpenCode;
    }));
  }
  bool Sent(const CommandBytes& command) const {
    return std::find(sim_.commands().begin(), sim_.commands().end(), command) != sim_.commands().end();
  }
  size_t Boxes(const char* key) const { return testing::BoxesShowing(op_.messages(), ControlText(key)); }
  // A stored program of one long move (about 7 s at the default period) that the controller runs after Go;
  // callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void RunLongProgram() {
    ASSERT_TRUE(SendCommand(link(), BuildMoveRecord('a', state_.profile.StepMultiplier, {20000, 0, 0, 0, 20000, 0, 0, 0}).bytes));
    ASSERT_TRUE(SendCommand(link(), GoCommand()));
    ReadStatus(link());
    ASSERT_TRUE(state_.Has(kStatusProgramRunning));
  }
  PanelKey Key(int code, bool auto_repeat = false) const {
    PanelKey key;
    key.code = code;
    key.auto_repeat = auto_repeat;
    return key;
  }

  RunFlags flags_;
  RecordingMainWindow main_;
  ScriptedJoystick joystick_;
  std::optional<Tster> panel_;
};

}  // namespace varnholt
