#pragma once
// The file dialogs the windows ask for files through, so tests can answer them.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace varnholt {

struct FileDialogRequest {
  QString title;
  QString folder;          // initial folder; empty for the dialog's own choice
  QString file_name;       // initial file name
  QStringList filters;     // "Description (*.ext)", in order
  int filter_index = 1;    // 1 for the first filter
  QString default_suffix;  // appended to a saved name without an extension
};

struct FileChoice {
  QString path;
  int filter_index = 1;  // the filter in use when the operator confirmed
};

class FileChooser {
 public:
  virtual ~FileChooser() = default;
  // The file to open, or nothing when the operator cancelled.
  virtual std::optional<FileChoice> ChooseOpen(QWidget* parent, const FileDialogRequest& request) = 0;
  // The file to save to, or nothing when the operator cancelled.
  virtual std::optional<FileChoice> ChooseSave(QWidget* parent, const FileDialogRequest& request) = 0;
};

// The toolkit's own file dialogs.
class QtFileChooser final : public FileChooser {
 public:
  std::optional<FileChoice> ChooseOpen(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<FileChoice> ChooseSave(QWidget* parent, const FileDialogRequest& request) override;
};

// The chooser windows use: the toolkit's until a test installs another (nullptr restores it).
FileChooser& CurrentFileChooser();
void SetFileChooser(FileChooser* chooser);

}  // namespace varnholt
