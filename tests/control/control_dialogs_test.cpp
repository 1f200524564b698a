// The move-wire and firmware upgrade dialogs driven like a person would, offscreen, against the simulated controller.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "config/display_unit.h"
#include "control/ui/control_dialog_screenshots.h"
#include "control/ui/move_wire_dialog.h"
#include "control/ui/upgrade_program_form.h"
#include "control_test_support.h"
#include "support/firmware_test_image.h"
#include "support/temp_folder.h"
#include "support/window_support.h"

namespace varnholt {
namespace {

using testing::Child;

class MoveWireDialog : public ControlTest {};

TEST_F(MoveWireDialog, ShowsItsTextsUnitsAndTheThirdAxisOfTheConfiguration) {
  config_.SetCurrentUnit(kUnitInch);
  Tprzesun dialog(link());
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Move wire");
  EXPECT_EQ(Child<QGroupBox>(dialog, "przesun").title(), "&Move");
  EXPECT_EQ(Child<QRadioButton>(dialog, "przesunItem0").text(), "to &machine coordinates");
  EXPECT_TRUE(Child<QRadioButton>(dialog, "przesunItem1").isChecked());
  EXPECT_EQ(Child<QPushButton>(dialog, "wykonaj").text(), "E&xecute");
  EXPECT_EQ(Child<QPushButton>(dialog, "TestGrzalki").text(), "&Heater test");
  EXPECT_EQ(Child<QLabel>(dialog, "lX").text(), "&X=");
  int unit_labels = 0;
  for (QLabel* label : dialog.findChildren<QLabel*>()) unit_labels += label->text() == "[in]" ? 1 : 0;
  EXPECT_EQ(unit_labels, 3);
  EXPECT_EQ(Child<QLabel>(dialog, "lZ").text(), "&S=");  // a spindle
  EXPECT_EQ(Child<QDoubleSpinBox>(dialog, "delta_z").toolTip(), "Spindle");
  dialog.hide();
  config_.SetChoice(Param::StolikSwitch, 2);
  dialog.show();
  EXPECT_EQ(Child<QLabel>(dialog, "lZ").text(), "&Z=");
  EXPECT_EQ(Child<QDoubleSpinBox>(dialog, "delta_z").toolTip(), "");
}

TEST_F(MoveWireDialog, EnterMovesAndTheValuesStayForTheNextShowing) {
  Tprzesun dialog(link());
  dialog.show();
  QTest::mouseClick(&Child<QRadioButton>(dialog, "przesunItem0"), Qt::LeftButton);
  QDoubleSpinBox& x = Child<QDoubleSpinBox>(dialog, "delta_x");
  x.selectAll();
  QTest::keyClicks(&x, "100");
  Child<QDoubleSpinBox>(dialog, "delta_y").setValue(200.0);
  QTest::keyClick(&x, Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  WaitIdle(link());
  ReadPositions(link());
  EXPECT_EQ(state_.X1, 10000);
  EXPECT_EQ(state_.Y2, 20000);

  dialog.show();
  EXPECT_EQ(x.value(), 100.0);
  EXPECT_TRUE(Child<QRadioButton>(dialog, "przesunItem0").isChecked());
  sim_.ClearLog();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(CommandsOf('A'), 0u);
}

TEST_F(MoveWireDialog, TheMotionTestShowsTheLinkCountsOnTheExecuteButton) {
  Tprzesun dialog(link());
  dialog.show();
  Child<QDoubleSpinBox>(dialog, "delta_x").setValue(5.0);
  QPushButton& wykonaj = Child<QPushButton>(dialog, "wykonaj");
  std::vector<QString> captions;
  bool buttons_enabled = true;
  rounds_.OnRepaint([&](int) {
    captions.push_back(wykonaj.text());
    buttons_enabled = buttons_enabled && Child<QPushButton>(dialog, "test").isEnabled();
  });
  rounds_.PressAfter(2, PendingInput::kKeyPress);
  QTest::mouseClick(&Child<QPushButton>(dialog, "test"), Qt::LeftButton);
  EXPECT_EQ(captions, (std::vector<QString>{"0/0", "0/0"}));
  EXPECT_FALSE(buttons_enabled);  // nothing else starts while the loop runs
  EXPECT_EQ(wykonaj.text(), "E&xecute");
  EXPECT_TRUE(wykonaj.isEnabled());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(CommandsOf('A', 0), 4u);
}

class UpgradeDialog : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    folder_.MakeFolder("ROM/Qe");
    folder_.Write("ROM/Qe/Ondrel.rom", testing::TestFirmwareImageBytes(1, 13));
    dialog_ = std::make_unique<TUpgradeProgramForm>(link(), OneProgramFolder(folder_.folder()));
  }
  QPushButton& Button(const char* name) { return Child<QPushButton>(*dialog_, name); }
  QString Text(const char* name) { return Child<QLabel>(*dialog_, name).text(); }

