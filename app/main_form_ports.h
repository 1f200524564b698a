#pragma once
// What the main window's buttons and menu items hand on to the parts built beside it: the cutting run, and
// the windows that open from the menu. The main window holds one of each once the program wires them; until
// then those items do nothing and closing is always allowed.

#include <string>

namespace varnholt {

class TMDIChild;

// What the main window shows of the automatic repetition, as the cutting run decides it.
struct AutoRepeatButtons {
  bool on = false;                           // SpeedAutoRepeat down
  std::string hint;                          // of SpeedAutoRepeat
  bool positioning_buttons_enabled = false;  // SpeedPrzesunDoRamion and SpeedWysunPoCieciu
};

// The cutting run's operations as the main window triggers them.
class CuttingRunPort {
 public:
  virtual ~CuttingRunPort() = default;
  virtual void Start() = 0;            // Start1 (F2), SpeedStart
  virtual void Stop() = 0;             // Wstrzymaj1 (Space), SpeedStop
  virtual void Continue() = 0;         // Kontynuacja1 (Shift+F2), Skont
  virtual void Resume() = 0;           // Wznow1: the last cut, interrupted, goes on from where the wire stands
  virtual void MoveToArms() = 0;       // SpeedPrzesunDoRamion
  virtual void MoveOutAfterCut() = 0;  // SpeedWysunPoCieciu
  // SpeedAutoRepeat was pressed down (true) or up (false); what the window shows now.
  virtual AutoRepeatButtons AutoRepeatChanged(bool on) = 0;
  // The close query: true when the program may close now (no transmission runs, or the machine was stopped and the
  // transmission has been ended); otherwise the operator has been told why not.
  virtual bool CloseQuery() = 0;
};

// The windows the menu opens that live beside the main window.
class MenuWindowsPort {
 public:
  virtual ~MenuWindowsPort() = default;
  virtual void ShowDuplication(TMDIChild& project) = 0;  // miDuplikujPlt (F4)
  virtual void ShowInformation(TMDIChild& project) = 0;  // info; a right click or double click on a project
  virtual void ShowAbout() = 0;                          // About1
  virtual void ShowControlPanel() = 0;                   // sterowanie (F5), SpeedSterowanie
};

}  // namespace varnholt
