#pragma once
// The machine's lamps in the main window's status bar: controller, homed, homing (with the positions it
// passes), program running or paused, each wire hot, wire broken, buffer full. Each lamp is a label named
// Lamp<role> with the property "lit" and a colour of its own; the texts come from the language files.

#include <QWidget>
#include <map>
#include <string>

#include "control/machine_lamps.h"

class QLabel;

namespace varnholt {

class tInterfejs;

class StateLamps final : public QWidget {
 public:
  // The texts must outlive the lamps.
  explicit StateLamps(const tInterfejs& texts, QWidget* parent = nullptr);

  // Shows the state; the positions in the display unit.
  void Show(const MachineLamps& lamps, int unit);
  const MachineLamps& shown() const { return shown_; }

 private:
  // One lamp: lit in colour or dark, with its text.
  void Set(const char* role, bool lit, const char* colour, const QString& text);
  QString Text(const char* key) const;

  const tInterfejs& texts_;
  std::map<std::string, QLabel*> lamps_;
  MachineLamps shown_;
};

}  // namespace varnholt