  testing::TempFolder folder_;
  std::unique_ptr<TUpgradeProgramForm> dialog_;
};

TEST_F(UpgradeDialog, ShowsBothVersionsAndUpgradesWithOneButton) {
  dialog_->show();
  EXPECT_EQ(dialog_->windowTitle(), "Upgrade firmware");
  EXPECT_EQ(Text("lActualDeviceVer"), "Current controller firmware version");
  EXPECT_EQ(Text("ActualDeviceVer"), "1.12");
  EXPECT_EQ(Text("NewVerFromFile"), "1.13");
  EXPECT_EQ(Child<QLabel>(*dialog_, "NewVerFromFile").toolTip().toStdString(), folder_.PathOf("ROM/Qe/Ondrel.rom"));
  EXPECT_EQ(Button("ButtonUpgrade").text(), "&Start upgrade");
  EXPECT_TRUE(Button("ButtonUpgrade").isEnabled());
  EXPECT_FALSE(Child<QGroupBox>(*dialog_, "pSerwisowy").isVisible());
  QListWidget& steps = Child<QListWidget>(*dialog_, "clbOperacja");
  ASSERT_EQ(steps.count(), 3);
  EXPECT_EQ(steps.item(1)->text(), "Writing");

  // While writing, the window shows the step and its progress and offers nothing else.
  QString status_while_writing;
  bool offered_while_busy = false;
  rounds_.OnRepaint([&](int) {
    if (!steps.item(1)->checkState() || steps.item(2)->checkState()) return;
    if (status_while_writing.isEmpty()) status_while_writing = Text("pStatus");
    offered_while_busy = offered_while_busy || Button("ButtonUpgrade").isEnabled() || Button("Reset").isEnabled();
  });
  QTest::mouseClick(&Button("ButtonUpgrade"), Qt::LeftButton);
  EXPECT_EQ(status_while_writing, "Upgrade in progress:  writing");
  EXPECT_FALSE(offered_while_busy);
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog_->isVisible());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text.rfind("The upgrade finished successfully.\n\n", 0), 0u);
  EXPECT_EQ(sim_.firmware_word(sim::kFirmwareMinorAddress), 13);
}

TEST_F(UpgradeDialog, AFailedVerificationLeavesTheDialogOpenWithTheButtonEnabled) {
  sim_.CorruptFirmwareWord(1234, 0xBEEF);
  dialog_->show();
  QTest::mouseClick(&Button("ButtonUpgrade"), Qt::LeftButton);
  EXPECT_TRUE(dialog_->isVisible());
  EXPECT_EQ(Text("pVerify"), "Verification found differences");
  EXPECT_EQ(Text("pStatus"), "");
  EXPECT_TRUE(Button("ButtonUpgrade").isEnabled());
  EXPECT_EQ(Child<QListWidget>(*dialog_, "clbOperacja").item(2)->checkState(), Qt::Checked);
  EXPECT_EQ(Child<QProgressBar>(*dialog_, "Gauge").value(), 2);  // word 1234 of 65537
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text.rfind("The controller's program is incomplete. Repeat the upgrade", 0), 0u);
}

TEST_F(UpgradeDialog, TheHiddenServicePanelRunsSingleSteps) {
  dialog_->show();
  dialog_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  QTest::keyClick(dialog_.get(), Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_TRUE(Child<QGroupBox>(*dialog_, "pSerwisowy").isVisible());
  EXPECT_EQ(Button("WrtieProgram").text(), "Write program")
      << "the service panel shows captions, not identifiers";
  sim_.SetFirmwareVersion(2, 5);
  QTest::mouseClick(&Button("GetVersion"), Qt::LeftButton);
  EXPECT_EQ(Text("ActualDeviceVer"), "2.5");
  QTest::mouseClick(&Button("EraseProgram"), Qt::LeftButton);
  EXPECT_EQ(Text("pVerify"), "Program memory erased");
  EXPECT_EQ(sim_.firmware_word(0), 0xFFFF);

  // Another image, picked by the operator, is shown with its path before anything is written; the recovery writes
  // it to a controller whose version the button refuses.
  const std::string picked = folder_.Write("dealer.rom", testing::TestFirmwareImageBytes(1, 14));
  testing::ScriptedFileChooser chooser;
  chooser.answers.push_back(FileChoice{QString::fromStdString(picked), 1});
  QTest::mouseClick(&Button("ChooseImage"), Qt::LeftButton);
  EXPECT_EQ(Text("NewVerFromFile"), "1.14");
  EXPECT_EQ(Child<QLineEdit>(*dialog_, "ImagePath").text().toStdString(), picked);
  sim_.SetFirmwareVersion(0, 0);
  QTest::mouseClick(&Button("GetVersion"), Qt::LeftButton);
  EXPECT_EQ(Button("RecoverProgram").text(), "Recover");
  QTest::mouseClick(&Button("RecoverProgram"), Qt::LeftButton);
  EXPECT_EQ(sim_.firmware_word(sim::kFirmwareMinorAddress), 14);
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  dialog_->show();
  dialog_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
  QTest::keyClick(dialog_.get(), Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_FALSE(Child<QGroupBox>(*dialog_, "pSerwisowy").isVisible());
}

TEST_F(UpgradeDialog, ScreenshotsShowEachDialogFilled) {
  std::vector<std::string> names;
  ShowControlDialogs(link(), OneProgramFolder(folder_.folder()), [&](QWidget& dialog, const std::string& name) {
    names.push_back(name);
    EXPECT_TRUE(dialog.isVisible()) << name;
    EXPECT_FALSE(dialog.grab().isNull()) << name;
    if (name == "move_wire") {
      EXPECT_EQ(Child<QDoubleSpinBox>(dialog, "delta_x").value(), 1200.0);
    } else if (name == "firmware_upgrade") {
      EXPECT_EQ(Child<QLabel>(dialog, "NewVerFromFile").text(), "1.13");
    } else {
      EXPECT_TRUE(Child<QGroupBox>(dialog, "pSerwisowy").isVisible());
    }
  });
  EXPECT_EQ(names, (std::vector<std::string>{"move_wire", "firmware_upgrade", "firmware_upgrade_service"}));
}

}  // namespace
}  // namespace varnholt
