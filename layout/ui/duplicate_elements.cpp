#include "layout/ui/duplicate_elements.h"

#include <QApplication>
#include <QLineEdit>

#include "config/konfig_file.h"
#include "layout/dpl_file.h"
#include "layout/ui/tf_par_dup.h"
#include "services/interfejs.h"

namespace varnholt {

std::optional<DuplicatedProject> DuplicateElements(QWidget* parent, const ProjectDocument& pattern,
                                                   const std::string& pattern_caption, const ProgramFolders& folders,
                                                   const tInterfejs& texts, int current_unit) {
  if (IsDplPath(pattern_caption)) return std::nullopt;  // a duplication is not duplicated again
  DuplicationParameters values;
  std::string caption;
  {
    TfParDup dialog(pattern, pattern_caption, DplPathFor(pattern_caption, folders), texts, current_unit,
                    LocaleDecimalSeparator(), parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    values = dialog.Values();
    caption = dialog.dpl_path();
  }
  TextLookup lookup = [&texts](std::string_view section, std::string_view key) {
    return texts.GetText(section, key);
  };
  return DuplicatedProject{BuildDuplicate(pattern, values, std::move(lookup)), caption};
}

QPixmap DuplicationDialogPicture(const ProjectDocument& pattern, const std::string& pattern_caption,
                                 const ProgramFolders& folders, const tInterfejs& texts, int current_unit) {
  TfParDup dialog(pattern, pattern_caption, DplPathFor(pattern_caption, folders), texts, current_unit,
                  LocaleDecimalSeparator());
  dialog.show();
  dialog.activateWindow();
  if (auto* columns = dialog.findChild<QLineEdit*>("feIloscElemWWierszu")) columns->setFocus();
  QApplication::processEvents();
  return dialog.grab();
}

}  // namespace varnholt
