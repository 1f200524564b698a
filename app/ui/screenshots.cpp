#include "app/ui/screenshots.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <iostream>

#include "app/program.h"
#include "app/ui/machine_timers.h"
#include "app/ui/main_form.h"
#include "app/ui/menu_windows.h"
#include "app/ui/state_lamps.h"
#include "app/ui/window_cut.h"
#include "config/ui/dlgkonfig.h"
#include "control/ui/control_dialog_screenshots.h"
#include "files/thpgl.h"
#include "geometry/clock.h"
#include "info/ui/taboutbox.h"
#include "link/sim/simulated_controller.h"
#include "info/ui/tinfoform.h"
#include "layout/dpl_file.h"
#include "layout/duplicate_project.h"
#include "layout/ui/duplicate_elements.h"
#include "project/kerf_settings.h"
#include "project/project_view.h"
#include "project/ui/mdi_child.h"
#include "project/ui/text_dialog.h"
#include "services/document_opener.h"
#include "services/program_files.h"

namespace varnholt {
namespace {

constexpr int kWidth = 1180;
constexpr int kHeight = 760;
// The longest cut the unattended run waits for, on the virtual clock.
constexpr int64_t kCutLimitMs = int64_t{24} * 3600 * 1000;

// Lets layouts, paints and timers settle; the timers need a little real time to come due.
void Settle() {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 120) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Pictures {
 public:
  explicit Pictures(std::string folder) : folder_(std::move(folder)) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
  }

  void Save(QWidget& widget, const std::string& name) {
    Settle();
    Write(widget.grab(), name);
  }
  void Write(const QPixmap& picture, const std::string& name) {
    const std::string path = (std::filesystem::path(folder_) / (name + ".png")).string();
    if (picture.save(QString::fromStdString(path), "PNG")) {
      std::cout << path << '\n';
    } else {
      std::cerr << "Cannot write " << path << '\n';
      all_saved_ = false;
    }
  }
  void Missing(const std::string& name, const std::string& reason) {
    std::cerr << "No picture " << name << ": " << reason << '\n';
    all_saved_ = false;
  }
  bool all_saved() const { return all_saved_; }

 private:
  std::string folder_;
  bool all_saved_ = true;
};

// The web links of the pictures open nothing.
class NoOpener final : public DocumentOpener {
 public:
  int OpenDocument(const std::string&) override { return 0; }
};

// A grid of three by two of the project, with the default distances, in a window of its own.
TMDIChild* ShowDuplicatedGrid(TMainForm& form, Program& program, TMDIChild& pattern) {
  const ProjectDocument& document = pattern.document();
  DuplicationParameters values = DefaultParameters(document.project_width, document.project_height);
  values.columns = 3;
  values.rows = 2;
  const tInterfejs& texts = program.texts();
  std::unique_ptr<ProjectDocument> grid = BuildDuplicate(
      document, values, [&texts](std::string_view section, std::string_view key) { return texts.GetText(section, key); });
  return form.ShowProject(std::move(grid), DplPathFor(pattern.windowTitle().toStdString(), program.folders()));
}

// A sample drawing of the program folder.
std::string SampleDrawing(const Program& program, const std::string& name) {
  const ProgramFile samples = SamplesFolder(program.folders().shipped, program.texts().language_code());
  return (std::filesystem::path(samples.path) / name).string();
}

// The frame with holes compensated for a 2 mm kerf, in a window of its own (closed again afterwards): the drawing
// grey under the wire's path.
void SaveKerfProject(TMainForm& form, Program& program, Pictures& pictures) {
  const std::string drawing = SampleDrawing(program, "frame_with_holes.plt");
  TMDIChild* project = form.OpenDrawing(drawing, DrawingKindOfFile(drawing));
  if (project == nullptr) {
    pictures.Missing("kerf", "cannot open " + drawing);
    return;
  }
  KerfSettings kerf = KerfSettingsOf(program.config());
  kerf.kerf_mm = 2.0;
  project->ChangeKerf(kerf);
  pictures.Save(form, "kerf");
  project->parentWidget()->close();
  Settle();
}

// The New text dialog filled in for a sign of two lines, then the project it makes (closed again afterwards).
void SaveTextPictures(TMainForm& form, Pictures& pictures) {
  bool shown = false;
  // The dialog is looked for until it shows: making it lets events run before it is there.
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, &form, [&pictures, &shown, &poll] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = dynamic_cast<TTextDialog*>(window);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      poll.stop();
      shown = true;
      if (auto* text = dialog->findChild<QPlainTextEdit*>("edText")) text->setPlainText("OPEN\nDaily 9-17");
      if (auto* style = dialog->findChild<QComboBox*>("cbStyle")) style->setCurrentText("Bold");
      if (auto* alignment = dialog->findChild<QComboBox*>("cbAlign")) {
        alignment->setCurrentIndex(static_cast<int>(TextAlignment::kCentre));
      }
      dialog->Refresh();
      pictures.Save(*dialog, "text");
      if (auto* create = dialog->findChild<QPushButton*>("btnUtworz")) create->click();
      return;
    }
  });
  poll.start();
  const int projects = static_cast<int>(form.Projects().size());
  form.FileNewTextItemClick();
  if (!shown || static_cast<int>(form.Projects().size()) != projects + 1) {
    pictures.Missing("text_project", "the text dialog made no project");
    return;
  }
  pictures.Save(form, "text_project");
  form.ActiveProject()->parentWidget()->close();
  Settle();
}

