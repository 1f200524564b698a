#include "files/program_writer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "config/file_write.h"
#include "files/program_decoder.h"
#include "geometry/run_time_error.h"
#include "support/bytes.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Bytes;

// "p" 250 four times: the one-second pause of the heater sequences.
std::string Second() { return Bytes({'p', 250, 'p', 250, 'p', 250, 'p', 250}); }

class Writer : public ::testing::Test {
 protected:
  Writer() { config_.SetNumber(Param::Pauza_w_kacie, 600); }
  // A writer whose body starts now: the header's bytes are taken away.
  ProgramWriter& Started() {
    writer_.OpenProgram(folder_.PathOf("out.cn"));
    writer_.WriteHeader();
    header_size_ = writer_.bytes().size();
    return writer_;
  }
  std::string Body() const { return writer_.bytes().substr(header_size_); }

  testing::TempFolder folder_;
  ControllerState machine_;
  Configuration config_;
  ProgramWriter writer_{machine_, config_};
  size_t header_size_ = 0;
};

TEST_F(Writer, PausesSplitIntoQuarterSeconds) {
  const auto pause = [this](int64_t ms) {
    ProgramWriter writer(machine_, config_);
    writer.WritePause(ms);
    return writer.bytes();
  };
  EXPECT_EQ(pause(250), Bytes({'p', 0xFA}));
  EXPECT_EQ(pause(251), Bytes({'p', 0xFA, 'p', 0x01}));
  EXPECT_EQ(pause(300), Bytes({'p', 0xFA, 'p', 0x32}));
  EXPECT_EQ(pause(1000), Bytes({'p', 0xFA, 'p', 0xFA, 'p', 0xFA, 'p', 0xFA}));
  EXPECT_EQ(pause(0), Bytes({'p', 0x00}));
  EXPECT_EQ(pause(-5), Bytes({'p', 0x00}));
}

TEST_F(Writer, HeaderSequenceByteForByte) {
  config_.SetNumber(Param::work_power, 40);  // 102 of 255
  config_.SetNumber(Param::CzasRozgrzewania, 300);
  Started();
  const std::string speeds = Bytes({'v', 0, 0x77, 0x01, 'v', 1, 0x77, 0x01});  // 750 / 2 for 1000 mm/min
  const std::string select_horizontal = Bytes({'s', 0x04, 0, 0, 0, 0, 'p', 1});
  const std::string expected = select_horizontal + Bytes({'p', 1}) + speeds +
                               // the heater off before switching on: lower power, wait, off, wait
                               Bytes({'p', 1, 't', 1, 26, 'p', 1}) + Second() + Bytes({'r', 0, 1}) + Second() +
                               select_horizontal + Bytes({'t', 1, 102, 'r', 1, 1}) +
                               Bytes({'p', 1, 'f', 1, 'p', 0xFA, 'p', 0x32});
  EXPECT_EQ(writer_.bytes(), expected);
  EXPECT_EQ(writer_.heater_channel(), 1);
}

TEST_F(Writer, MovesKeepThePositionAndSkipZeroMoves) {
  Started();
  EXPECT_EQ(writer_.MoveTo(10, 10, 0, 0, 0),
            Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0xE8, 0x03, 0, 0, 'a', 0x04, 0xE8, 0x03, 0, 0, 'a', 0xFE, 0xD0,
                   0x07, 0, 0}));
  EXPECT_EQ(writer_.position()[0], 1000);
  EXPECT_EQ(writer_.position()[4], 1000);
  EXPECT_TRUE(writer_.MoveTo(10, 10, 0, 0, 0).empty()) << "the wire is already there";
  EXPECT_TRUE(writer_.MoveTo(10.004, 10.004, 0, 0, 0).empty()) << "less than a step";
}

