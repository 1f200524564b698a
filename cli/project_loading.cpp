#include "cli/project_loading.h"

#include <cctype>
#include <filesystem>

#include "config/konfig_file.h"
#include "config/parameters.h"
#include "files/file_open.h"
#include "geometry/run_time_error.h"

namespace varnholt::cli {

std::optional<LoadedProject> LoadPlannedProject(const std::string& path, const std::optional<std::string>& config_path,
                                                std::ostream& err) {
  Configuration config;
  if (config_path) {
    try {
      ReadKonfigFile(*config_path, config, '.');
    } catch (const RunTimeError& error) {
      err << "Cannot read the configuration " << *config_path << ": " << error.what() << '\n';
      return std::nullopt;
    }
  }
  LoadedProject loaded;
  // Without the language files the messages read as section/key.
  loaded.project = std::make_unique<ProjectDocument>(
      [](std::string_view section, std::string_view key) { return std::string(section) + "/" + std::string(key); });
  ProjectDocument& project = *loaded.project;
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  project.reader_kind = extension == ".dxf" ? kDxfFile : kPlotFile;
  project.add_frame = config.Checked(Param::AddFrame);
  project.feed_direction = config.Choice(Param::CatDir);

  ScriptedOperator op;
  bool ok = false;
  {
    ScopedOperator installed(op);
    ok = project.Load(path, kAllPens);
  }
  loaded.messages = op.messages();
  if (!ok) {
    err << "Cannot load " << path;
    for (const auto& message : loaded.messages) err << ": " << message.text;
    err << '\n';
    return std::nullopt;
  }
  return loaded;
}

}  // namespace varnholt::cli
