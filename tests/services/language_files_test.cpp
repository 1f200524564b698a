// Checks of the shipped language files against the keys the program looks up.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "services/interfejs.h"
#include "services/program_version.h"
#include "services/scripted_operator.h"

namespace varnholt {
namespace {

namespace fs = std::filesystem;
using Entry = std::pair<std::string, std::string>;

// The Section/key lines of lang/keys.txt.
std::set<Entry> RequiredKeys() {
  std::ifstream file(std::string(VARNHOLT_SOURCE_DIR) + "/lang/keys.txt");
  std::set<Entry> keys;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t slash = line.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == line.size()) {
      ADD_FAILURE() << "keys.txt line is not Section/key: " << line;
      continue;
    }
    keys.emplace(line.substr(0, slash), line.substr(slash + 1));
  }
  return keys;
}

struct ShippedLanguage {
  std::string code;
  int country;
};
const std::vector<ShippedLanguage> kShipped = {{"PL", 48}, {"US", 1}, {"DE", 49}};

// Every GetText("Section", "key") with literal arguments in the program's sources (tests, fuzzers, benchmarks and
// build folders left out).
std::set<Entry> LookupsInSources() {
  const std::regex call(R"re(GetText\(\s*"([^"]*)"\s*,\s*"([^"]*)"\s*\))re");
  const std::set<std::string> skipped = {".git", "tests", "fuzz", "bench", "lang", "samples"};
  std::set<Entry> found;
  const fs::path root(VARNHOLT_SOURCE_DIR);
  for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied);
       it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_directory()) {
      const std::string name = it->path().filename().string();
      if (skipped.count(name) != 0 || fs::exists(it->path() / "CMakeCache.txt")) it.disable_recursion_pending();
      continue;
    }
    const std::string extension = it->path().extension().string();
    if (extension != ".cpp" && extension != ".h") continue;
    std::ifstream file(it->path());
    std::stringstream text;
    text << file.rdbuf();
    const std::string source = text.str();
    for (std::sregex_iterator match(source.begin(), source.end(), call); match != std::sregex_iterator(); ++match) {
      found.emplace((*match)[1].str(), (*match)[2].str());
    }
  }
  return found;
}

TEST(LanguageFiles, EveryShippedFileLoadsAndHoldsEveryKey) {
  const std::set<Entry> required = RequiredKeys();
  ASSERT_GT(required.size(), 150u);
  for (const ShippedLanguage& language : kShipped) {
    ScriptedOperator op;
    ScopedOperator installed(op);
    const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, language.country, ""});
    ASSERT_TRUE(texts.loaded()) << language.code;
    EXPECT_TRUE(op.messages().empty()) << language.code;
    EXPECT_EQ(texts.file_name(), tInterfejs::LanguageFileName(std::string(VARNHOLT_LANGUAGE_DIR) + "/", language.code));
    for (const auto& [section, key] : required) {
      const std::string text = texts.GetText(section, key);
      EXPECT_NE(text, "error") << language.code << ": " << section << "/" << key;
      EXPECT_FALSE(text.empty()) << language.code << ": " << section << "/" << key;
    }
  }
}

TEST(LanguageFiles, ShippedFilesHoldTheSameKeysOnce) {
  std::vector<std::set<Entry>> key_sets;
  for (const ShippedLanguage& language : kShipped) {
    LanguageTexts texts;
    const std::string path = tInterfejs::LanguageFileName(std::string(VARNHOLT_LANGUAGE_DIR) + "/", language.code);
    ASSERT_EQ(ReadLanguageFile(path, "Varnholt", ProgramVersion(), texts), LanguageFileStatus::kLoaded) << path;
    const std::vector<Entry> entries = texts.Entries();
    const std::set<Entry> unique(entries.begin(), entries.end());
    EXPECT_EQ(unique.size(), entries.size()) << language.code << " repeats a key";
    key_sets.push_back(unique);
  }
  EXPECT_EQ(key_sets[0], key_sets[1]);
  EXPECT_EQ(key_sets[0], key_sets[2]);
  EXPECT_EQ(key_sets[0], RequiredKeys()) << "keys.txt and the shipped files differ";
}

TEST(LanguageFiles, EveryLookupInTheSourcesIsListedAndShipped) {
  const std::set<Entry> required = RequiredKeys();
  const std::set<Entry> lookups = LookupsInSources();
  ASSERT_FALSE(lookups.empty()) << "no GetText call found under " << VARNHOLT_SOURCE_DIR;
  EXPECT_TRUE(lookups.count({"Main_window", "brakAcrobatReadera"}) != 0);
  for (const auto& entry : lookups) {
    EXPECT_TRUE(required.count(entry) != 0) << entry.first << "/" << entry.second << " is not in lang/keys.txt";
  }
}

TEST(LanguageFiles, CarryTheProgramVersionOfTheBuild) {
  // The build fills the version attribute in from the project version; the program compares major.minor.
  const std::string project_version = VARNHOLT_PROJECT_VERSION;
  EXPECT_EQ(project_version.rfind(ProgramVersion() + ".", 0), 0u) << project_version;
  EXPECT_EQ(ProgramVersion(true, false), project_version.substr(0, ProgramVersion(true, false).size()));
}

}  // namespace
}  // namespace varnholt
