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


// The configuration of a command: the file's values (decimal point '.'), or the defaults without a file. Nothing
// when the file cannot be read; the reason went to err.
std::optional<Configuration> ReadConfiguration(const std::optional<std::string>& path, std::ostream& err);

// The --kerf option's value: a kerf width in millimetres from 0 to 10. Nothing for anything else; the reason went
// to err.
std::optional<double> ParseKerfOption(const std::string& text, std::ostream& err);

// Sets the configuration's kerf width from a --kerf value when one was given; false (reason in err) when it is no
// kerf width.
bool ApplyKerfOption(const std::optional<std::string>& text, Configuration& config, std::ostream& err);

// A loaded project with what it showed the operator while loading and planning.
struct LoadedProject {
  std::unique_ptr<ProjectDocument> project;
  std::vector<ScriptedOperator::Message> messages;
};

// Loads and plans FILE (kind from its extension) with the configuration's AddFrame, CatDir, display unit and kerf
// width, in the interface texts of the program folder. Nothing when the drawing cannot be loaded; the messages
// went to err.
std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const Configuration& config,
                                                const WorkingRange& range, std::ostream& err);

// The same with the configuration read from config_path (defaults without one), its kerf width replaced by a
// --kerf value when one is given, and the initial working range.
std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const std::optional<std::string>& config_path,
                                                std::ostream& err, const std::optional<std::string>& kerf = {});

}  // namespace varnholt::cli
