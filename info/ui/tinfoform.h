#pragma once
// The project information window: the size, cutting length and cutting time of the active project as it will
// be cut, with the time the program itself takes.

#include <QDialog>
#include <string>

#include "config/parameters.h"
#include "link/controller_state.h"
#include "program/cut_program.h"

class QLabel;
class QPushButton;

namespace varnholt {

class ProjectDocument;
class tInterfejs;

// What the window shows a project with.
struct ProjectInfoSource {
  const ProjectDocument& project;
  std::string project_caption;     // the project window's caption: its file
  std::string configuration_file;  // the configuration dialog's caption: the configuration file in use
  const Configuration& config;
  const ControllerState& machine;  // the connected controller: calibration, step multiplier, model, positions
  CutRunOptions run{};
};

class Tinfoform final : public QDialog {
 public:
  Tinfoform(ProjectInfoSource source, const tInterfejs& texts, QWidget* parent = nullptr);

  // Recomputes every value from the project and the configuration; each showing does it.
  void Refresh();

 protected:
  // Showing first recomputes the values, so the window takes their size.
  void setVisible(bool visible) override;

 private:
  QLabel* AddRow(const char* caption_name, const char* value_name);

  ProjectInfoSource source_;
  const tInterfejs& texts_;
  QLabel* fname_ = nullptr;
  QLabel* konfigname_ = nullptr;
  QLabel* szerokosc_ = nullptr;
  QLabel* wysokosc_ = nullptr;
  QLabel* totlen_ = nullptr;
  QLabel* total_time_ = nullptr;
  QLabel* program_time_ = nullptr;
  QLabel* skala_ = nullptr;
  QPushButton* ok_ = nullptr;
};

// Shows the project information window modally (the main window's info command, a double or right click in a
// project window).
void ShowProjectInformation(const ProjectInfoSource& source, const tInterfejs& texts, QWidget* parent);

}  // namespace varnholt
