#include "config/konfig_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "config/display_unit.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

Configuration Loaded(const std::string& text, char separator = '.') {
  Configuration config;
  std::istringstream in(text);
  ReadKonfig(in, config, separator);
  return config;
}

// The reason the reader gave for refusing the value of the text's only line ("" when it took it).
std::string Refusal(const std::string& text, char separator = '.') {
  Configuration config;
  std::istringstream in(text);
  const KonfigLoad load = ReadKonfig(in, config, separator);
  for (const LineProblem& problem : load.problems) {
    if (problem.fault == LineFault::kBadValue) return problem.reason;
  }
  return "";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(KonfigNumber, ShortestPlainDecimalOfFifteenDigits) {
  EXPECT_EQ(FormatKonfigNumber(1000, '.'), "1000");
  EXPECT_EQ(FormatKonfigNumber(0.5, '.'), "0.5");
  EXPECT_EQ(FormatKonfigNumber(-2.75, '.'), "-2.75");
  EXPECT_EQ(FormatKonfigNumber(-2.75, ','), "-2,75");
  EXPECT_EQ(FormatKonfigNumber(0.1 + 0.2, '.'), "0.3");
  EXPECT_EQ(FormatKonfigNumber(1.0 / 3.0, '.'), "0.333333333333333");
  EXPECT_EQ(FormatKonfigNumber(123456789012345678.0, '.'), "123456789012346000");
  EXPECT_EQ(FormatKonfigNumber(1666, '.'), "1666");
  EXPECT_EQ(FormatKonfigNumber(-0.0, '.'), "0");
  // Never an exponent: the reader would cut it off.
  EXPECT_EQ(FormatKonfigNumber(1e-7, '.'), "0.0000001");
  EXPECT_EQ(FormatKonfigNumber(1e20, '.'), "100000000000000000000");
  EXPECT_EQ(FormatKonfigNumber(25.4 * 3, '.'), "76.2");
}

TEST(KonfigText, DefaultFileHasTheThirtySixLinesInDialogOrderThenTheKerf) {
  const std::vector<std::string> lines = Lines(KonfigText(Configuration(), '.'));
  ASSERT_EQ(lines.size(), 37u);
  const std::vector<std::string> first = {"AutoSave := cbUnchecked", "szybkoscObrobki := 1000",
                                          "PrzeSpeed := 1000", "work_power := 1"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4), first);
  const std::vector<std::string> order = {
      "AutoSave", "szybkoscObrobki", "PrzeSpeed", "work_power", "CzasRozgrzewania", "Pauza_w_kacie", "skala",
      "Tasma_SzybkoscPrzes", "VerticalWire_power", "TasmaPrzesuwKon", "TasmaPrzesuwPocz", "fePauzaTechn",
      "feuWysokoscMat", "feKalibracjaX", "feKalibracjaY", "feKalibracjaZ", "CatDir", "Mode", "PowerOutput",
      "Heavy", "StolikSwitch", "KierunekObrotow", "Srednicamaterialu", "il_obr_rys", "ilosckrokow", "MoveAfter",
      "Wstrzymaj", "radiounit", "AddFrame", "dopasujKierunek", "Xwrzeciona", "Ywrzeciona", "Xstolika",
      "Ystolika", "Xnarzedzia", "Ynarzedzia"};
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(lines[i].substr(0, lines[i].find(' ')), order[i]);
  EXPECT_EQ(lines[16], "CatDir := 2");
  EXPECT_EQ(lines[29], "dopasujKierunek := cbChecked");
  EXPECT_EQ(lines[35], "Ynarzedzia := 0");
  EXPECT_EQ(lines[36], "KerfWidth := 0");
}

TEST(KonfigLines, TheKerfLineIsOptionalAndLimited) {
  // A file written before the kerf line existed: its 36 lines load, the kerf stays 0 (no compensation).
  Configuration changed;
  changed.SetNumber(Param::skala, 50);
  std::string old_file = KonfigText(changed, '.');
  old_file.erase(old_file.find("KerfWidth"));
  const Configuration old_loaded = Loaded(old_file);
  EXPECT_EQ(old_loaded.Number(Param::skala), 50);
  EXPECT_EQ(old_loaded.Number(Param::KerfWidth), 0);

  EXPECT_EQ(Loaded("KerfWidth := 1,5", ',').Number(Param::KerfWidth), 1.5);
  EXPECT_EQ(Loaded("KerfWidth := 12").Number(Param::KerfWidth), 10) << "clamped to 10 mm";
  EXPECT_EQ(Loaded("KerfWidth := -1").Number(Param::KerfWidth), 0);
  EXPECT_EQ(Loaded("kerfwidth := 2").Number(Param::KerfWidth), 0) << "names are case-sensitive";
}