TEST_F(Writer, TheTenMillimetreX1MoveAndTheBeltOnlyMove) {
  Started();
  EXPECT_EQ(writer_.MoveTo(10, 0, 0, 0, 0),
            Bytes({'a', 0xFF, 0, 0, 0, 0, 'a', 0x00, 0xE8, 0x03, 0, 0, 'a', 0xFE, 0xD0, 0x07, 0, 0}));
  // 0.05 mm of Z is 5 steps on each of the three belt axes; turning from X to Z is a corner.
  EXPECT_EQ(writer_.MoveTo(10, 0, 0, 0, 0.05), Bytes({'p', 0x64, 'p', 0xFA, 'p', 0xFA, 'a', 0xFF, 0, 0, 0, 0, 'a', 0x02, 5, 0, 0, 0, 'a', 0x06, 5, 0, 0,
                                                      0, 'a', 0x03, 5, 0, 0, 0, 'a', 0xFE, 10, 0, 0, 0}));
  EXPECT_EQ(writer_.position()[2], 5);
}

TEST_F(Writer, CornerPausesFollowTheTurn) {
  Started();
  const std::string straight = writer_.MoveTo(10, 10, 0, 0, 0);
  EXPECT_EQ(writer_.MoveTo(20, 20, 0, 0, 0).substr(0, 1), "a") << "straight on: no pause";
  // A right angle: "p" 100 first, then two quarter seconds, then the move.
  const std::string corner = writer_.MoveTo(20, 20, 10, 10, 0);
  EXPECT_EQ(corner.substr(0, 6), Bytes({'p', 0x64, 'p', 0xFA, 'p', 0xFA}));
  EXPECT_EQ(corner.substr(6), straight.substr(0, 6) + Bytes({'a', 0x01, 0xE8, 0x03, 0, 0, 'a', 0x05, 0xE8, 0x03, 0,
                                                               0, 'a', 0xFE, 0xD0, 0x07, 0, 0}));
  // Going back the way it came is the sharpest turn there is.
  EXPECT_EQ(writer_.MoveTo(20, 20, 0, 0, 0).substr(0, 2), Bytes({'p', 0x64}));
  // From straight down to 20 degrees above the x axis: a turn of 110 degrees.
  EXPECT_EQ(writer_.MoveTo(30, 30, 3.64, 3.64, 0).substr(0, 1), "p");
  EXPECT_EQ(writer_.MoveTo(40, 40, 7.28, 7.28, 0).substr(0, 1), "a");
  // A turn of 20 degrees stays below the corner threshold of about 29.5 degrees.
  EXPECT_EQ(writer_.MoveTo(50, 50, 7.28, 7.28, 0).substr(0, 1), "a");
}

TEST_F(Writer, ArmsMoveInScaledProjectUnits) {
  config_.SetNumber(Param::skala, 50);
  Started();
  writer_.SetArmPositions(400, 800, 0);  // 10 mm, 20 mm
  EXPECT_EQ(writer_.position()[0], 1000);
  EXPECT_EQ(writer_.position()[5], 2000);
  writer_.MoveArmsTo(1200, 800);  // at half scale 600 units: 15 mm
  EXPECT_EQ(writer_.position()[0], 1500);
  EXPECT_EQ(writer_.position()[4], 1500);
  EXPECT_EQ(writer_.position()[1], 1000);
}

// The conveyor blocks on a Qe (step multiplier 4, conveyor factor 2, vertical-wire power factor 1) whose third
// axis has 2 steps per hundredth of a millimetre, with every value they use set.
class ConveyorBlocks : public Writer {
 protected:
  ConveyorBlocks() {
    machine_.model_code = "Qe";
    machine_.profile = ProfileOf("Qe");
    machine_.vertical_power_factor = 1.0;
    machine_.StepScaleZ = 2.0;
    config_.SetNumber(Param::Pauza_w_kacie, 100);
    config_.SetNumber(Param::PrzeSpeed, 750);            // period 1000, 250 in the record
    config_.SetNumber(Param::szybkoscObrobki, 500);      // period 1500, 375 in the record
    config_.SetNumber(Param::Tasma_SzybkoscPrzes, 250);  // 500 mm/min with the factor: period 1500, 375
    config_.SetNumber(Param::work_power, 40);            // 102 of 255
    config_.SetNumber(Param::VerticalWire_power, 40);    // 102 of 255, times 1
    config_.SetNumber(Param::CzasRozgrzewania, 300);
    config_.SetNumber(Param::TasmaPrzesuwPocz, 100);     // 100 mm of Z: 20000 steps
    config_.SetNumber(Param::fePauzaTechn, 0.5);
    config_.SetNumber(Param::feuWysokoscMat, 80);
    config_.SetChecked(Param::Heavy, true);
  }

