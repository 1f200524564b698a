#pragma once
// Projects loaded from drawings and a simulated controller on virtual time, for the information tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "config/parameters.h"
#include "geometry/clock.h"
#include "link/controller_ops.h"
#include "link/sim/simulated_controller.h"
#include "link/tf_usb.h"
#include "project/project_document.h"
#include "services/interfejs.h"
#include "services/scripted_operator.h"

namespace varnholt {

inline const tInterfejs& UsTexts() {
  static const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, 1, ""});
  return texts;
}

inline std::string SamplePath(const std::string& name) {
  return std::string(VARNHOLT_SAMPLES_DIR) + "/" + name;
}

// A simulated controller of a model on virtual time, connected and identified, standing where it was switched
// on.
struct SimulatedMachine {
  explicit SimulatedMachine(const std::string& model, const Configuration& configuration = {})
      : config(configuration),
        controller(model),
        usb(controller, UsTexts()),
        link{usb, state, config, UsTexts()} {
    Identify(link);
    ReadPositions(link);
  }

  WorkingRange range() const {
    return {static_cast<double>(state.x_range), static_cast<double>(state.y_range)};
  }

  VirtualClock clock;
  ScopedClock installed_clock{clock};
  ScriptedOperator op;
  ScopedOperator installed_operator{op};
  Configuration config;
  ControllerState state;
  sim::SimulatedController controller;
  TfUsb usb;
  MachineLink link;
};

// Loads and plans a drawing (plot file, or DXF by its extension) as a project window does.
inline std::unique_ptr<ProjectDocument> LoadProject(const std::string& path, const WorkingRange& range = {},
                                                    bool plan = true) {
  auto project = std::make_unique<ProjectDocument>(
      [](std::string_view section, std::string_view key) { return UsTexts().GetText(section, key); });
  project->reader_kind = std::filesystem::path(path).extension() == ".dxf" ? kDxfFile : kPlotFile;
  project->working_range = range;
  project->plan_after_load = plan;
  ScriptedOperator quiet;
  ScopedOperator installed(quiet);
  EXPECT_TRUE(project->Load(path, kAllPens)) << path;
  return project;
}

}  // namespace varnholt
