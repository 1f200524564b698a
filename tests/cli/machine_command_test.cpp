// varnholt-cli machine against the simulated controller.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "cli/commands.h"
#include "support/firmware_test_image.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

class MachineCommand : public ::testing::Test {
 protected:
  int Run(cli::Arguments args) {
    out_.str("");
    err_.str("");
    return cli::RunMachine(args, out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(MachineCommand, IdentifyPrintsTheStateAsJson) {
  ASSERT_EQ(Run({"--sim", "Qa", "identify"}), 0) << err_.str();
  const std::string json = out_.str();
  for (const char* field : {"\"model_code\":\"Qa\"", "\"x_range\":4800", "\"y_range\":2400", "\"StepScaleX\":1.6",
                            "\"StepScaleY\":1.5184", "\"StepScaleZ\":1.0", "\"StepMultiplier\":4",
                            "\"steps_per_turn\":{\"axis6\":50000", "\"operating_minutes\":7385",
                            "\"operating_counter\":1204"}) {
    EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
  }
  ASSERT_EQ(Run({"--sim", "Qo", "identify"}), 0);
  EXPECT_NE(out_.str().find("\"StepMultiplier\":3"), std::string::npos);
  EXPECT_NE(out_.str().find("\"StepScaleX\":1.25"), std::string::npos);
}

TEST_F(MachineCommand, MoveBytesUseTheGivenOrTheModelsMultiplier) {
  ASSERT_EQ(Run({"--sim", "Qa", "move-bytes", "--multiplier", "2", "0=100"}), 0);
  EXPECT_EQ(out_.str(), "41 ff 00 00 00 00 41 00 64 00 00 00 41 fe c8 00 00 00\n");
  ASSERT_EQ(Run({"--sim", "Qe", "move-bytes", "0=100"}), 0);
  EXPECT_EQ(out_.str(), "41 ff 00 00 00 00 41 00 64 00 00 00 41 fe 90 01 00 00\n");
  ASSERT_EQ(Run({"--sim", "Qa", "move-bytes", "--multiplier", "2", "7=100"}), 0);
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(err_.str().find("No command"), std::string::npos);
  EXPECT_EQ(Run({"--sim", "Qa", "move-bytes", "8=1"}), 1);
  EXPECT_EQ(Run({"--sim", "Qa", "move-bytes", "--multiplier", "0", "0=1"}), 1);
  EXPECT_EQ(Run({"--sim", "Qa", "move-bytes", "0=x"}), 1);
}

TEST_F(MachineCommand, DevicesStatusAndMovesOnTheSimulator) {
  ASSERT_EQ(Run({"--sim", "Qe", "devices"}), 0);
  EXPECT_NE(out_.str().find("\"manufacturer\":\"Quellmar\""), std::string::npos);
  EXPECT_NE(out_.str().find("\"selected\":true"), std::string::npos);
  ASSERT_EQ(Run({"--sim", "Qa", "home"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("homed"), std::string::npos);
  ASSERT_EQ(Run({"--sim", "Qa", "goto", "100", "200"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("X1 100.00 Y1 200.00 X2 100.00 Y2 200.00"), std::string::npos) << out_.str();
  ASSERT_EQ(Run({"--sim", "Qa", "jog", "left", "500"}), 0);
  EXPECT_NE(out_.str().find("X1 -8.3"), std::string::npos) << out_.str();
  ASSERT_EQ(Run({"--sim", "Qa", "status"}), 0);
  EXPECT_EQ(out_.str().rfind("status 0x00000000: \n", 0), 0u) << out_.str();
}

TEST_F(MachineCommand, ManualMovesLeaveTheWireColdUnlessAskedToKeepItHot) {
  for (const cli::Arguments& move : {cli::Arguments{"jog", "left", "500"}, cli::Arguments{"goto", "100", "200"},
                                      cli::Arguments{"move-wire", "by", "10", "10", "0"}}) {
    cli::Arguments args{"--sim", "Qa"};
    args.insert(args.end(), move.begin(), move.end());
    ASSERT_EQ(Run(args), 0) << err_.str();
    EXPECT_EQ(out_.str().find("heating"), std::string::npos) << move[0] << ": " << out_.str();
    args.push_back("--keep-heat");
    ASSERT_EQ(Run(args), 0) << err_.str();
    EXPECT_NE(out_.str().find("heating"), std::string::npos) << move[0] << " --keep-heat: " << out_.str();
  }
}

TEST_F(MachineCommand, BadArgumentsAreRefused) {
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(Run({"--sim", "Qx", "identify"}), 1);
  EXPECT_EQ(Run({"--sim", "Qa", "fly"}), 1);
  EXPECT_EQ(Run({"--sim", "Qa", "jog", "left"}), 1);
  EXPECT_EQ(Run({"--sim", "Qa", "goto", "1", "y"}), 1);
  EXPECT_TRUE(out_.str().empty());
}

TEST_F(MachineCommand, MoveWireMovesToOrByTheValues) {
  ASSERT_EQ(Run({"--sim", "Qe", "move-wire", "to", "100", "200", "0"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("X1 100.00 Y1 200.00 X2 100.00 Y2 200.00"), std::string::npos) << out_.str();
  // Each run is a new controller standing at its start: a change of X on side 2 alone.
  ASSERT_EQ(Run({"--sim", "Qe", "move-wire", "by", "10", "0", "0", "--side", "2"}), 0) << err_.str();
  EXPECT_NE(out_.str().find("X1 0.00 Y1 0.00 X2 10.00 Y2 0.00"), std::string::npos) << out_.str();
  EXPECT_EQ(Run({"--sim", "Qe", "move-wire", "up", "1", "2", "3"}), 1);
  EXPECT_EQ(Run({"--sim", "Qe", "move-wire", "to", "1", "2"}), 1);
  EXPECT_EQ(Run({"--sim", "Qe", "move-wire", "to", "1", "2", "3", "--side", "3"}), 1);
}

TEST_F(MachineCommand, FirmwareUpgradePassesOnlyWhenVerified) {
  testing::TempFolder folder;
  const std::string image = folder.Write("new.rom", testing::TestFirmwareImageBytes(1, 13));
  ASSERT_EQ(Run({"--sim", "Qe", "firmware", "version"}), 0);
  EXPECT_EQ(out_.str(), "1.12\n");

  ASSERT_EQ(Run({"--sim", "Qe", "firmware", "upgrade", image}), 0) << err_.str();
  EXPECT_NE(out_.str().find("Verification passed\nupgraded to 1.13\n"), std::string::npos) << out_.str();
  EXPECT_NE(out_.str().find("Program memory erased"), std::string::npos);

  EXPECT_EQ(Run({"--sim", "Qe", "--corrupt-firmware-word", "1234", "firmware", "upgrade", image}), 1);
  EXPECT_NE(err_.str().find("Verification found differences (program word 1234)"), std::string::npos) << err_.str();

  // An older image only with --allow-downgrade; a controller at 1.1 not at all.
  EXPECT_EQ(Run({"--sim", "Qe", "--sim-version", "1.20", "firmware", "upgrade", image}), 1);
  ASSERT_EQ(Run({"--sim", "Qe", "--sim-version", "1.20", "firmware", "upgrade", image, "--allow-downgrade"}), 0)
      << err_.str();
  EXPECT_EQ(Run({"--sim", "Qe", "--sim-version", "1.1", "firmware", "upgrade", image}), 1);
  EXPECT_EQ(out_.str().find("erasing"), std::string::npos);
  // A controller at a version the program refuses is mended with --recover.
  EXPECT_EQ(Run({"--sim", "Qe", "--sim-version", "0.0", "firmware", "upgrade", image, "--allow-downgrade"}), 1);
  ASSERT_EQ(Run({"--sim", "Qe", "--sim-version", "0.0", "firmware", "upgrade", image, "--recover"}), 0)
      << err_.str();
  EXPECT_NE(out_.str().find("upgraded to 1.13\n"), std::string::npos) << out_.str();

  const std::string short_image = folder.Write("short.rom", std::string(100, '\1'));
  EXPECT_EQ(Run({"--sim", "Qe", "firmware", "upgrade", short_image}), 1);
  EXPECT_NE(err_.str().find("shorter than 131078 bytes"), std::string::npos) << err_.str();
}

TEST_F(MachineCommand, FirmwareIsReadToAFileAndVerifiedAgainstOne) {
  testing::TempFolder folder;
  const std::string read = folder.PathOf("read.rom");
  ASSERT_EQ(Run({"--sim", "Qo", "firmware", "read", read}), 0) << err_.str();
  EXPECT_EQ(std::filesystem::file_size(read), kFirmwareImageBytes);
  EXPECT_EQ(Run({"--sim", "Qo", "firmware", "verify", read}), 0) << err_.str();
  EXPECT_EQ(Run({"--sim", "Qo", "firmware", "verify", folder.Write("other.rom", testing::TestFirmwareImageBytes(1, 13))}),
            1);
  EXPECT_NE(err_.str().find("(program word 0)"), std::string::npos) << err_.str();
  // A pipe named as the file is refused and stays a pipe.
  const std::string pipe = folder.PathOf("pipe.rom");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(Run({"--sim", "Qo", "firmware", "read", pipe}), 1);
  EXPECT_NE(err_.str().find("not a regular file but a pipe (" + pipe + ")"), std::string::npos) << err_.str();
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_EQ(Run({"--sim", "Qo", "firmware", "flash", read}), 1);
  EXPECT_EQ(Run({"--sim", "Qo", "firmware", "read"}), 1);
  EXPECT_EQ(Run({"--corrupt-firmware-word", "3", "firmware", "version"}), 1);
}

}  // namespace
}  // namespace varnholt
