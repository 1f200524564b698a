#include "services/interfejs.h"

#include <filesystem>
#include <system_error>

#include "services/application.h"
#include "services/language_selection.h"
#include "services/operator.h"
#include "services/program_version.h"

namespace varnholt {
namespace {

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string tInterfejs::LanguageFileName(const std::string& program_folder, std::string_view language_code) {
  return program_folder + std::string(kApplicationTitle) + "_" + std::string(language_code) + ".xml";
}

tInterfejs::tInterfejs(const InterfaceSetup& setup) {
  const LanguageSelection selection = SelectLanguage(setup.locale_country, setup.arguments);
  country_code_ = selection.country_code;
  language_code_ = selection.language_code;
  dealer_code_ = selection.dealer_code;
  right_to_left_ = WritesRightToLeft(country_code_);

  file_name_ = LanguageFileName(setup.program_folder, language_code_);
  if (!IsFile(file_name_)) file_name_ = LanguageFileName(setup.program_folder, "US");
  if (!IsFile(file_name_)) {
    CurrentOperator().ShowMessageBox(LanguageFileMessage(LanguageFileStatus::kMissing, file_name_), true,
                                     std::string(kLanguageFileErrorCaption));
    return;
  }

  const std::string version = setup.version.empty() ? ProgramVersion() : setup.version;
  const LanguageFileStatus status = ReadLanguageFile(file_name_, kApplicationTitle, version, texts_);
  if (status != LanguageFileStatus::kLoaded) {
    CurrentOperator().ShowMessageBox(LanguageFileMessage(status, file_name_), true,
                                     std::string(kLanguageFileErrorCaption));
    return;
  }
  loaded_ = true;
}

std::string tInterfejs::GetText(std::string_view section, std::string_view key) const {
  return texts_.Lookup(section, key);
}

}  // namespace varnholt