TEST(KonfigLines, NameAndValueSplitLeniently) {
  for (const char* text : {"skala := 12.5", "skala=12.5", "skala 12.5", "skala:12.5", "skala := 1 2.5"}) {
    EXPECT_EQ(Loaded(text).Number(Param::skala), 12.5) << text;
  }
  std::istringstream in("a := b\r\nc\n\nd=e=f");
  KonfigLineReader reader(in);
  KonfigLine line;
  std::vector<std::pair<std::string, std::string>> seen;
  while (reader.Next(line)) seen.emplace_back(line.name, line.value);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"a", "b"}, {"", ""}, {"c", ""}, {"", ""}, {"d", "ef"}};
  EXPECT_EQ(seen, expected);
}

TEST(KonfigLines, NumbersAreCutToTheirLeadingNumberCharacters) {
  EXPECT_EQ(Loaded("Pauza_w_kacie := 1,5e3", '.').Number(Param::Pauza_w_kacie), 1);
  EXPECT_EQ(Loaded("Pauza_w_kacie := 1,5e3", ',').Number(Param::Pauza_w_kacie), 1.5);
  EXPECT_EQ(Loaded("Pauza_w_kacie := 1.5", ',').Number(Param::Pauza_w_kacie), 1);
  EXPECT_EQ(Loaded("TasmaPrzesuwPocz := 12.5mm").Number(Param::TasmaPrzesuwPocz), 12.5);
  EXPECT_EQ(Loaded("Xnarzedzia := -.5").Number(Param::Xnarzedzia), -0.5);
  EXPECT_EQ(Loaded("Xnarzedzia := +7.").Number(Param::Xnarzedzia), 7);
  for (const char* bad : {"skala := ", "skala := abc", "skala := 1.2.3", "skala := +-1", "skala := 1-", "skala := -",
                          "skala"}) {
    EXPECT_NE(Refusal(bad), "") << bad;
  }
  // The refusal quotes the value as the line holds it, not the empty run of number characters it starts with.
  EXPECT_EQ(Refusal("CzasRozgrzewania := ~3000"), "'~3000' is not a valid floating point value");
  EXPECT_EQ(Loaded("skala := 1e999").Number(Param::skala), 1);
  EXPECT_NE(Refusal("skala := 1" + std::string(400, '0')), "");  // beyond a double
}

TEST(KonfigLines, ValuesAreClampedOnLoad) {
  const Configuration config =
      Loaded("skala := 5000\r\nwork_power := 150\r\nszybkoscObrobki := 5\r\nMode := 3\r\nradiounit := 7\r\n");
  EXPECT_EQ(config.Number(Param::skala), 1000);
  EXPECT_EQ(config.Number(Param::work_power), 100);
  EXPECT_EQ(config.Number(Param::szybkoscObrobki), 20);
  EXPECT_EQ(config.Choice(Param::Mode), 0);
  EXPECT_EQ(config.Choice(Param::radiounit), 2);
}

TEST(KonfigLines, FlagsChoicesAndUnknownNames) {
  const Configuration config = Loaded(
      "Heavy := yes\nAddFrame := cbChecked\nAutoSave := cbGrayed\ndopasujKierunek := cbchecked\n"
      "Foo := 1\nSKALA := 7\nCatDir := -1\nStolikSwitch := +1\n");
  EXPECT_EQ(config.Flag(Param::Heavy), FlagState::kUnchecked);
  EXPECT_EQ(config.Flag(Param::AddFrame), FlagState::kChecked);
  EXPECT_EQ(config.Flag(Param::AutoSave), FlagState::kGrayed);
  EXPECT_EQ(config.Flag(Param::dopasujKierunek), FlagState::kUnchecked);
  EXPECT_EQ(config.Number(Param::skala), 100);
  EXPECT_EQ(config.Choice(Param::CatDir), -1);
  EXPECT_EQ(config.Choice(Param::StolikSwitch), 1);
  for (const char* bad : {"CatDir := 1.0", "CatDir := ", "CatDir := 99999999999", "CatDir := ++1", "CatDir := x"}) {
    EXPECT_NE(Refusal(bad), "") << bad;
  }
}

// A refused line is noted with its number (a CR LF pair ends one line) and text, the load goes on, and the
// parameters that took no value are named; a last line without its end is where a file was cut.
TEST(KonfigLines, ARefusedLineIsNotedAndTheLoadGoesOn) {
  Configuration config;
  std::istringstream in("skala := 50\r\n\r\nCatDir := x\nFoo := 1\rwork_power := 7\r\nHeavy := cbCh");
  const KonfigLoad load = ReadKonfig(in, config, '.');
  EXPECT_EQ(config.Number(Param::skala), 50);
  EXPECT_EQ(config.Number(Param::work_power), 7) << "the lines after the refused one load";
  EXPECT_EQ(config.Choice(Param::CatDir), 2) << "the refused value keeps its default";
  ASSERT_EQ(load.problems.size(), 2u);
  EXPECT_EQ(load.problems[0].line, 3u);
  EXPECT_EQ(load.problems[0].text, "CatDir := x");
  EXPECT_EQ(load.problems[0].reason, "'x' is not a valid integer value");
  EXPECT_EQ(load.problems[1].line, 6u);
  EXPECT_EQ(load.problems[1].fault, LineFault::kCutShort);
  EXPECT_EQ(load.problems[1].text, "Heavy := cbCh");
  EXPECT_NE(std::find(load.unread.begin(), load.unread.end(), Param::CatDir), load.unread.end());
  EXPECT_EQ(std::find(load.unread.begin(), load.unread.end(), Param::skala), load.unread.end());
  EXPECT_EQ(load.unread.back(), Param::KerfWidth) << "a load that is not whole names the kerf too";
  EXPECT_FALSE(load.Whole());
  const std::vector<std::string> lines = KonfigLoadLines("a.qcc", load);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "a.qcc, line 3: CatDir := x: 'x' is not a valid integer value");
  EXPECT_EQ(lines[1], "a.qcc, line 6: Heavy := cbCh: the file ends inside this line (cut short?)");
  EXPECT_EQ(lines[2].rfind("a.qcc: no value read for AutoSave, szybkoscObrobki, PrzeSpeed, CzasRozgrzewania,", 0), 0u)
      << lines[2];

  // Whole: every parameter's line, with its end; the 36 lines written before the kerf line existed too.
  std::string file = KonfigText(Configuration(), '.');
  for (const std::string& text : {file, file.substr(0, file.find("KerfWidth"))}) {
    std::istringstream whole(text);
    EXPECT_TRUE(ReadKonfig(whole, config, '.').Whole());
  }
}

