#pragma once
// Loading a drawing into a planned project for the commands that plan, show and write it.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "config/parameters.h"
#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {

// The reader kind a file's extension gives: DXF for ".dxf" in any case, a plot file otherwise.
int DrawingKindOfFile(const std::string& path);

// The configuration of a command: the file's values (decimal point '.'), or the defaults without a file. Nothing
// when the file cannot be read; the reason went to err.
std::optional<Configuration> ReadConfiguration(const std::optional<std::string>& path, std::ostream& err);

// A loaded project with what it showed the operator while loading and planning.
struct LoadedProject {
  std::unique_ptr<ProjectDocument> project;
  std::vector<ScriptedOperator::Message> messages;
};

// Loads and plans FILE (kind from its extension) with the configuration's AddFrame, CatDir and display unit, in
// the interface texts of the program folder. Nothing when the drawing cannot be loaded; the messages went to err.
std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const Configuration& config,
                                                const WorkingRange& range, std::ostream& err);

// The same with the configuration read from config_path (defaults without one) and the initial working range.
std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const std::optional<std::string>& config_path,
                                                std::ostream& err);

}  // namespace varnholt::cli
