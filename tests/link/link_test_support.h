#pragma once
// A link to a simulated controller on the virtual clock, with a scripted operator and the US texts.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/parameters.h"
#include "geometry/clock.h"
#include "link/controller_ops.h"
#include "link/sim/simulated_controller.h"
#include "link/tf_usb.h"
#include "services/interfejs.h"
#include "services/scripted_operator.h"
#include "support/boxes.h"

namespace varnholt {

inline const tInterfejs& UsTexts() {
  static const tInterfejs texts(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, 1, ""});
  return texts;
}

// The US text of a Control key.
inline std::string ControlText(const char* key) { return UsTexts().GetText("Control", key); }

// The lost-link boxes the operator was asked to show.
inline size_t LostLinkBoxes(const ScriptedOperator& op) {
  return testing::BoxesShowing(op.messages(), ControlText("ploterBrakLacznosci"));
}

class SimulatedLink : public ::testing::Test {
 protected:
  explicit SimulatedLink(const std::string& model = "Qa") : sim_(model) {}

  void SetUp() override { Connect(); }

  // Creates the link (and its Reset) and identifies the controller.
  void Connect(bool identify = true) {
    link_.reset();
    usb_.reset();
    usb_ = std::make_unique<TfUsb>(sim_, UsTexts());
    link_ = std::make_unique<MachineLink>(MachineLink{*usb_, state_, config_, UsTexts()});
    if (identify) Identify(*link_);
    sim_.ClearLog();
  }

  MachineLink& link() { return *link_; }

  VirtualClock clock_;
  ScopedClock installed_clock_{clock_};
  ScriptedOperator op_;
  ScopedOperator installed_operator_{op_};
  Configuration config_;
  ControllerState state_;
  sim::SimulatedController sim_;
  std::unique_ptr<TfUsb> usb_;
  std::unique_ptr<MachineLink> link_;
};

// Hex of command bytes, "41 ff 00 ..." style.
inline std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (!text.empty()) text += ' ';
    text += digits[b >> 4];
    text += digits[b & 15];
  }
  return text;
}

}  // namespace varnholt