  // The heater of a channel switched off: lower power, wait, off, wait.
  static std::string HeaterOff(int channel) {
    return Bytes({'p', 1, 't', channel, 26}) + Bytes({'p', 1}) + Second() + Bytes({'r', 0, channel}) + Second();
  }
  static std::string VerticalWireOn() {
    return Bytes({'s', 4, 5, 0, 0, 0}) +  // heater selection: vertical wire
           Bytes({'p', 1}) +              //
           Bytes({'t', 3, 102}) +         // channel 3 at 102
           Bytes({'r', 1, 3});            // channel 3 on
  }
  // The belts' move of 100 mm of Z against the feed, nothing else moving.
  static std::string BeltsAdvance() {
    return Bytes({'a', 0xFF, 0, 0, 0, 0}) +             // move
           Bytes({'a', 0x02, 0xE0, 0xB1, 0xFF, 0xFF}) + //   belt axis 2: -20000
           Bytes({'a', 0x06, 0xE0, 0xB1, 0xFF, 0xFF}) + //   belt axis 6: -20000
           Bytes({'a', 0x03, 0xE0, 0xB1, 0xFF, 0xFF}) + //   belt axis 3: -20000
           Bytes({'a', 0xFE, 0x80, 0x38, 0x01, 0x00});  //   count 20000 x 4
  }
};

TEST_F(ConveyorBlocks, StartBlockByteForByte) {
  writer_.OpenProgram(folder_.PathOf("out.cn"));
  writer_.ConveyorStart();
  const std::string expected =
      Bytes({'v', 3, 0x77, 0x01}) +                // conveyor speed group: period 375
      HeaterOff(0) +                               // no heater chosen yet: channel 0 goes off first
      VerticalWireOn() +                           //
      Bytes({'p', 1}) +                            //
      Bytes({'f', 3}) +                            // moves at the conveyor speed
      Bytes({'p', 250, 'p', 50}) +                 // warm-up of 300 ms
      Bytes({'p', 1}) +                            //
      Bytes({'s', 2, 1, 0, 0, 0}) +                // heavy material
      BeltsAdvance() +                             // the arms stay at 0
      HeaterOff(3) +                               // the vertical wire off
      Bytes({'p', 250, 'p', 250});                 // technological pause of 0.5 s
  EXPECT_EQ(writer_.bytes(), expected);
}

TEST_F(ConveyorBlocks, FeedBlockByteForByte) {
  Started();
  writer_.SetArmPositions(400, 800, 0);  // the cut ended where it began: X 10 mm, Y 20 mm
  writer_.ConveyorFeed(2000);            // a project 50 mm high
  const std::string horizontal_wire_on =
      Bytes({'s', 4, 0, 0, 0, 0}) +  // heater selection: horizontal wire
      Bytes({'p', 1}) +              //
      Bytes({'t', 1, 102}) +         // channel 1 at 102
      Bytes({'r', 1, 1});            // channel 1 on
  const std::string expected =
      Bytes({'p', 1}) +                            //
      Bytes({'v', 0, 0xFA, 0x00}) +                // travel speed: period 250
      Bytes({'v', 1, 0x77, 0x01}) +                // cutting speed: period 375
      HeaterOff(1) + horizontal_wire_on +          // the horizontal wire on again
      Bytes({'p', 1}) +                            //
      Bytes({'f', 0}) +                            // moves at the travel speed
      Bytes({'p', 250, 'p', 50}) +                 // warm-up of 300 ms
      Bytes({'a', 0xFF, 0, 0, 0, 0}) +             // the wires rise to the material's 80 mm, above the project
      Bytes({'a', 0x01, 0x70, 0x17, 0, 0}) +       //   Y1: +6000
      Bytes({'a', 0x05, 0x70, 0x17, 0, 0}) +       //   Y2: +6000
      Bytes({'a', 0xFE, 0xC0, 0x5D, 0, 0}) +       //   count 6000 x 4
      Bytes({'p', 1}) +                            //
      Bytes({'v', 3, 0x77, 0x01}) +                // conveyor speed: period 375
      HeaterOff(1) +                               // the horizontal wire off
      VerticalWireOn() +                           //
      Bytes({'p', 1}) +                            //
      Bytes({'f', 3}) +                            // moves at the conveyor speed
      Bytes({'p', 1}) +                            //
      Bytes({'s', 2, 1, 0, 0, 0}) +                // heavy material
      Bytes({'p', 100}) +                          // corner: from rising to the belt's travel
      BeltsAdvance() +                             // the wires stay up
      Bytes({'p', 1}) +                            //
      Bytes({'p', 250, 'p', 250}) +                // technological pause of 0.5 s
      Bytes({'p', 1}) +                            //
      Bytes({'v', 0, 0xFA, 0x00}) +                // travel speed
      Bytes({'v', 1, 0x77, 0x01}) +                // cutting speed
      HeaterOff(3) + horizontal_wire_on +          // the vertical wire off, the horizontal one on
      Bytes({'p', 1}) +                            //
      Bytes({'f', 0}) +                            // moves at the travel speed
      Bytes({'p', 100}) +                          // corner: from the belt's travel to going down
      Bytes({'a', 0xFF, 0, 0, 0, 0}) +             // the wires return to their start height
      Bytes({'a', 0x01, 0x90, 0xE8, 0xFF, 0xFF}) + //   Y1: -6000
      Bytes({'a', 0x05, 0x90, 0xE8, 0xFF, 0xFF}) + //   Y2: -6000
      Bytes({'a', 0xFE, 0xC0, 0x5D, 0, 0}) +       //   count 6000 x 4
      Bytes({'p', 1});                             //
  EXPECT_EQ(Body(), expected);
}

