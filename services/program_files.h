#pragma once
// Where the manual, the catalogue and the sample projects are found in the program folder.

#include <string>
#include <string_view>

namespace varnholt {

// The maker's own dealer code: with it (or with none) the generic manual and catalogue apply.
inline constexpr std::string_view kDealerQuellmar = "QUELLMAR";

struct ProgramFile {
  bool exists = false;
  std::string path;  // empty when there is none
};

// The operating manual. With a dealer's code: Varnholt_manual_<language>_<dealer>.pdf, else the same with US; none
// when neither exists. Otherwise Varnholt_manual_<language>.pdf, else the US manual's path (reported even when that
// file is missing too).
ProgramFile ManualFile(const std::string& program_folder, std::string_view language, std::string_view dealer);

// The catalogue, chosen like the manual from Catalogue_<language>[_<dealer>].pdf.
ProgramFile CatalogueFile(const std::string& program_folder, std::string_view language, std::string_view dealer);

// The dealer's own catalogue, Catalogue_<language>_<dealer>.pdf or its US version, for any non-empty dealer code
// (QUELLMAR included); none without a dealer code. It decides the caption of the catalogue menu item.
ProgramFile DealerCatalogue(const std::string& program_folder, std::string_view language, std::string_view dealer);

// The sample projects: "Projekty probne" for the language PL when that folder exists, else "Samples".
ProgramFile SamplesFolder(const std::string& program_folder, std::string_view language);

}  // namespace varnholt
