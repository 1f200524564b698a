#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/duplicate_options.h"
#include "cli/lenient.h"
#include "cli/plan_json.h"
#include "layout/duplicate_project.h"

namespace varnholt::cli {

int RunDuplicate(const Arguments& given, std::ostream& out, std::ostream& err) {
  const LenientOption lenient(given);
  const Arguments& args = lenient.words();
  const std::optional<FileArguments> parsed =
      ParseFileArguments(args, WithDuplicateOptions({"--config"}), {kWriteDplFlag});
  if (!parsed) {
    err << "Usage: varnholt-cli duplicate FILE --columns N --rows N [--pitch-x MM] [--pitch-y MM] [--gap-v MM]"
           " [--gap-h MM] [--config FILE.qcc] [--write-dpl]\n";
    return 1;
  }
  std::optional<LoadedProject> loaded = LoadPlannedProject(parsed->file, parsed->Value("--config"), err);
  if (!loaded) return 1;
  const std::optional<LoadedProject> duplicated =
      DuplicateLoaded(std::move(*loaded), parsed->file, DuplicateRequestOf(*parsed), err);
  if (!duplicated) return 1;
  WritePlanJson(*duplicated, out,
                ",\"connecting_path\":" + PointsJson(ConnectingPathOf(*duplicated->project).points));
  return 0;
}

}  // namespace varnholt::cli
