#include "cli/project_loading.h"

#include <cctype>
#include <filesystem>

#include "cli/lenient.h"
#include "cli/number_arguments.h"
#include "cli/program_texts.h"
#include "config/konfig_file.h"
#include "files/thpgl.h"
#include "geometry/run_time_error.h"
#include "project/kerf_settings.h"

namespace varnholt::cli {

std::optional<Configuration> ReadConfiguration(const std::optional<std::string>& path, std::ostream& err) {
  Configuration config;
  if (!path) return config;
  KonfigLoad load;
  try {
    load = ReadKonfigFile(*path, config, '.');
  } catch (const RunTimeError& error) {
    err << "Cannot read the configuration " << *path << ": " << error.what() << '\n';
    return std::nullopt;
  }
  for (const std::string& line : KonfigLoadLines(*path, load)) err << line << '\n';
  if (!load.Whole() && !Lenient()) {
    err << "The configuration " << *path << " did not load whole (--lenient takes what loaded)\n";
    return std::nullopt;
  }
  return config;
}

std::optional<double> ParseKerfOption(const std::string& text, std::ostream& err) {
  const std::optional<double> kerf = ParseNumber(text);
  const Configuration limits;
  if (!kerf || *kerf < limits.Min(Param::KerfWidth) || *kerf > limits.Max(Param::KerfWidth)) {
    err << "--kerf takes the kerf width in millimetres, 0 to 10 (not '" << text << "')\n";
    return std::nullopt;
  }
  return kerf;
}

bool ApplyKerfOption(const std::optional<std::string>& text, Configuration& config, std::ostream& err) {
  if (!text) return true;
  const std::optional<double> kerf = ParseKerfOption(*text, err);
  if (!kerf) return false;
  config.SetNumber(Param::KerfWidth, *kerf);
  return true;
}

std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const Configuration& config,
                                                const WorkingRange& range, std::ostream& err) {
  LoadedProject loaded;
  loaded.project = std::make_unique<ProjectDocument>(ProgramTexts(err));
  ProjectDocument& project = *loaded.project;
  project.reader_kind = DrawingKindOfFile(path);
  project.add_frame = config.Checked(Param::AddFrame);
  project.feed_direction = config.Choice(Param::CatDir);
  project.drawing_unit = config.Choice(Param::radiounit);
  SetKerfSettings(project, KerfSettingsOf(config));
  project.working_range = range;

  ScriptedOperator op;
  bool ok = false;
  {
    ScopedOperator installed(op);
    // The commands read the drawing's own figures only under a kerf, which keeps its copy anyway.
    ok = project.Load(path, kAllPens, LoadOptions{.keep_drawn_figures = false});
  }
  loaded.messages = op.messages();
  if (!ok) {
    for (const auto& message : loaded.messages) err << message.text << '\n';
    if (loaded.messages.empty()) err << "The drawing could not be loaded: " << path << '\n';
    return std::nullopt;
  }
  return loaded;
}

std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const std::optional<std::string>& config_path,
                                                std::ostream& err, const std::optional<std::string>& kerf) {
  std::optional<Configuration> config = ReadConfiguration(config_path, err);
  if (!config || !ApplyKerfOption(kerf, *config, err)) return std::nullopt;
  return LoadPlannedProject(path, *config, WorkingRange{}, err);
}

}  // namespace varnholt::cli
