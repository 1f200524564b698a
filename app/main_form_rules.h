#pragma once
// The main window's rules that need no window: the status panel's width, the menu state, captions.

#include <string>

namespace varnholt {

// Width of status panel 0 for a status bar bar_width pixels wide: the width less an eighth of it, rounded.
int StatusPanelWidth(int bar_width);

// The enabled and visible states UpdateMenuItems gives.
struct MenuState {
  bool project_open = false;  // close, info, simulation, start, the window menu and its items
  bool duplication = false;   // duplicating the active project
  bool manual_visible = false;
  bool samples_visible = false;
  bool catalogue_visible = false;
};

struct MenuFacts {
  int project_count = 0;
  std::string active_caption;  // the active project window's caption
  bool manual_exists = false;
  bool samples_exist = false;
  bool catalogue_exists = false;
};

MenuState MenuStateFor(const MenuFacts& facts);

// True when the caption's extension is ".dpl" in any case: a duplicated project is not duplicated again.
bool IsDuplicatedProject(const std::string& caption);

// The catalogue item's caption: the dealer's code and a blank before the text when the dealer has a catalogue
// of its own, else the maker's name and a blank.
std::string CatalogueCaption(const std::string& dealer_code, bool dealer_catalogue, const std::string& text);

// The main window's caption: the application title, three blanks, the version word, a blank and the version.
std::string MainWindowCaption(const std::string& version_word, const std::string& version);

// The folder part of a file path ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace varnholt
