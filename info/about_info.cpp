#include "info/about_info.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "config/display_unit.h"
#include "geometry/decimal_text.h"
#include "link/controller_ops.h"
#include "services/interfejs.h"
#include "services/program_files.h"

namespace varnholt {

WebAddresses ConfiguredWebAddresses() {
  return {VARNHOLT_MAKER_WEB_ADDRESS, VARNHOLT_DEALER_WEB_ADDRESS};
}

AboutLayout AboutLayoutFor(std::string_view dealer_code, const std::string& program_folder,
                           const WebAddresses& addresses) {
  AboutLayout layout;
  const bool maker = dealer_code.empty() || dealer_code == kDealerQuellmar;
  if (maker) layout.link = addresses.maker;
  if (dealer_code == kDealerOrvelt) layout.link = addresses.dealer;
  layout.link_visible = !layout.link.empty();
  layout.producer_visible = maker;
  layout.rows_shift_up = maker ? 0 : kProducerRowShift;
  // The code comes from the command line: it names a picture in the program folder and nothing elsewhere.
  if (!dealer_code.empty() && dealer_code.find_first_of("/\\") == std::string_view::npos) {
    const std::string picture = program_folder + std::string(dealer_code) + ".bmp";
    std::error_code error;
    if (std::filesystem::is_regular_file(picture, error)) {
      layout.picture_file = picture;
      layout.height = kAboutHeightWithPicture;
    }
  }
  return layout;
}

std::string WorkingAreaText(int32_t x_mm, int32_t y_mm, int unit) {
  return DecimalText(FromMillimetres(x_mm, unit), 1) + "x" + DecimalText(FromMillimetres(y_mm, unit), 1) + " " +
         std::string(UnitName(unit));
}

std::string WorkTimeText(int32_t minutes, std::string_view hours_text) {
  return std::to_string(minutes / 60) + std::string(hours_text) + std::to_string(minutes % 60) + " min.";
}

MachineTexts MachineTextsOf(const ControllerState& state, int unit, std::string_view hours_text) {
  return {state.manufacturer, state.product, WorkingAreaText(state.x_range, state.y_range, unit),
          WorkTimeText(state.operating_minutes, hours_text), std::to_string(state.operating_counter)};
}

MachineTexts NoMachineTexts(std::string_view no_data) {
  const std::string text(no_data);
  return {text, text, text, text, text};
}

MachineTexts ReadMachineTexts(MachineLink& link) {
  const MachineTexts absent = NoMachineTexts(link.texts.GetText("About", "brakDanych"));
  if (!link.usb.QuellmarQvExist()) return absent;
  ReadStatus(link);
  if (!link.usb.present()) return absent;
  Identify(link);
  if (!link.usb.present()) return absent;
  return MachineTextsOf(link.state, link.config.CurrentUnit(), link.texts.GetText("About", "godz"));
}

std::string ProgramFileDate(const std::string& path, std::string_view unknown_text) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return std::string(unknown_text);
  const std::time_t seconds =
      std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::chrono::file_clock::to_sys(written)));
  std::tm local{};
  char text[32];
  if (localtime_r(&seconds, &local) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d", &local) == 0) {
    return std::string(unknown_text);
  }
  return text;
}

std::string RunningProgramFile() {
  std::error_code error;
  const std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : file.string();
}

}  // namespace varnholt
