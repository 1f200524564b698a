#pragma once
// The duplication dialog: the pattern's file and size, the grid's six values with the whole result's size, the
// checks, and the values remembered in the ".dpl" file beside the pattern.

#include <map>
#include <string>
#include <vector>

#include <QDialog>

#include "layout/grid.h"
#include "layout/grid_check.h"
#include "project/project_document.h"

class QLabel;

namespace varnholt {

class NumberField;
class tInterfejs;

class TfParDup : public QDialog {
 public:
  // The dialog for the pattern project, whose window caption (its file's path) is pattern_caption; lengths in the
  // display unit, numbers with the decimal separator. Shows the values of the ".dpl" file at dpl_path, or the
  // defaults, and keeps the values there; when that is not beside the pattern, the operator is told where the
  // file went. The pattern and the texts must outlive the dialog.
  TfParDup(const ProjectDocument& pattern, const std::string& pattern_caption, std::string dpl_path,
           const tInterfejs& texts, int unit, char separator, QWidget* parent = nullptr);

  // The values the fields hold.
  DuplicationParameters Values() const;
  // The ".dpl" path the values are remembered in.
  const std::string& dpl_path() const { return dpl_path_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build(const tInterfejs& texts);
  void ShowValues(const DuplicationParameters& values);
  void RefreshWholeWidth();
  void RefreshWholeHeight();
  void btnParDomyslneClick();
  void btnZatwierdzClick();
  void Focus(NumberField* field);
  NumberField* FieldOf(DuplicationField field) const;

  const ProjectDocument& pattern_;
  TextLookup texts_;
  int unit_;
  char separator_;
  std::string dpl_path_;
  bool dpl_beside_pattern_ = true;

  NumberField* columns_ = nullptr;
  NumberField* rows_ = nullptr;
  NumberField* column_pitch_ = nullptr;
  NumberField* row_pitch_ = nullptr;
  NumberField* vertical_distance_ = nullptr;
  NumberField* horizontal_distance_ = nullptr;
  QLabel* whole_width_ = nullptr;
  QLabel* whole_height_ = nullptr;
  std::map<QObject*, std::vector<QLabel*>> captions_;  // the captions of each field, bold while it is edited
};

}  // namespace varnholt
