#pragma once
// The values of the About window: the dealer's rules for its layout, the machine's identification and
// counters, and the program's date.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/controller_state.h"

namespace varnholt {

struct MachineLink;

// The dealer code of the dealer whose own web address the About window shows.
inline constexpr std::string_view kDealerOrvelt = "ORVELT";

// Heights of the About window in pixels: without and with a dealer picture.
inline constexpr int kAboutHeight = 215;
inline constexpr int kAboutHeightWithPicture = 283;
// Pixels the machine rows below the producer move up when the producer line is hidden.
inline constexpr int kProducerRowShift = 10;

struct WebAddresses {
  std::string maker;
  std::string dealer;
};

// The addresses this build was configured with (CMake cache values VARNHOLT_MAKER_WEB_ADDRESS and
// VARNHOLT_DEALER_WEB_ADDRESS).
WebAddresses ConfiguredWebAddresses();

// How the About window is laid out for a dealer.
struct AboutLayout {
  // The web link's text, also the dealer picture's hint: the maker's address without a dealer code or with
  // the maker's own, the dealer's address for ORVELT, empty for any other dealer.
  std::string link;
  bool link_visible = false;
  // The producer line is shown only without a dealer code or with the maker's own.
  bool producer_visible = true;
  int rows_shift_up = 0;
  // The dealer picture: program folder + dealer code + ".bmp" when that file exists; empty otherwise.
  std::string picture_file;
  int height = kAboutHeight;
};

// The layout for a dealer code. A code without a dealer, or one holding a path separator, has no picture.
AboutLayout AboutLayoutFor(std::string_view dealer_code, const std::string& program_folder,
                           const WebAddresses& addresses);

// The five machine values of the About window.
struct MachineTexts {
  std::string prod;
  std::string model;
  std::string obszar;
  std::string przebieg;
  std::string ilpl;

  friend bool operator==(const MachineTexts&, const MachineTexts&) = default;
};

// The values of an identified controller: manufacturer, product, working area in the display unit, work time
// and the count of cut files. hours_text is "About"/"godz".
MachineTexts MachineTextsOf(const ControllerState& state, int unit, std::string_view hours_text);
// Every value is no_data ("About"/"brakDanych").
MachineTexts NoMachineTexts(std::string_view no_data);

// The X and Y extents (whole millimetres) in the display unit with one decimal: "2000.0x1200.0 mm".
std::string WorkingAreaText(int32_t x_mm, int32_t y_mm, int unit);
// Minutes as hours, the hours text, the rest and " min." with no other separators: "2 godz. 5 min.".
std::string WorkTimeText(int32_t minutes, std::string_view hours_text);

// Reads the controller's status and, when it is present, its identification (through the link, into its
// state), and returns the values the About window shows; "brakDanych" in every value when the controller is
// absent or stops answering.
MachineTexts ReadMachineTexts(MachineLink& link);

// The date of the program file, year-month-day; unknown_text when the file cannot be read.
std::string ProgramFileDate(const std::string& path, std::string_view unknown_text);
// The running program's own file.
std::string RunningProgramFile();

}  // namespace varnholt
