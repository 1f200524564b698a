#pragma once
// The windows the main window's menu opens beside it: duplication of the active project into a new project
// window, project information, About, the manual control panel.

#include "app/main_form_ports.h"
#include "info/ui/taboutbox.h"
#include "info/ui/tinfoform.h"

namespace varnholt {

class Program;
class TMainForm;

class MenuWindows final : public MenuWindowsPort {
 public:
  // The form and the program must outlive this object; the program's link must exist while windows open.
  MenuWindows(TMainForm& form, Program& program) : form_(form), program_(program) {}

  // Opens the duplication dialog for the project; the grid it makes opens as a new project window captioned with
  // the ".dpl" path. Nothing for a project that still loads or plans.
  void ShowDuplication(TMDIChild& project) override;
  // Shows the information window of the project modally; nothing while it loads or plans.
  void ShowInformation(TMDIChild& project) override;
  void ShowAbout() override;
  // Shows the manual control panel's window raised and active.
  void ShowControlPanel() override;

  // What the information window shows a project window with, and what the About window is made with.
  ProjectInfoSource InformationSource(TMDIChild& project);
  AboutSetup AboutSetupOf() const;

 private:
  TMainForm& form_;
  Program& program_;
};

}  // namespace varnholt
