#include "info/ui/info_screenshots.h"

#include "geometry/clock.h"
#include "info/ui/taboutbox.h"
#include "info/ui/tinfoform.h"
#include "link/controller_ops.h"
#include "link/sim/simulated_controller.h"
#include "link/tf_usb.h"
#include "project/project_document.h"
#include "services/document_opener.h"
#include "services/interfejs.h"
#include "services/scripted_operator.h"

namespace varnholt {
namespace {

// Pictures are taken, nothing is opened.
class NoOpener final : public DocumentOpener {
 public:
  int OpenDocument(const std::string&) override { return 0; }
};

}  // namespace

void ShowFilledInfoWindows(const std::string& program_folder, const tInterfejs& texts,
                           const std::function<void(QWidget& window, const std::string& name)>& look) {
  ScriptedOperator quiet;
  ScopedOperator installed_operator(quiet);
  VirtualClock clock;  // the simulated controller answers at once
  ScopedClock installed_clock(clock);
  sim::SimulatedController controller("Qe");
  Configuration config;
  ControllerState state;
  TfUsb usb(controller, texts);
  MachineLink link{usb, state, config, texts};
  Identify(link);
  ReadPositions(link);

  ProjectDocument project(
      [&texts](std::string_view section, std::string_view key) { return texts.GetText(section, key); });
  project.working_range = {static_cast<double>(state.x_range), static_cast<double>(state.y_range)};
  const std::string sample = program_folder + "Samples/frame_with_holes.plt";
  if (project.Load(sample, kAllPens)) {
    Tinfoform info({project, sample, program_folder + "Varnholt.qcc", config, state}, texts);
    info.show();
    look(info, "info");
  }

  NoOpener opener;
  TAboutBox about(link, AboutSetup{program_folder, texts.dealer_code()}, opener);
  about.show();
  look(about, "about");
}

}  // namespace varnholt
