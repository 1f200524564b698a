#include "app/machine_session.h"

namespace varnholt {

MachineSession::MachineSession(HidBackend& backend, const tInterfejs& texts, const Configuration& config,
                               MainWindowPort& main_window, JoystickPort& joystick, const SessionOptions& options)
    : usb(backend, texts),
      link{usb, state, config, texts},
      transmission(link, flags, options.program_folder),
      panel(link, flags, main_window, joystick),
      run(link, flags, transmission, panel, main_window, CutRunSetup{options.program_folder, options.test_mode}) {
  link.separate_third_axes = options.separate_third_axes;
  panel.FormCreate();
}

}  // namespace varnholt
