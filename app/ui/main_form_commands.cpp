// The main window's commands: opening and closing projects, the configuration, the simulation, automatic
// repetition, the manual and the catalogue.

#include <QAction>
#include <algorithm>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "app/cutting_run.h"
#include "app/main_form_rules.h"
#include "app/program.h"
#include "app/recent_files.h"
#include "app/ui/main_form.h"
#include "app/ui/main_form_machine.h"
#include "config/ui/dlgkonfig.h"
#include "files/thpgl.h"
#include "project/kerf_settings.h"
#include "project/path_animation.h"
#include "project/project_document.h"
#include "project/ui/mdi_child.h"
#include "services/document_opener.h"
#include "services/operator.h"
#include "services/program_files.h"
#include "ui/file_chooser.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Main_window";
// The filters of the open dialog after the one of all drawings; the reader follows the file, not the filter.
const QStringList kDrawingFilters = {"Hpgl (*.plt *.PLT *.hpgl *.HPGL)", "DXF (*.dxf *.DXF)"};

}  // namespace

// The least size of a project window restored from maximised.
constexpr int kRestoredWidth = 480;
constexpr int kRestoredHeight = 320;

TMDIChild* TMainForm::AddProjectWindow() {
  auto* project = new TMDIChild(program_.texts());
  ProjectDocument& document = project->document();
  const Configuration& config = program_.config();
  document.feed_direction = config.Choice(Param::CatDir);
  document.drawing_unit = config.Choice(Param::radiounit);
  document.add_frame = config.Checked(Param::AddFrame);
  SetKerfSettings(document, KerfSettingsOf(config));
  if (program_.has_link()) {
    document.working_range = {double{1} * program_.state().x_range, double{1} * program_.state().y_range};
  }
  project->information_requested = [this, project] {
    if (menu_windows_ != nullptr) menu_windows_->ShowInformation(*project);
  };
  QMdiSubWindow* window = mdi_->addSubWindow(project);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // Queued: the window may go while the main window itself is being taken down.
  connect(
      window, &QObject::destroyed, this, [this] { UpdateMenuItems(); }, Qt::QueuedConnection);
  // The size it comes back to from maximised: one a drawing can be worked on in, not the few pixels the
  // window would ask for with nothing in it but its status line.
  const QSize area = mdi_->viewport()->size();
  window->resize(std::max(area.width() * 2 / 3, kRestoredWidth), std::max(area.height() * 2 / 3, kRestoredHeight));
  window->showMaximized();
  mdi_->setActiveSubWindow(window);
  keep_active_ = window;
  UpdateMenuItems();
  return project;
}

TMDIChild* TMainForm::OpenDrawing(const std::string& path, int reader_kind) {
  TMDIChild* project = AddProjectWindow();
  project->document().reader_kind = reader_kind;
  if (!project->Load(path, kAllPens)) {
    // The window that opened for it goes again (the drawing's load has already said why).
    project->parentWidget()->close();
    UpdateMenuItems();
    return nullptr;
  }
  UpdateMenuItems();
  return project;
}

TMDIChild* TMainForm::ShowProject(std::unique_ptr<ProjectDocument> document, const std::string& caption) {
  TMDIChild* project = AddProjectWindow();
  project->TakeProject(std::move(*document), caption);
  UpdateMenuItems();
  return project;
}

void TMainForm::OpenFrom(const QString& folder, bool remember) {
  FileDialogRequest request;
  request.title = QString::fromStdString(program_.Text(kSection, "otworz"));
  request.folder = folder;
  request.filters = QStringList{QString::fromStdString(program_.Text(kSection, "filtrRysunki")) +
                                " (*.plt *.PLT *.hpgl *.HPGL *.dxf *.DXF)"} +
                    kDrawingFilters;
  request.filter_index = program_.open_filter_index;
  const std::optional<FileChoice> choice = CurrentFileChooser().ChooseOpen(this, request);
  if (!choice) return;
  program_.open_filter_index = choice->filter_index;
  const std::string path = choice->path.toStdString();
  if (!QFileInfo(choice->path).isFile()) {
    CurrentOperator().ShowMessageBox(program_.Text("Universal", "zbioruNieMoznaOtworzyc") + path, true, "");
    return;
  }
  // A DXF drawing typed under the plot filter, or named as a plot file, is still a DXF drawing.
  if (OpenDrawing(path, DrawingKindOfFile(path)) != nullptr) RememberRecentFile(choice->path);
  if (remember)
    program_.konfig().settings().LastOpenFolder = QString::fromStdString(FolderOf(path)).toStdU16String();
}

void TMainForm::RememberRecentFile(const QString& path) {
  recent_->Add(QFileInfo(path).absoluteFilePath().toStdString());
  FillRecentMenu();
}

