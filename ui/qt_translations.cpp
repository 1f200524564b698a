#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cctype>

namespace varnholt {

std::string QtLanguageOf(std::string_view language_code) {
  // The program names English by the country whose language file it reads.
  if (language_code == "US" || language_code == "GB") return "en";
  std::string name;
  for (const char c : language_code) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

bool InstallQtTranslations(std::string_view language_code) {
  const std::string language = QtLanguageOf(language_code);
  if (language == "en") return true;
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr || language.empty()) return false;
  auto* translator = new QTranslator(application);
  if (!translator->load(QLocale(QString::fromStdString(language)), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}

}  // namespace varnholt
