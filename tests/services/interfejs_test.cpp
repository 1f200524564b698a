#include "services/interfejs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::TempFolder;

std::string LanguageXml(const std::string& text, const std::string& root_attributes = R"(name="Varnholt" version="2.7")") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<interface " + root_attributes +
         ">\n <Control>\n  <ploterBrakLacznosci str=\"" + text +
         "\"/>\n  <caption/>\n  <k_zalwyl.Hint str=\"Grzanie  [ INSERT]\"/>\n </Control>\n <Universal>\n"
         "  <uwaga str=\"Uwaga\"/>\n </Universal>\n</interface>\n";
}

class InterfejsTest : public ::testing::Test {
 protected:
  tInterfejs Create(int country, std::vector<std::string> arguments = {}) {
    return tInterfejs(InterfaceSetup{folder_.folder(), std::move(arguments), country, "2.7"});
  }
  // The one message shown, which must be a language file error box.
  std::string OnlyError() const {
    EXPECT_EQ(operator_.messages().size(), 1u);
    if (operator_.messages().empty()) return {};
    EXPECT_TRUE(operator_.messages()[0].is_error);
    EXPECT_EQ(operator_.messages()[0].caption, "Configuration error");
    return operator_.messages()[0].text;
  }

  TempFolder folder_;
  ScriptedOperator operator_;
  ScopedOperator installed_{operator_};
};

TEST_F(InterfejsTest, LocaleCountryPicksTheLanguageFile) {
  folder_.Write("Varnholt_PL.xml", LanguageXml("Brak łączności"));
  folder_.Write("Varnholt_US.xml", LanguageXml("No link"));
  folder_.Write("Varnholt_DE.xml", LanguageXml("Keine Verbindung"));

  const tInterfejs polish = Create(48);
  EXPECT_TRUE(polish.loaded());
  EXPECT_EQ(polish.language_code(), "PL");
  EXPECT_EQ(polish.GetText("Control", "ploterBrakLacznosci"), "Brak łączności");

  const tInterfejs unknown_country = Create(44);
  EXPECT_EQ(unknown_country.country_code(), 1);
  EXPECT_EQ(unknown_country.GetText("Control", "ploterBrakLacznosci"), "No link");
  EXPECT_EQ(unknown_country.file_name(), folder_.folder() + "Varnholt_US.xml");

  const tInterfejs german = Create(48, {"pl", "de"});
  EXPECT_EQ(german.country_code(), 49);
  EXPECT_EQ(german.GetText("Control", "ploterBrakLacznosci"), "Keine Verbindung");
  EXPECT_FALSE(german.right_to_left());
  EXPECT_TRUE(operator_.messages().empty());
}

TEST_F(InterfejsTest, LanguageWithoutFileFallsBackToUs) {
  folder_.Write("Varnholt_US.xml", LanguageXml("No link"));
  const tInterfejs arabic = Create(966);
  EXPECT_TRUE(arabic.loaded());
  EXPECT_TRUE(arabic.right_to_left());
  EXPECT_EQ(arabic.language_code(), "SA");
  EXPECT_EQ(arabic.GetText("Control", "ploterBrakLacznosci"), "No link");
}

TEST_F(InterfejsTest, NoFileAtAllIsReportedWithTheUsName) {
  const tInterfejs none = Create(48);
  EXPECT_FALSE(none.loaded());
  EXPECT_EQ(OnlyError(), "Application could't work without file: \r\n" + folder_.folder() + "Varnholt_US.xml");
  EXPECT_EQ(none.GetText("Universal", "uwaga"), "error");
}

TEST_F(InterfejsTest, FileChecksReportTheirMessages) {
  struct Case {
    std::string content;
    std::string message_start;
  };
  const std::vector<Case> cases = {
      {"", "Corruption detected in file: \r\n"},
      {"this is not xml", "Corruption detected in file: \r\n"},
      {"<interface name=\"Varnholt\" version=\"2.7\"><Control>", "Corruption detected in file: \r\n"},
      {std::string("\xff\xfe\x00<", 4), "Corruption detected in file: \r\n"},
      {R"(<interfaces name="Varnholt" version="2.7"><Control/></interfaces>)", "Invalid file structure: \r\n"},
      {LanguageXml("x", R"(name="Varnholt")"), "Invalid file structure: \r\n"},
      {LanguageXml("x", R"(version="2.7")"), "Invalid file structure: \r\n"},
      {LanguageXml("x", R"(name="Varnholt" version="2.8")"), "Incompatibile file version: \r\n"},
      {LanguageXml("x", R"(name="Varnholt" version="2.7.0")"), "Incompatibile file version: \r\n"},
      {LanguageXml("x", R"(name="Other" version="2.7")"), "Incompatibile file version: \r\n"},
  };
  for (const Case& c : cases) {
    ScriptedOperator op;
    ScopedOperator installed(op);
    const std::string path = folder_.Write("Varnholt_PL.xml", c.content);
    const tInterfejs interfejs = Create(48);
    EXPECT_FALSE(interfejs.loaded()) << c.content;
    ASSERT_EQ(op.messages().size(), 1u) << c.content;
    EXPECT_EQ(op.messages()[0].text, c.message_start + path) << c.content;
    EXPECT_EQ(op.messages()[0].caption, "Configuration error");
    EXPECT_EQ(interfejs.GetText("Control", "ploterBrakLacznosci"), "error");
  }
}