// The machine's lamps: the wire hot, then a homing on its way with the positions it passes, and the same
// homing interrupted by a key.
void SaveLampPictures(TMainForm& form, Program& program, Pictures& pictures) {
  Tster& panel = program.session().panel;
  panel.k_zalwylClick();
  RunToNextStatusStep(*form.machine_timers(), kCutLimitMs);
  Settle();
  pictures.Save(*form.statusBar(), "state_lamps_wire_hot");
  panel.k_zalwylClick();
  RunToNextStatusStep(*form.machine_timers(), kCutLimitMs);

  int updates = 0;
  QTimer watch;
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (!form.lamps().shown().homing || ++updates != 40) return;
    pictures.Save(*form.statusBar(), "state_lamps");
    program.session().link.gate.RequestStop();
  });
  watch.start();
  panel.bazujClick();
  watch.stop();
  Settle();
  pictures.Save(*form.statusBar(), "state_lamps_homing_interrupted");
}

// The project zoomed out until the whole work area shows, then zoomed in on its origin and start point, then
// fitted with its planned order shown.
void SaveViewPictures(TMainForm& form, TMDIChild& project, Pictures& pictures) {
  const ProjectDocument& document = project.document();
  const auto origin = [&] {
    const TPlotPoint pixel = project.View().Pixel({document.project_min_x, document.project_min_y});
    return QPoint(pixel.x, pixel.y);
  };
  project.FitView();
  project.MoveBy(QPoint(30, -30));
  for (int i = 0; i < 40; ++i) {
    const SpaceMarks marks = SpaceMarksOf(document, project.View());
    if (marks.area_high.x < project.width() - 30 && marks.area_high.y > 60) break;
    project.ZoomBy(0.8, origin());
  }
  pictures.Save(form, "work_area");
  project.FitView();
  project.ZoomBy(4.0, origin());
  project.MoveBy(QPoint(200, -150));
  pictures.Save(form, "zoomed");
  project.FitView();
  project.ShowOrder(true);
  pictures.Save(form, "planned_order");
  project.ShowOrder(false);
}

// A cut of the project on the simulated controller on virtual time, a third of the way, then at its end.
void SaveCutPictures(TMainForm& form, Program& program, Pictures& pictures) {
  if (!program.has_link() || form.machine_timers() == nullptr) return;
  const CutProgress& progress = program.session().progress;
  const uint64_t before = progress.serial();
  form.ActionNamed("SpeedStart")->trigger();
  const bool third = RunOnProgramClock(
      *form.machine_timers(),
      [&] { return progress.serial() != before && progress.elapsed_ms() * 3 > progress.total_ms(); }, kCutLimitMs);
  if (!third) {
    pictures.Missing("cut_in_progress", "the cut did not get a third of the way");
    return;
  }
  RunToNextStatusStep(*form.machine_timers(), kCutLimitMs);
  pictures.Save(form, "cut_in_progress");
  if (!RunOnProgramClock(*form.machine_timers(), [&] { return !progress.active(); }, kCutLimitMs)) {
    pictures.Missing("cut_finished", "the cut did not end");
    return;
  }
  RunToNextStatusStep(*form.machine_timers(), kCutLimitMs);
  pictures.Save(form, "cut_finished");
}

