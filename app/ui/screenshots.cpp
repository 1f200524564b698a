#include "app/ui/screenshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <filesystem>
#include <iostream>

#include "app/program.h"
#include "app/ui/main_form.h"
#include "config/ui/dlgkonfig.h"
#include "geometry/clock.h"
#include "project/ui/mdi_child.h"
#include "services/program_files.h"

namespace varnholt {
namespace {

constexpr int kWidth = 1180;
constexpr int kHeight = 760;

// Lets layouts, paints and timers settle; the timers need a little real time to come due.
void Settle() {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 120) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const std::string& folder, const char* name) {
  Settle();
  const std::string path = (std::filesystem::path(folder) / name).string();
  if (widget.grab().save(QString::fromStdString(path), "PNG")) {
    std::cout << path << '\n';
    return true;
  }
  std::cerr << "Cannot write " << path << '\n';
  return false;
}

}  // namespace

std::string ScreenshotDrawing(const Program& program) {
  const ProgramFile samples = SamplesFolder(program.folders().shipped, program.texts().language_code());
  return (std::filesystem::path(samples.path) / "letters_vh.plt").string();
}

int SaveScreenshots(TMainForm& form, VirtualClock& clock, const std::string& drawing,
                    const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  form.SetMaximiseOnActivation(false);
  form.resize(kWidth, kHeight);
  form.show();
  Settle();
  TMDIChild* project = form.OpenDrawing(drawing, ReaderKindOf(drawing));
  if (project == nullptr) {
    std::cerr << "Cannot open " << drawing << '\n';
    return 1;
  }
  bool saved = Save(form, folder, "main_window.png");

  form.SymulacjaClick();
  clock.Advance(project->SimulationTotalMs() / 2);
  saved = Save(form, folder, "simulation.png") && saved;
  clock.Advance(project->SimulationTotalMs());
  Settle();

  TDlgkonfig& dialog = form.configuration_dialog();
  dialog.show();
  dialog.ShowPage(0);
  saved = Save(dialog, folder, "configuration_parameters.png") && saved;
  dialog.ShowPage(1);
  saved = Save(dialog, folder, "configuration_plotter.png") && saved;
  dialog.reject();
  form.close();
  return saved ? 0 : 1;
}

}  // namespace varnholt
