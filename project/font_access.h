#pragma once
// The computer's fonts as Qt finds them (through fontconfig): families, their styles, and the application
// object Qt reads fonts through.

#include <optional>
#include <string>
#include <vector>

namespace varnholt {

// True when fonts can be read: a graphical Qt application runs, or none ran and one has now been made on the
// offscreen platform (no display needed) for the rest of the process. False in a process that runs a Qt
// application without the graphical part.
bool EnsureFontAccess();

// The functions below make sure of the access first; without it they find no font.

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
