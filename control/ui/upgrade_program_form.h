#pragma once
// The firmware upgrade dialog: the controller's and the image's versions, the upgrade button, the three steps with
// their progress, and the hidden service panel (Ctrl+Alt+Shift+F12) with each step alone.

#include <string>

#include <QDialog>

#include "control/firmware_upgrade.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace varnholt {

class tInterfejs;

class TUpgradeProgramForm : public QDialog {
 public:
  // The link (with its texts) must outlive the dialog; images are looked for in the program folders.
  TUpgradeProgramForm(MachineLink& link, const ProgramFolders& folders, QWidget* parent = nullptr);

  FirmwareUpgrade& upgrade() { return upgrade_; }
  // Shows or hides the service panel, as Ctrl+Alt+Shift+F12 does.
  void ToggleServicePanel();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ButtonUpgradeClick();
  // The service panel's recovery: the upgrade for a controller whose version the button refuses.
  void RecoverClick();
  // The service panel's choice of another image file (a backup read from a controller, an image from the dealer).
  void ChooseImageClick();
  // Shows the upgrade's view in the controls.
  void Render();

  const tInterfejs& texts_;
  FirmwareUpgrade upgrade_;
  QLabel* device_version_ = nullptr;
  QLabel* image_version_ = nullptr;
  QLineEdit* image_path_ = nullptr;
  QPushButton* button_upgrade_ = nullptr;
  QListWidget* steps_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* gauge_ = nullptr;
  QLabel* verify_ = nullptr;
  QGroupBox* service_ = nullptr;
};

}  // namespace varnholt
