#include "project/reader_note_text.h"

#include <gtest/gtest.h>

#include <set>

#include "files/thpgl.h"
#include "project/load_report.h"
#include "services/interfejs.h"
#include "services/placeholder_text.h"
#include "services/language_file.h"
#include "services/program_version.h"
#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

const std::vector<std::string> kLanguageCodes = {"US", "PL", "DE"};

// Values that show in a text where each one landed.
const std::vector<std::string> kMarkedValues = {"<v1>", "<v2>", "<v3>", "<v4>"};

// The marked values a text holds.
std::set<std::string> MarkedValuesIn(const std::string& text) {
  std::set<std::string> found;
  for (const std::string& value : kMarkedValues) {
    if (text.find(value) != std::string::npos) found.insert(value);
  }
  return found;
}

TEST(ReaderNoteTexts, EveryKindHasATextInEveryShippedLanguageWithAllItsValues) {
  std::set<std::string_view> keys;
  for (int i = 0; i < kReaderNoteKindCount; ++i) {
    const std::string_view key = ReaderNoteKey(static_cast<ReaderNoteKind>(i));
    EXPECT_FALSE(key.empty()) << i;
    EXPECT_TRUE(keys.insert(key).second) << i << " shares its key " << key;
  }
  for (const std::string& code : kLanguageCodes) {
    LanguageTexts texts;
    const std::string path = tInterfejs::LanguageFileName(std::string(VARNHOLT_LANGUAGE_DIR) + "/", code);
    ASSERT_EQ(ReadLanguageFile(path, "Varnholt", ProgramVersion(), texts), LanguageFileStatus::kLoaded) << path;
    for (int i = 0; i < kReaderNoteKindCount; ++i) {
      const auto kind = static_cast<ReaderNoteKind>(i);
      const std::string pattern = texts.Lookup(kReaderNoteSection, ReaderNoteKey(kind));
      ASSERT_NE(pattern, kMissingText) << code << ": " << ReaderNoteKey(kind);
      // The translation names every value the English sentence names, and nothing is left unfilled.
      const std::string text = FillPlaceholders(pattern, kMarkedValues);
      EXPECT_EQ(MarkedValuesIn(text), MarkedValuesIn(ReaderNoteEnglish(kind, kMarkedValues)))
          << code << ": " << ReaderNoteKey(kind) << ": " << text;
      EXPECT_EQ(text.find('%'), std::string::npos) << code << ": " << text;
    }
  }
}

TEST(ReaderNoteTexts, FillTheLanguagesPatternOrFallBackToTheEnglish) {
  const ReaderNote note = MakeReaderNote(4, ReaderNoteKind::kEntityDegree, {"%2", "13", "12"});
  const TextLookup swapped = [](std::string_view section, std::string_view key) {
    return std::string(section) + "." + std::string(key) + ": %3 < %2 (%1)";
  };
  EXPECT_EQ(ReaderNoteText(note, swapped), "Load_notes.pominietyStopien: 12 < 13 (%2)");
  const TextLookup missing = [](std::string_view, std::string_view) { return std::string(kMissingText); };
  EXPECT_EQ(ReaderNoteText(note, missing), "%2 skipped: its degree 13 lies outside 1 .. 12");
  const TextLookup empty = [](std::string_view, std::string_view) { return std::string(); };
  EXPECT_EQ(ReaderNoteText(note, empty), note.text());
}

// A project loaded with the interface in a shipped language.
class LoadReportLanguage : public ::testing::Test {
 protected:
  std::vector<std::string> ReportOf(int country, const std::string& name, const std::string& text) {
    const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, country, ""});
    EXPECT_TRUE(texts.loaded());
    ProjectDocument project([&texts](std::string_view section, std::string_view key) {
      return texts.GetText(section, key);
    });
    project.reader_kind = name.ends_with(".dxf") ? kDxfFile : kPlotFile;
    EXPECT_TRUE(project.Load(folder_.Write(name, text), 255));
    return LoadReportLines(project);
  }

  testing::TempFolder folder_;
  ScriptedOperator operator_;
  ScopedOperator installed_{operator_};
};

constexpr int kPoland = 48;
constexpr int kGermany = 49;

// A circle without radius on line 6, then a line.
const std::string kDrawing =
    "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n10\n0\n20\n0\n40\n0\n"
    "0\nLINE\n10\n0\n20\n0\n11\n10\n21\n0\n0\nENDSEC\n0\nEOF\n";
// An unknown command E at byte 32.
const std::string kPlot = "IN;SP1;PU0,0;PD1000,0,1000,1000;E;PU;";

TEST_F(LoadReportLanguage, NotesOfBothReadersReadInPolishAndGerman) {
  struct Case {
    int country;
    std::string circle, unknown;
  };
  for (const Case& c :
       {Case{kPoland, "wiersz 6: Pominięto CIRCLE: promień nie jest większy od 0",
             "Polecenie E (bajt 32) nie jest rysowane: pominięto je wraz z następującymi liczbami"},
        Case{kGermany, "Zeile 6: CIRCLE übersprungen: Der Radius ist nicht größer als 0",
             "Befehl E (Byte 32) nicht gezeichnet: Befehl und folgende Zahlen übergangen"}}) {
    EXPECT_EQ(ReportOf(c.country, "circle.dxf", kDrawing), std::vector<std::string>{c.circle});
    EXPECT_EQ(ReportOf(c.country, "unknown.plt", kPlot), std::vector<std::string>{c.unknown});
  }
}

}  // namespace
}  // namespace varnholt