TEST_F(Writer, HeaterOfTheVerticalWireOnAQoController) {
  machine_.model_code = "Qo";
  ProgramWriter writer(machine_, config_);
  writer.WriteHeaterOn(kVerticalWireOutput, kVerticalWireChannel, 200);
  // No lowering of the power on channel 3 and no switching on: the controller holds it on.
  writer.WriteHeaterOff();
  const std::string off = Bytes({'p', 1}) + Second() + Bytes({'r', 0, 3}) + Second();
  EXPECT_EQ(writer.bytes().substr(writer.bytes().size() - off.size()), off);
  EXPECT_NE(writer.bytes().find(Bytes({'s', 4, 5, 0, 0, 0, 'p', 1, 't', 3, 0})), std::string::npos);

  machine_.model_code = "Qa";
  machine_.vertical_power_factor = 0.5;
  ProgramWriter other(machine_, config_);
  other.WriteHeaterOn(kVerticalWireOutput, kVerticalWireChannel, 200);
  EXPECT_EQ(other.bytes().substr(other.bytes().size() - 6), Bytes({'t', 3, 100, 'r', 1, 3}));
}

TEST_F(Writer, TargetsBeyondTheStepRangeAreRefused) {
  machine_.StepScaleX = 1e4;
  ProgramWriter writer(machine_, config_);
  writer.WriteHeader();
  try {
    writer.MoveTo(4800, 4800, 0, 0, 0);
    FAIL() << "a wrapped position was written";
  } catch (const RunTimeError& error) {
    EXPECT_NE(std::string(error.what()).find("X1 = 4800.00 mm"), std::string::npos) << error.what();
  }
  EXPECT_EQ(writer.position()[0], 0);
  EXPECT_NO_THROW(writer.MoveTo(100, 100, 0, 0, 0)) << "within the range the same machine moves";
}

TEST_F(Writer, CloseWritesTheWholeProgramOrNothing) {
  const std::string path = folder_.Write("out.cn", "old program");
  Started();
  writer_.MoveArmsTo(400, 0);
  {
    ScopedWriteFault full_disk({WriteStep::kWrite, 10, ENOSPC});
    EXPECT_THROW(writer_.CloseProgram(), RunTimeError);
  }
  std::ifstream kept(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "old program");

  writer_.CloseProgram();
  std::ifstream written(path, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(written), {});
  EXPECT_EQ(bytes, writer_.bytes());
  const DecodedProgram decoded = DecodeProgram(bytes, ControllerState{});
  EXPECT_FALSE(decoded.damage_offset) << decoded.damage;
  EXPECT_EQ(decoded.summary.moves, 1u);
}

}  // namespace
}  // namespace varnholt
