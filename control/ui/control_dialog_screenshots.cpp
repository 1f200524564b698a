#include "control/ui/control_dialog_screenshots.h"

#include <QApplication>

#include "control/ui/move_wire_dialog.h"
#include "control/ui/upgrade_program_form.h"

namespace varnholt {

void ShowControlDialogs(MachineLink& link, const ProgramFolders& folders,
                        const std::function<void(QWidget& dialog, const std::string& name)>& save) {
  {
    Tprzesun move_wire(link);
    move_wire.SetValues(MoveWireValues{MoveWireKind::kToMachineCoordinates, 1200.0, 350.0, 0.0, true, true});
    move_wire.show();
    QApplication::processEvents();
    save(move_wire, "move_wire");
  }
  TUpgradeProgramForm upgrade(link, folders);
  upgrade.show();
  QApplication::processEvents();
  save(upgrade, "firmware_upgrade");
  upgrade.ToggleServicePanel();
  QApplication::processEvents();
  save(upgrade, "firmware_upgrade_service");
}

}  // namespace varnholt
