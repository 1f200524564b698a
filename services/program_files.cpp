#include "services/program_files.h"

#include <filesystem>
#include <system_error>

namespace varnholt {
namespace {

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// A dealer whose documents carry its code in their names.
bool IsOtherDealer(std::string_view dealer) { return !dealer.empty() && dealer != kDealerQuellmar; }

std::string Name(const std::string& folder, std::string_view stem, std::string_view language,
                 std::string_view dealer) {
  std::string path = folder + std::string(stem) + std::string(language);
  if (!dealer.empty()) path += "_" + std::string(dealer);
  return path + ".pdf";
}

// The language's file, else the US one; with a dealer code none when neither exists.
ProgramFile FindDocument(const std::string& folder, std::string_view stem, std::string_view language,
                         std::string_view dealer, bool report_missing_us) {
  const std::string own = Name(folder, stem, language, dealer);
  if (IsFile(own)) return {true, own};
  const std::string us = Name(folder, stem, "US", dealer);
  if (IsFile(us)) return {true, us};
  if (report_missing_us) return {false, us};
  return {};
}

}  // namespace

ProgramFile ManualFile(const std::string& program_folder, std::string_view language, std::string_view dealer) {
  if (IsOtherDealer(dealer)) return FindDocument(program_folder, "Varnholt_manual_", language, dealer, false);
  return FindDocument(program_folder, "Varnholt_manual_", language, "", true);
}

ProgramFile CatalogueFile(const std::string& program_folder, std::string_view language, std::string_view dealer) {
  if (IsOtherDealer(dealer)) return FindDocument(program_folder, "Catalogue_", language, dealer, false);
  return FindDocument(program_folder, "Catalogue_", language, "", true);
}

ProgramFile DealerCatalogue(const std::string& program_folder, std::string_view language, std::string_view dealer) {
  if (dealer.empty()) return {};
  return FindDocument(program_folder, "Catalogue_", language, dealer, false);
}

ProgramFile SamplesFolder(const std::string& program_folder, std::string_view language) {
  if (language == "PL") {
    const std::string polish = program_folder + "Projekty probne";
    if (IsFolder(polish)) return {true, polish};
  }
  const std::string samples = program_folder + "Samples";
  return {IsFolder(samples), samples};
}

}  // namespace varnholt
