#include "app/ui/menu_windows.h"

#include "app/program.h"
#include "app/ui/main_form.h"
#include "app/ui/main_form_machine.h"
#include "layout/ui/duplicate_elements.h"
#include "project/ui/mdi_child.h"

namespace varnholt {

void MenuWindows::ShowDuplication(TMDIChild& project) {
  if (project.busy()) return;
  std::optional<DuplicatedProject> duplicated =
      DuplicateElements(&form_, project.document(), project.windowTitle().toStdString(), program_.folders(),
                        program_.texts(), program_.config().CurrentUnit());
  if (duplicated) form_.ShowProject(std::move(duplicated->project), duplicated->caption);
}

ProjectInfoSource MenuWindows::InformationSource(TMDIChild& project) {
  const CuttingRun& run = program_.session().run;
  return ProjectInfoSource{project.document(),
                           project.windowTitle().toStdString(),
                           program_.konfig().ConfigFilePath(),
                           program_.config(),
                           program_.state(),
                           CutRunOptions{run.AutoRepeat(), run.repeat_counter()}};
}

void MenuWindows::ShowInformation(TMDIChild& project) {
  if (project.busy() || !program_.has_link()) return;
  ShowProjectInformation(InformationSource(project), program_.texts(), &form_);
}

AboutSetup MenuWindows::AboutSetupOf() const {
  AboutSetup setup;
  setup.program_folder = program_.folders().shipped;
  setup.dealer_code = program_.dealer_code;
  return setup;
}

void MenuWindows::ShowAbout() {
  if (program_.has_link()) varnholt::ShowAbout(program_.link(), AboutSetupOf(), form_.document_opener(), &form_);
}

void MenuWindows::ShowControlPanel() { form_.machine().ShowControlPanel(); }

}  // namespace varnholt
