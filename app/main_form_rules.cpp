#include "app/main_form_rules.h"

#include <cctype>
#include <filesystem>

#include "geometry/units.h"
#include "services/application.h"

namespace varnholt {

int StatusPanelWidth(int bar_width) {
  return bar_width - static_cast<int>(nearest(bar_width / 8.0));
}

MenuState MenuStateFor(const MenuFacts& facts) {
  MenuState state;
  state.project_open = facts.project_count > 0;
  state.duplication = state.project_open && !IsDuplicatedProject(facts.active_caption);
  state.manual_visible = facts.manual_exists;
  state.samples_visible = facts.samples_exist;
  state.catalogue_visible = facts.catalogue_exists;
  return state;
}

bool IsDuplicatedProject(const std::string& caption) {
  std::string extension = std::filesystem::path(caption).extension().string();
  for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return extension == ".DPL";
}

std::string CatalogueCaption(const std::string& dealer_code, bool dealer_catalogue, const std::string& text) {
  return (dealer_catalogue ? dealer_code : std::string("Quellmar")) + " " + text;
}

std::string MainWindowCaption(const std::string& version_word, const std::string& version) {
  return std::string(kApplicationTitle) + "   " + version_word + " " + version;
}

std::string FolderOf(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

}  // namespace varnholt
