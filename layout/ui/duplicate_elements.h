#pragma once
// What the main window calls for "Duplikuj elementy" (F4), and the dialog as the program's screenshots show it.

#include <optional>
#include <string>

#include <QPixmap>

#include "layout/duplicate_project.h"
#include "services/program_folder.h"

class QWidget;

namespace varnholt {

class tInterfejs;

// Opens the duplication dialog modally for the active project (the pattern, with its window caption, the drawing's
// path) in the display unit current_unit. On "Wykonaj" the values are checked and remembered in the ".dpl" file
// beside the drawing (a shipped sample's in the writable folder, see DplPathFor), and the new project is built and planned (progress and abort through the current operator);
// its window takes the returned caption, the ".dpl" path. Nothing when the operator cancels, and nothing (without a
// dialog) for a pattern whose caption is itself a ".dpl" path. The pattern is not changed; the texts must outlive
// the new project.
std::optional<DuplicatedProject> DuplicateElements(QWidget* parent, const ProjectDocument& pattern,
                                                   const std::string& pattern_caption, const ProgramFolders& folders,
                                                   const tInterfejs& texts, int current_unit);

// The dialog as a person sees it just opened for the pattern, with the first field being edited.
QPixmap DuplicationDialogPicture(const ProjectDocument& pattern, const std::string& pattern_caption,
                                 const ProgramFolders& folders, const tInterfejs& texts, int current_unit);

}  // namespace varnholt
