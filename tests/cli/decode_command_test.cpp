#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/commands.h"
#include "support/bytes.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Bytes;

class DecodeCommand : public ::testing::Test {
 protected:
  int Run(const cli::Arguments& args) {
    out_.str("");
    err_.str("");
    return cli::RunDecode(args, out_, err_);
  }
  testing::TempFolder folder_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(DecodeCommand, OneCommandALineThenTheSummary) {
  const std::string out_and_back =
      Bytes({'v', 1, 0x77, 0x01, 'f', 1, 'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0xE8, 0x03, 0, 0, 'a', 0xFE, 0xD0, 0x07, 0,
             0, 'p', 0xFA, 'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0x18, 0xFC, 0xFF, 0xFF, 'a', 0xFE, 0xD0, 0x07, 0, 0});
  ASSERT_EQ(Run({folder_.Write("out.cn", out_and_back)}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            "000000 v speed group 1 period 375 (1000 mm/min)\n"
            "000004 f select speed group 1\n"
            "000006 a move X1=1000 count=2000\n"
            "000024 p pause 250 ms\n"
            "000026 a move X1=-1000 count=2000\n"
            "commands 5, bytes 44, moves 2, pauses 250 ms\n"
            "travel: X1 2000 steps (20.00 mm)\n"
            "estimated run time 1.4 s\n"
            "the wire ends where it started: yes\n");
}

TEST_F(DecodeCommand, DamageIsReportedWithItsOffset) {
  EXPECT_EQ(Run({folder_.Write("cut.cn", Bytes({'p', 1, 's', 4, 0}))}), 1);
  EXPECT_EQ(err_.str(), "The program is damaged at offset 2: the command 's' needs 6 bytes, 3 remain\n");
  EXPECT_NE(out_.str().find("000000 p pause 1 ms\n"), std::string::npos) << "what came before is still shown";

  EXPECT_EQ(Run({folder_.Write("bad.cn", Bytes({'p', 1, 0x00}))}), 1);
  EXPECT_EQ(err_.str(), "The program is damaged at offset 2: the byte 0x00 begins no command\n");

  EXPECT_EQ(Run({folder_.PathOf("missing.cn")}), 1);
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(Run({"a.cn", "b.cn"}), 1);
}

}  // namespace
}  // namespace varnholt
