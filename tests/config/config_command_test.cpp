#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "config/konfig_file.h"
#include "config/program_settings.h"
#include "config_test_support.h"

namespace varnholt {
namespace {

class ConfigCommand : public TempFolderTest {
 protected:
  int Run(const cli::Arguments& args) {
    out_.str("");
    err_.str("");
    return cli::RunConfig(args, out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(ConfigCommand, DefaultsAndLoadPrintTheSavedLines) {
  ASSERT_EQ(Run({"--defaults"}), 0);
  std::string expected = KonfigText(Configuration(), '.');
  for (size_t at; (at = expected.find('\r')) != std::string::npos;) expected.erase(at, 1);
  EXPECT_EQ(out_.str(), expected);
  EXPECT_EQ(out_.str().rfind("AutoSave := cbUnchecked\nszybkoscObrobki := 1000\nPrzeSpeed := 1000\nwork_power := 1\n", 0),
            0u);

  const std::string path = Write("a.qcc", "Pauza_w_kacie := 1,5e3\r\nradiounit := 7\r\n");
  ASSERT_EQ(Run({"--load", path, "--decimal-separator", ",", "--lenient"}), 0);
  EXPECT_NE(out_.str().find("Pauza_w_kacie := 1,5\n"), std::string::npos);
  EXPECT_NE(out_.str().find("radiounit := 2\n"), std::string::npos);
  ASSERT_EQ(Run({"--load", path, "--lenient"}), 0);
  EXPECT_NE(out_.str().find("Pauza_w_kacie := 1\n"), std::string::npos);
}

TEST_F(ConfigCommand, FailuresAreReportedNotPrinted) {
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(Run({"--defaults", "--decimal-separator", ";"}), 1);
  EXPECT_EQ(Run({"--load", PathOf("missing.qcc")}), 1);
  EXPECT_FALSE(std::filesystem::exists(PathOf("missing.qcc")));  // the command never makes files
  const std::string bad = Write("bad.qcc", "CatDir := x\r\n");
  EXPECT_EQ(Run({"--load", bad}), 1);
  EXPECT_EQ(err_.str().rfind(bad + ", line 1: CatDir := x: 'x' is not a valid integer value\n", 0), 0u) << err_.str();
  EXPECT_EQ(Run({"--settings", Write("short.vhc", std::string(10, 'x'))}), 1);
  EXPECT_TRUE(out_.str().empty());
}

TEST_F(ConfigCommand, SettingsPrintOneFieldPerLine) {
  ProgramSettings settings = DefaultProgramSettings("/opt/v/Varnholt.qcc");
  settings.LastOpenFolder = u"/home/\u00f3";
  WriteProgramSettingsFile(PathOf("Varnholt.vhc"), settings);
  ASSERT_EQ(Run({"--settings", PathOf("Varnholt.vhc")}), 0);
  EXPECT_EQ(out_.str(),
            "LastOpenFolder: /home/\xC3\xB3\nLastSaveFolder: \nreserved320: 1\nSaveFilterIndex: 1\n"
            "reserved328: 1\nreserved329: 00 00 00 00\nreserved333: 0\nConfigFilePath: /opt/v/Varnholt.qcc\n"
            "OpenFilterIndex: 1\nreserved848: 1\nreserved856: 0\nreserved860: 00 00 00 00\n");
}

// A file cut short or with a value the reader refuses is an error naming the file, the line and its text, unless
// --lenient is given; then the lines that loaded are printed and the rest named. The 36-line format of files
// written without the kerf line is whole.
TEST_F(ConfigCommand, ADamagedOrCutFileIsAnErrorUnlessLenient) {
  Configuration kerf;
  kerf.SetNumber(Param::KerfWidth, 2);
  kerf.SetNumber(Param::skala, 50);
  const std::string whole = KonfigText(kerf, '.');
  const std::string cut = Write("cut.qcc", whole.substr(0, 400));
  EXPECT_EQ(Run({"--load", cut}), 1);
  EXPECT_TRUE(out_.str().empty());
  EXPECT_NE(err_.str().find(cut), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("KerfWidth"), std::string::npos) << err_.str();
  ASSERT_EQ(Run({"--load", cut, "--lenient"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("skala := 50\n"), std::string::npos);
  EXPECT_NE(out_.str().find("KerfWidth := 0\n"), std::string::npos);
  EXPECT_NE(err_.str().find(cut), std::string::npos) << "still told";

  std::string bad = whole;
  bad.replace(bad.find("CzasRozgrzewania := 1000"), 24, "CzasRozgrzewania := ~3000");
  const std::string bad_path = Write("bad.qcc", bad);
  EXPECT_EQ(Run({"--load", bad_path}), 1);
  EXPECT_NE(err_.str().find(bad_path), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("line 5"), std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("CzasRozgrzewania := ~3000"), std::string::npos) << err_.str();
  ASSERT_EQ(Run({"--load", bad_path, "--lenient"}), 0);
  EXPECT_NE(out_.str().find("KerfWidth := 2\n"), std::string::npos) << "the lines after the bad one load";

  EXPECT_EQ(Run({"--load", Write("old.qcc", whole.substr(0, whole.find("KerfWidth")))}), 0);
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Run({"--load", Write("empty.qcc", "")}), 1);
  EXPECT_EQ(Run({"--load", Write("binary.qcc", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10))}), 1);
  EXPECT_EQ(Run({"--load", "/dev/null", "--lenient"}), 1);
  EXPECT_NE(err_.str().find("/dev/null"), std::string::npos);
}

}  // namespace
}  // namespace varnholt
