#pragma once
// The computer's fonts as Qt finds them (through fontconfig): families, their styles, and the application
// object Qt reads fonts through.

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QGuiApplication;

namespace varnholt {

// Fonts are read through a graphical Qt application. While an object of this class lives, one runs: the process's
// own, or one it makes on the offscreen platform (no display needed) when the process runs none, taken down again
// with it.
class FontAccess {
 public:
  FontAccess();
  ~FontAccess();
  FontAccess(const FontAccess&) = delete;
  FontAccess& operator=(const FontAccess&) = delete;

  // False in a process that runs a Qt application without the graphical part: no font can be read there.
  bool available() const { return available_; }

 private:
  // The application's command line, which it keeps for its life; the platform is named there, which wins over
  // the environment.
  int argc_ = 3;
  char name_[9] = "varnholt";
  char platform_option_[10] = "-platform";
  char platform_[10] = "offscreen";
  char* argv_[4] = {name_, platform_option_, platform_, nullptr};
  std::unique_ptr<QGuiApplication> own_;
  bool available_ = false;
};

// The functions below make sure of the access while they run; without it they find no font.

// The font families of the system, as Qt lists them.
std::vector<std::string> FontFamilies();
// The styles of a family of the system ("Book", "Bold", "Condensed Oblique", ...).
std::vector<std::string> FontStyles(const std::string& family);
// The family of the system that family names, in the system's spelling (the case may differ); nothing when
// the system has no such family.
std::optional<std::string> InstalledFamily(const std::string& family);
// The family the system gives to a request for family it does not have.
std::string FallbackFamily(const std::string& family);
// The style of styles that style names, in the family's spelling; nothing when it has none such.
std::optional<std::string> MatchingStyle(const std::vector<std::string>& styles, const std::string& style);

}  // namespace varnholt
