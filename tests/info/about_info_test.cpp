#include "info/about_info.h"

#include <gtest/gtest.h>

#include <regex>

#include "config/display_unit.h"
#include "info_test_support.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

const WebAddresses kAddresses{"https://maker.example", "https://dealer.example"};

TEST(AboutLayout, TheMakerAndItsDealers) {
  testing::TempFolder folder;
  folder.Write(".bmp", "a picture without a dealer");
  for (const std::string_view maker : {"", "QUELLMAR"}) {
    const AboutLayout layout = AboutLayoutFor(maker, folder.folder(), kAddresses);
    EXPECT_EQ(layout.link, "https://maker.example");
    EXPECT_TRUE(layout.link_visible);
    EXPECT_TRUE(layout.producer_visible);
    EXPECT_EQ(layout.rows_shift_up, 0);
    EXPECT_EQ(layout.picture_file, "") << "no dealer, no dealer picture";
    EXPECT_EQ(layout.height, 215);
  }

  const AboutLayout orvelt = AboutLayoutFor("ORVELT", folder.folder(), kAddresses);
  EXPECT_EQ(orvelt.link, "https://dealer.example");
  EXPECT_TRUE(orvelt.link_visible);
  EXPECT_FALSE(orvelt.producer_visible);
  EXPECT_EQ(orvelt.rows_shift_up, 10);
  EXPECT_EQ(orvelt.height, 215) << "no picture file yet";

  const AboutLayout other = AboutLayoutFor("ABC", folder.folder(), kAddresses);
  EXPECT_EQ(other.link, "");
  EXPECT_FALSE(other.link_visible);
  EXPECT_FALSE(other.producer_visible);
  EXPECT_EQ(other.rows_shift_up, 10);
}

TEST(AboutLayout, TheDealerPictureMakesTheWindowTaller) {
  testing::TempFolder folder;
  const std::string picture = folder.Write("ORVELT.bmp", "BM");
  const AboutLayout orvelt = AboutLayoutFor("ORVELT", folder.folder(), kAddresses);
  EXPECT_EQ(orvelt.picture_file, picture);
  EXPECT_EQ(orvelt.height, 283);
  EXPECT_EQ(orvelt.link, "https://dealer.example");
  EXPECT_FALSE(orvelt.producer_visible);

  // A code from the command line names nothing outside the program folder.
  folder.MakeFolder("sub");
  folder.Write("sub/X.bmp", "BM");
  EXPECT_EQ(AboutLayoutFor("SUB/X", folder.folder(), kAddresses).picture_file, "");
  EXPECT_EQ(AboutLayoutFor("SUB\\X", folder.folder(), kAddresses).height, 215);
}

TEST(AboutTexts, WorkTimeAndWorkingArea) {
  EXPECT_EQ(WorkTimeText(125, " godz. "), "2 godz. 5 min.");
  EXPECT_EQ(WorkTimeText(59, " h "), "0 h 59 min.");
  EXPECT_EQ(WorkingAreaText(2000, 1200, kUnitMm), "2000.0x1200.0 mm");
  EXPECT_EQ(WorkingAreaText(2000, 1200, kUnitInch), "78.7x47.2 in");
  EXPECT_EQ(WorkingAreaText(4800, 2400, kUnitFoot), "15.7x7.9 ft");
}

TEST(AboutTexts, NoDataWithoutAController) {
  const MachineTexts no_data = NoMachineTexts("no data");
  EXPECT_EQ(no_data, (MachineTexts{"no data", "no data", "no data", "no data", "no data"}));
  {
    SimulatedMachine machine("Qa");
    machine.controller.Unplug();
    EXPECT_EQ(ReadMachineTexts(machine.link), no_data);
  }
  {
    SimulatedMachine machine("Qa");
    machine.controller.FailNextReads(1000);
    EXPECT_EQ(ReadMachineTexts(machine.link), no_data) << "a controller that stops answering";
  }
}

TEST(AboutTexts, ProgramFileDate) {
  testing::TempFolder folder;
  const std::string file = folder.Write("varnholt", "program");
  EXPECT_TRUE(std::regex_match(ProgramFileDate(file, "Unknown"), std::regex(R"(\d{4}-\d{2}-\d{2})")));
  EXPECT_EQ(ProgramFileDate(folder.PathOf("missing"), "Unknown"), "Unknown");
  EXPECT_FALSE(RunningProgramFile().empty());
}

}  // namespace
}  // namespace varnholt
