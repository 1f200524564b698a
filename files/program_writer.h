#pragma once
// The machine program writer: keeps the machine position while a cutting program is written, turns targets in
// millimetres into move records, places corner pauses, and writes the opening, closing and conveyor sequences.
// The program is built in memory and written to its file as a whole by CloseProgram, so a failed save never leaves
// a half-written program behind for the transmission.

#include <array>
#include <cstdint>
#include <string>

#include "config/parameters.h"
#include "link/controller_state.h"

namespace varnholt {

class ProgramWriter {
 public:
  // machine gives the calibration, the profile, the model and the axis positions the program starts from.
  ProgramWriter(const ControllerState& machine, const Configuration& config);

  // Starts a program for file_name (written by CloseProgram) and takes the controller's positions.
  void OpenProgram(const std::string& file_name);
  // The opening sequence: heater selection, travel and cutting speeds, the horizontal wire on, its warm-up.
  void WriteHeader();
  // The record of a move of both arms and the belts to absolute targets in millimetres, with a corner pause in
  // front when the path turns by about 29.5 degrees or more; empty when the target is the position. Updates the
  // position and the move history. Throws RunTimeError when a target or the move leaves the step range.
  std::string MoveTo(double x1, double x2, double y1, double y2, double z);
  // Waits ms milliseconds: "p" 250 while more than 250 remain, then "p" with the rest.
  void WritePause(int64_t ms);
  void SelectHeater(int32_t value);
  void WriteHeaterOff();
  void WriteHeaterOn(int32_t selection, uint8_t channel, double power);
  // Moves both arms to (x, y) in plotter units relative to the project corner, scaled by skala.
  void MoveArmsTo(int32_t x, int32_t y);
  // Takes (x, y) in plotter units as the arms' position (no move is written); value becomes Z2 and Z3.
  void SetArmPositions(int32_t x, int32_t y, int32_t value);
  // The conveyor block before the first cut of an automatic repetition.
  void ConveyorStart();
  // The conveyor block after a cut of an automatic repetition; project_height in plotter units.
  void ConveyorFeed(int32_t project_height);
  // The closing sequence; the program stays in memory (bytes()).
  void FinishProgram();
  // The closing sequence; then the program replaces the file. Throws RunTimeError when the file cannot be written.
  void CloseProgram();

  // The program written so far.
  const std::string& bytes() const { return program_; }
  const AxisSteps& position() const { return pos_; }
  uint8_t heater_channel() const { return heater_channel_; }

 private:
  void Put(std::initializer_list<uint8_t> bytes);
  void ShortPause() { Put({'p', 0x01}); }
  void WriteSpeed(uint8_t group, double speed);
  void WriteWorkSpeeds();
  // Speeds, the horizontal wire on at the working power, then the speed group selected.
  void WriteHorizontalWire(uint8_t speed_group);
  // The pause that lets a wire just switched on reach its temperature.
  void WriteWarmUp();
  void WriteCornerPause(int64_t ms);
  double PositionMm(size_t axis, double scale) const;
  int32_t StepsOf(double mm, double scale, const char* axis) const;
  double CornerCosine() const;

  const ControllerState& machine_;
  const Configuration& config_;
  std::string file_name_;
  std::string program_;
  uint8_t heater_channel_ = 0;
  AxisSteps pos_{};
  std::array<AxisSteps, 3> history_{};  // oldest, previous, newest
};

}  // namespace varnholt