// A cut whose cable is pulled a third of the way: once it is back, the resume is offered with the drawing showing
// what was cut and where the wire stands (the unattended run answers No; the picture is all that is wanted).
void SaveResumePictures(TMainForm& form, Program& program, Pictures& pictures) {
  sim::SimulatedController* sim = program.simulated();
  if (!program.has_link() || form.machine_timers() == nullptr || sim == nullptr) return;
  const MachineTimers& timers = *form.machine_timers();
  const CutProgress& progress = program.session().progress;
  const uint64_t before = progress.serial();
  form.ActionNamed("SpeedStart")->trigger();
  if (!RunOnProgramClock(
          timers, [&] { return progress.serial() != before && progress.elapsed_ms() * 3 > progress.total_ms(); },
          kCutLimitMs)) {
    pictures.Missing("resume_offer", "the cut did not get a third of the way");
    return;
  }
  sim->Unplug();
  RunOnProgramClock(timers, [&] { return !program.session().panel.view().connected; }, kCutLimitMs);
  // The offer leads the cut's progress anew to where the wire stands.
  const uint64_t interrupted = progress.serial();
  sim->Replug();
  if (!RunOnProgramClock(timers, [&] { return progress.serial() != interrupted; }, int64_t{60} * 1000)) {
    pictures.Missing("resume_offer", "the resume was not offered");
    return;
  }
  RunToNextStatusStep(timers, kCutLimitMs);
  pictures.Save(form, "resume_offer");
}

}  // namespace

std::string ScreenshotDrawing(const Program& program) { return SampleDrawing(program, "letters_vh.plt"); }

bool SaveScreenshots(TMainForm& form, Program& program, VirtualClock& clock, TMDIChild& project,
                     const std::string& folder) {
  Pictures pictures(folder);
  pictures.Save(form, "main_window");

  form.SymulacjaClick();
  clock.Advance(project.SimulationTotalMs() / 2);
  pictures.Save(form, "simulation");
  clock.Advance(project.SimulationTotalMs());
  Settle();
  pictures.Save(form, "simulation_kept");
  project.ClearPath();
  SaveViewPictures(form, project, pictures);

  TDlgkonfig& dialog = form.configuration_dialog();
  dialog.show();
  dialog.ShowPage(0);
  pictures.Save(dialog, "configuration_parameters");
  dialog.ShowPage(1);
  pictures.Save(dialog, "configuration_plotter");
  dialog.reject();

  MenuWindows& windows = *form.menu_windows();
  {
    Tinfoform information(windows.InformationSource(project), program.texts(), &form);
    information.show();
    pictures.Save(information, "information");
  }
  {
    NoOpener opener;
    TAboutBox about(program.link(), windows.AboutSetupOf(), opener, &form);
    about.show();
    pictures.Save(about, "about");
  }
  pictures.Write(DuplicationDialogPicture(project.document(), project.windowTitle().toStdString(), program.folders(),
                                          program.texts(), program.config().CurrentUnit()),
                 "duplication");
  TMDIChild* grid = ShowDuplicatedGrid(form, program, project);
  pictures.Save(form, "duplicated_project");
  grid->parentWidget()->close();
  Settle();
  SaveKerfProject(form, program, pictures);
  SaveTextPictures(form, pictures);

  const auto save = [&pictures](QWidget& window, const std::string& name) { pictures.Save(window, name); };
  ShowControlDialogs(program.link(), program.folders(), save);
  SaveControlPanelPictures(form, program, save);
  SaveLampPictures(form, program, pictures);
  return pictures.all_saved();
}

int RunUnattended(TMainForm& form, Program& program, VirtualClock& clock, const std::string& drawing,
                  const std::optional<std::string>& pictures_folder, bool cut) {
  form.SetMaximiseOnActivation(false);
  form.resize(kWidth, kHeight);
  form.show();
  Settle();
  TMDIChild* project = form.OpenDrawing(drawing, DrawingKindOfFile(drawing));
  if (project == nullptr) {
    std::cerr << "Cannot open " << drawing << '\n';
    form.close();
    return 1;
  }
  // The buttons as the status step decides them with the project open.
  RunToNextStatusStep(*form.machine_timers(), kCutLimitMs);
  bool success = true;
  if (pictures_folder) success = SaveScreenshots(form, program, clock, *project, *pictures_folder);
  if (cut) {
    const WindowCutReport report = CutThroughWindow(form, program, 1, kCutLimitMs);
    std::cout << "cut " << drawing << ": " << ReportJson(report) << '\n';
    success = success && report.noticed && report.executed_moves == report.program_moves;
  }
  // A cut of its own for its pictures, after the one whose moves were counted.
  if (pictures_folder) {
    Pictures pictures(*pictures_folder);
    SaveCutPictures(form, program, pictures);
    SaveResumePictures(form, program, pictures);
    success = success && pictures.all_saved();
  }
  form.close();
  return success ? 0 : 1;
}

}  // namespace varnholt
