#include "ui/file_chooser.h"

#include <QFileDialog>

namespace varnholt {
namespace {

FileChooser* installed_chooser = nullptr;

std::optional<FileChoice> Run(QWidget* parent, const FileDialogRequest& request,
                              QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, request.title, request.folder);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilters(request.filters);
  const int index = request.filter_index - 1;
  if (index >= 0 && index < request.filters.size()) dialog.selectNameFilter(request.filters[index]);
  if (!request.default_suffix.isEmpty()) dialog.setDefaultSuffix(request.default_suffix);
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FileChoice{dialog.selectedFiles().front(),
                    static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())) + 1};
}

}  // namespace

std::optional<FileChoice> QtFileChooser::ChooseOpen(QWidget* parent, const FileDialogRequest& request) {
  return Run(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> QtFileChooser::ChooseSave(QWidget* parent, const FileDialogRequest& request) {
  return Run(parent, request, QFileDialog::AcceptSave);
}

FileChooser& CurrentFileChooser() {
  static QtFileChooser toolkit;
  return installed_chooser != nullptr ? *installed_chooser : toolkit;
}

void SetFileChooser(FileChooser* chooser) {
  installed_chooser = chooser;
}

}  // namespace varnholt
