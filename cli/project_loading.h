#pragma once
// Loading a drawing into a planned project for the commands that show plans.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "project/project_document.h"
#include "services/scripted_operator.h"

namespace varnholt::cli {

// A loaded project with what it showed the operator while loading and planning.
struct LoadedProject {
  std::unique_ptr<ProjectDocument> project;
  std::vector<ScriptedOperator::Message> messages;
};

// Loads and plans FILE (kind from its extension) with the configuration file's AddFrame and CatDir, or the
// defaults. Nothing when the configuration or the drawing cannot be read; the reason went to err.
std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const std::optional<std::string>& config_path,
                                                std::ostream& err);

}  // namespace varnholt::cli
