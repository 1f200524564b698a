// The main window's commands for drawings the program makes and keeps: a new text, and saving a project's
// drawing as a plot file.

#include <filesystem>

#include "app/main_form_rules.h"
#include "app/program.h"
#include "app/ui/main_form.h"
#include "files/plot_file_writer.h"
#include "files/thpgl.h"
#include "project/saved_drawing.h"
#include "project/ui/mdi_child.h"
#include "project/ui/text_dialog.h"
#include "services/operator.h"
#include "ui/error_report.h"
#include "ui/file_chooser.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Main_window";

}  // namespace

void TMainForm::FileNewTextItemClick() {
  // The letter height goes up to the machine's Y range: the identified controller's, else the initial one.
  const double max_height_mm =
      program_.has_link() ? double{1} * program_.state().y_range : WorkingRange{}.y_mm;
  std::optional<TextDrawing> drawing =
      AskForText(this, program_.texts(), last_text_, program_.config().CurrentUnit(), max_height_mm);
  if (!drawing) return;
  TMDIChild* project = AddProjectWindow();
  if (!project->LoadFigures(std::move(drawing->figures), TextProjectName(last_text_.text))) {
    project->parentWidget()->close();
  }
  UpdateMenuItems();
}

void TMainForm::FileSaveDrawingItemClick() {
  TMDIChild* project = ActiveProject();
  if (project == nullptr || project->busy()) return;
  const std::optional<std::vector<const tfigura*>> figures = DrawingFiguresToSave(project->document());
  if (!figures) {
    CurrentOperator().ShowMessageBox(program_.Text(kSection, "rysunekSkompensowany"), false, "");
    return;
  }
  const std::filesystem::path caption(project->windowTitle().toStdString());
  QString folder = QString::fromStdU16String(program_.konfig().settings().LastSaveFolder);
  if (folder.isEmpty()) folder = QString::fromStdString(caption.parent_path().string());
  FileDialogRequest request;
  request.title = QString::fromStdString(program_.Text(kSection, "zapiszRysunek"));
  request.folder = folder;
  request.file_name = QString::fromStdString(caption.stem().string() + ".plt");
  request.filters = {"Hpgl (*.plt *.PLT)"};
  request.default_suffix = "plt";
  const std::optional<FileChoice> choice = CurrentFileChooser().ChooseSave(this, request);
  if (!choice) return;
  const std::string path = choice->path.toStdString();
  if (!ReportErrors([&] { WritePlotFile(path, *figures); })) return;
  // The project is now the drawing in that file, as if it had been opened from there.
  project->setWindowTitle(choice->path);
  project->document().reader_kind = kPlotFile;
  program_.konfig().settings().LastSaveFolder = QString::fromStdString(FolderOf(path)).toStdU16String();
  UpdateMenuItems();
}

}  // namespace varnholt