void TMainForm::FillRecentMenu() {
  recent_menu_->clear();
  int number = 0;
  for (const std::string& path : recent_->paths()) {
    QAction* item =
        recent_menu_->addAction(QString("&%1  %2").arg(++number).arg(QString::fromStdString(path)));
    connect(item, &QAction::triggered, this, [this, path] { OpenRecent(path); });
  }
  recent_menu_->menuAction()->setEnabled(!recent_->paths().empty());
}

void TMainForm::OpenRecent(const std::string& path) {
  if (!QFileInfo(QString::fromStdString(path)).isFile()) {
    CurrentOperator().ShowMessageBox(program_.Text("Universal", "zbioruNieMoznaOtworzyc") + path, true, "");
    recent_->Remove(path);
    FillRecentMenu();
    return;
  }
  if (OpenDrawing(path, DrawingKindOfFile(path)) != nullptr) RememberRecentFile(QString::fromStdString(path));
}

void TMainForm::FileOpenItemClick() {
  OpenFrom(QString::fromStdU16String(program_.konfig().settings().LastOpenFolder), true);
}

void TMainForm::miPrzykladyClick() {
  const ProgramFile samples = SamplesFolder(program_.folders().shipped, program_.texts().language_code());
  if (!SamplesAvailable(samples, program_.texts())) return;
  OpenFrom(QString::fromStdString(samples.path), false);
}

void TMainForm::FileCloseItemClick() {
  if (QMdiSubWindow* window = mdi_->currentSubWindow()) window->close();
  UpdateMenuItems();
}

void TMainForm::CloseAllClick() {
  const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) (*window)->close();
  UpdateMenuItems();
}

void TMainForm::KonfiguracjaClick() {
  Konfig& konfig = program_.konfig();
  konfig.ClearRotaryChanged();
  if (program_.has_link() && !program_.state().model_code.empty()) {
    konfig.SetModelMaxima(ModelSpeedMaxima(program_.state()));
  }
  config_dialog_->exec();

  const QList<TMDIChild*> projects = Projects();
  if (program_.has_link()) SendConfigurationChanges(program_.link(), konfig, !projects.isEmpty());
  const KerfSettings kerf = KerfSettingsOf(program_.config());
  for (auto it = projects.rbegin(); it != projects.rend(); ++it) {
    TMDIChild* project = *it;
    // A project at work keeps the settings it began with.
    if (project->busy()) continue;
    project->JakiKierunek(-1);
    if (!project->busy() && KerfSettingsChanged(project->document(), kerf)) {
      // The project being cut keeps the figures its program was written from, and its repetitions too.
      if (machine_->Cutting(project)) {
        CurrentOperator().ShowMessageBox(
            program_.Text(kSection, "kerfProjektCiety") + project->windowTitle().toStdString(), false, "");
      } else if (!CanCompensateAgain(project->document())) {
        // A duplicated grid holds copies of compensated figures, not the drawing: it is not cut with a stale kerf.
        CurrentOperator().ShowMessageBox(
            program_.Text(kSection, "kerfSiatkaNieaktualna") + project->windowTitle().toStdString(), false, "");
      } else {
        project->document().add_frame = program_.config().Checked(Param::AddFrame);
        project->ChangeKerf(kerf);
        continue;
      }
    }
    if (project->document().planned) continue;
    project->document().add_frame = program_.config().Checked(Param::AddFrame);
    project->ciecie();
  }
  for (TMDIChild* project : projects) {
    project->ProjectChanged();
    project->repaint();
  }
}

void TMainForm::SymulacjaClick() {
  TMDIChild* project = ActiveProject();
  if (project == nullptr || project->simulating() || project->busy()) return;
  const int64_t pause_ms = SimulationPauseMs(program_.config().Number(Param::Pauza_w_kacie));
  project->StartSimulation(pause_ms, [this, project](bool) {
    TurnForNextPass(project->document().feed_sign, program_.config().Choice(Param::CatDir));
  });
}

void TMainForm::SpeedAutoRepeatClick(bool down) {
  // The run keeps the state.
  const AutoRepeatButtons shown =
      cutting_run_ != nullptr ? cutting_run_->AutoRepeatChanged(down) : AutoRepeatWithoutRun(program_.texts());
  QAction* repeat = actions_.at("SpeedAutoRepeat");
  repeat->setChecked(shown.on);
  const QString hint = QString::fromStdString(shown.hint);
  repeat->setToolTip(hint);
  repeat->setStatusTip(hint);
  actions_.at("SpeedPrzesunDoRamion")->setEnabled(shown.positioning_buttons_enabled);
  actions_.at("SpeedWysunPoCieciu")->setEnabled(shown.positioning_buttons_enabled);
}

void TMainForm::miInstrObslugiClick() {
  OpenManual(*opener_,
             ManualFile(program_.folders().shipped, program_.texts().language_code(), program_.dealer_code),
             program_.texts());
}

void TMainForm::miKatalogClick() {
  OpenCatalogue(*opener_,
                CatalogueFile(program_.folders().shipped, program_.texts().language_code(), program_.dealer_code),
                program_.texts());
}

}  // namespace varnholt
