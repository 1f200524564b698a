#include "app/start_options.h"

#include <gtest/gtest.h>

#include "files/thpgl.h"

namespace varnholt {
namespace {

TEST(StartOptions, OwnOptionsAreTakenAndTheRestKeptInOrder) {
  const StartOptions options = ParseStartOptions(
      {"test", "--home", "/tmp/v", "pl", "--sim", "Qo", "D:abc", "--screenshots", "shots", "--open", "a.plt"},
      nullptr);
  EXPECT_TRUE(options.error.empty()) << options.error;
  EXPECT_EQ(options.home, "/tmp/v");
  EXPECT_EQ(options.sim_model, "Qo");
  EXPECT_EQ(options.screenshots, "shots");
  EXPECT_EQ(options.open_file, "a.plt");
  EXPECT_EQ(options.arguments, (std::vector<std::string>{"test", "pl", "D:abc"}));
  EXPECT_TRUE(TestMode(options));
  EXPECT_FALSE(TestMode(ParseStartOptions({"pl", "test"}, nullptr))) << "only as the first argument";
  EXPECT_FALSE(TestMode(ParseStartOptions({"TEST"}, nullptr))) << "exactly";
}

TEST(StartOptions, TheSimulatedControllerComesFromTheEnvironmentUnlessTheCommandLineNamesOne) {
  EXPECT_EQ(ParseStartOptions({}, "Qa").sim_model, "Qa");
  EXPECT_EQ(ParseStartOptions({"--sim", "Qe"}, "Qa").sim_model, "Qe");
  EXPECT_FALSE(ParseStartOptions({}, "").sim_model);
  EXPECT_FALSE(ParseStartOptions({}, "Qx").error.empty()) << "an unknown model is refused, not ignored";
}

TEST(StartOptions, TheOffscreenCutNeedsTheSimulatedController) {
  EXPECT_TRUE(ParseStartOptions({"--sim", "Qe", "--cut"}, nullptr).cut);
  EXPECT_TRUE(ParseStartOptions({"--cut"}, "Qa").error.empty());
  EXPECT_FALSE(ParseStartOptions({"--cut"}, nullptr).error.empty()) << "no cut of a real machine unattended";
  EXPECT_FALSE(ParseStartOptions({"pl"}, nullptr).cut);
  EXPECT_TRUE(ParseStartOptions({"--sim", "Qe", "--cut", "--real-clock"}, nullptr).real_clock);
  // Without a cut to time, the real clock would leave the pictures' run waiting on nothing.
  EXPECT_FALSE(ParseStartOptions({"--sim", "Qe", "--real-clock"}, nullptr).error.empty());
  EXPECT_FALSE(ParseStartOptions({"--sim", "Qe", "--cut", "--real-clock", "--screenshots", "d"}, nullptr).error.empty());
}

TEST(StartOptions, MissingValuesAndUnknownOptionsAreRefused) {
  EXPECT_FALSE(ParseStartOptions({"--home"}, nullptr).error.empty());
  EXPECT_FALSE(ParseStartOptions({"--sim", ""}, nullptr).error.empty());
  EXPECT_FALSE(ParseStartOptions({"--colour"}, nullptr).error.empty());
}

TEST(StartOptions, ADrawingNamedAloneIsOpenedAsTheDesktopPassesIt) {
  const StartOptions plot = ParseStartOptions({"/home/op/Rib 2.PLT", "de"}, nullptr);
  EXPECT_TRUE(plot.error.empty()) << plot.error;
  EXPECT_EQ(plot.open_file, "/home/op/Rib 2.PLT");
  EXPECT_EQ(plot.arguments, (std::vector<std::string>{"de"})) << "the drawing is not a language word";
  EXPECT_EQ(ParseStartOptions({"sign.dxf"}, nullptr).open_file, "sign.dxf");
  EXPECT_EQ(ParseStartOptions({"wing.hpgl"}, nullptr).open_file, "wing.hpgl");
  EXPECT_FALSE(ParseStartOptions({"notes.txt"}, nullptr).open_file);
  EXPECT_TRUE(TestMode(ParseStartOptions({"a.plt", "test"}, nullptr))) << "test stays the first word";
  EXPECT_FALSE(ParseStartOptions({"--open", "a.plt", "b.dxf"}, nullptr).error.empty()) << "one drawing only";
  EXPECT_EQ(DrawingKindOfFile("/home/op/SIGN.DXF"), 2) << "file managers keep the name's case";
  EXPECT_EQ(DrawingKindOfFile("sign.dxf"), 2);
  EXPECT_EQ(DrawingKindOfFile("wing.hpgl"), 1);
  EXPECT_EQ(DrawingKindOfFile("dxf"), 1);
}

TEST(StartOptions, EitherSpellingOfTheSeparateBeltSwitchInAnyCase) {
  EXPECT_TRUE(SeparateThirdAxesWanted(ParseStartOptions({"CB1Separately"}, nullptr)));
  EXPECT_TRUE(SeparateThirdAxesWanted(ParseStartOptions({"pl", "t1OSOBNO"}, nullptr)));
  EXPECT_FALSE(SeparateThirdAxesWanted(ParseStartOptions({"cb1"}, nullptr)));
}

}  // namespace
}  // namespace varnholt