TEST(KonfigLines, OverlongLinesAreBounded) {
  const std::string long_name(1'000'000, 'x');
  EXPECT_NO_THROW(Loaded(long_name + " := 1\nskala := 3"));
  EXPECT_EQ(Loaded("skala" + long_name + " := 5").Number(Param::skala), 100);
  // A long tail after the number is cut off like any other.
  EXPECT_EQ(Loaded("skala := 42" + long_name).Number(Param::skala), 42);
  EXPECT_EQ(Loaded("Heavy := cbChecked" + long_name).Flag(Param::Heavy), FlagState::kUnchecked);
  // A number that never ends is no number.
  EXPECT_NE(Refusal("skala := " + std::string(100'000, '1')), "");
  EXPECT_NE(Refusal("CatDir := " + std::string(100'000, '0')), "");
  std::istringstream in("skala := " + long_name);
  KonfigLineReader reader(in);
  KonfigLine line;
  ASSERT_TRUE(reader.Next(line));
  EXPECT_EQ(line.value.size(), kMaxLineValue);
  EXPECT_TRUE(line.value_cut);
  EXPECT_FALSE(reader.Next(line));
}

TEST(KonfigText, SaveThenLoadGivesTheSameValuesUnderBothSeparators) {
  Configuration changed;
  changed.SetFlag(Param::AutoSave, FlagState::kChecked);
  changed.SetNumber(Param::work_power, 0.1 + 0.2);
  changed.SetNumber(Param::Pauza_w_kacie, 1e-7);
  changed.SetNumber(Param::Xnarzedzia, -2.75);
  changed.SetNumber(Param::feuWysokoscMat, 25.4 / 3);
  changed.SetNumber(Param::szybkoscObrobki, 4999.5);
  changed.SetChoice(Param::radiounit, 1);
  changed.SetChoice(Param::CatDir, -1);
  changed.SetFlag(Param::Wstrzymaj, FlagState::kGrayed);
  changed.SetFlag(Param::dopasujKierunek, FlagState::kUnchecked);
  changed.SetNumber(Param::KerfWidth, 0.7);
  for (char separator : {'.', ','}) {
    const std::string text = KonfigText(changed, separator);
    const Configuration back = Loaded(text, separator);
    // Fifteen digits keep every value except the few that need more; those come back within a digit.
    EXPECT_EQ(KonfigText(back, separator), text) << separator;
    EXPECT_NEAR(back.Number(Param::work_power), 0.3, 1e-15);
    EXPECT_EQ(back.Number(Param::Pauza_w_kacie), 1e-7);
    EXPECT_EQ(back.Number(Param::Xnarzedzia), -2.75);
    EXPECT_EQ(back.Choice(Param::radiounit), 1);
    EXPECT_EQ(back.Choice(Param::CatDir), -1);
    EXPECT_EQ(back.Flag(Param::Wstrzymaj), FlagState::kGrayed);
    EXPECT_EQ(back.Number(Param::KerfWidth), 0.7);
  }
}

TEST(KonfigText, LengthsAreSavedInMillimetresWhateverTheDisplayUnit) {
  Configuration config;
  config.SetChoice(Param::radiounit, kUnitInch);
  config.TakeCurrentUnitFromRadiounit();
  config.SetNumber(Param::Srednicamaterialu, ToMillimetres(2, config.CurrentUnit()));
  const std::string text = KonfigText(config, '.');
  EXPECT_NE(text.find("Srednicamaterialu := 50.8\r\n"), std::string::npos);
  Configuration back = Loaded(text + "radiounit := 0\r\n");
  EXPECT_EQ(back.Number(Param::Srednicamaterialu), 50.8);
}

TEST(KonfigText, LocaleSeparatorIsOneUsableCharacter) {
  const char separator = LocaleDecimalSeparator();
  EXPECT_TRUE(separator == '.' || separator == ',') << separator;
}

}  // namespace
}  // namespace varnholt