TEST_F(InterfejsTest, NameIsComparedWithoutRegardToCase) {
  folder_.Write("Varnholt_PL.xml", LanguageXml("ok", R"(name="varnholt" version="2.7")"));
  EXPECT_TRUE(Create(48).loaded());
  EXPECT_TRUE(operator_.messages().empty());
}

TEST_F(InterfejsTest, FailedLookupsGiveError) {
  folder_.Write("Varnholt_PL.xml", LanguageXml("Brak"));
  const tInterfejs interfejs = Create(48);
  ASSERT_TRUE(interfejs.loaded());
  EXPECT_EQ(interfejs.GetText("Control", "k_zalwyl.Hint"), "Grzanie  [ INSERT]");
  EXPECT_EQ(interfejs.GetText("Control", "nieMa"), "error");
  EXPECT_EQ(interfejs.GetText("Brak", "ploterBrakLacznosci"), "error");
  EXPECT_EQ(interfejs.GetText("Universal", "ploterBrakLacznosci"), "error");  // key of another section
  EXPECT_EQ(interfejs.GetText("Control", "caption"), "error");                // element without "str"
  EXPECT_EQ(interfejs.GetText("", "ploterBrakLacznosci"), "error");
  EXPECT_EQ(interfejs.GetText("Control", ""), "error");
  EXPECT_EQ(interfejs.GetText("Control", "not a name"), "error");
}

TEST_F(InterfejsTest, HugeAndDeepFilesAreRefusedAsCorrupt) {
  // Larger than the accepted size: refused without being read.
  const std::string huge = folder_.Write("Varnholt_PL.xml", LanguageXml("x"));
  std::filesystem::resize_file(huge, static_cast<uintmax_t>(kMaxLanguageFileBytes) + 1);
  // Nested far deeper than any language file.
  std::string deep = "<interface name=\"Varnholt\" version=\"2.7\">";
  for (int i = 0; i < 200000; ++i) deep += "<a>";
  folder_.Write("Varnholt_DE.xml", deep);
  // Nested deeply but within the limit, and well-formed: accepted.
  std::string nested = "<interface name=\"Varnholt\" version=\"2.7\"><Control><ploterBrakLacznosci str=\"ok\">";
  for (int i = 0; i < kMaxLanguageFileDepth - 3; ++i) nested += "<a>";
  for (int i = 0; i < kMaxLanguageFileDepth - 3; ++i) nested += "</a>";
  nested += "</ploterBrakLacznosci></Control></interface>";
  folder_.Write("Varnholt_US.xml", nested);

  EXPECT_FALSE(Create(48).loaded());
  EXPECT_FALSE(Create(49).loaded());
  ASSERT_EQ(operator_.messages().size(), 2u);
  EXPECT_EQ(operator_.messages()[0].text, "Corruption detected in file: \r\n" + huge);
  EXPECT_EQ(operator_.messages()[1].text, "Corruption detected in file: \r\n" + folder_.folder() + "Varnholt_DE.xml");
  EXPECT_EQ(Create(1).GetText("Control", "ploterBrakLacznosci"), "ok");
}

TEST(LanguageFile, EntityExpansionStaysBounded) {
  std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE interface [<!ENTITY a \"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">";
  std::string previous = "a";
  for (char name = 'b'; name <= 'k'; ++name) {
    bomb += std::string("<!ENTITY ") + name + " \"";
    for (int i = 0; i < 10; ++i) bomb += "&" + previous + ";";
    bomb += "\">";
    previous = std::string(1, name);
  }
  bomb += "]><interface name=\"Varnholt\" version=\"2.7\"><S><k str=\"&k;\"/></S></interface>";
  const auto start = std::chrono::steady_clock::now();
  LanguageTexts texts;
  const LanguageFileStatus status = ParseLanguageFile(bomb, "Varnholt", "2.7", texts);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  if (status == LanguageFileStatus::kLoaded) {
    EXPECT_LT(texts.Lookup("S", "k").size(), size_t{1} << 20);
  } else {
    EXPECT_EQ(status, LanguageFileStatus::kCorrupt);
  }
}

}  // namespace
}  // namespace varnholt
