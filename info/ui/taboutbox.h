#pragma once
// The About window: the program's version and date and, when the controller is connected, the machine's
// identification and counters; the maker's or dealer's web link and picture.

#include <QDialog>
#include <array>
#include <string>

#include "info/about_info.h"

class QGroupBox;
class QLabel;

namespace varnholt {

class DocumentOpener;
struct MachineLink;

// What the About window is made with besides the link.
struct AboutSetup {
  std::string program_folder;  // where the dealer picture is looked for
  std::string dealer_code;
  std::string program_file = RunningProgramFile();  // whose date the window shows
  WebAddresses addresses = ConfiguredWebAddresses();
};

class TAboutBox final : public QDialog {
 public:
  // The link gives the controller, its state, the configuration's display unit and the texts.
  TAboutBox(MachineLink& link, AboutSetup setup, DocumentOpener& opener, QWidget* parent = nullptr);

  const AboutLayout& dealer_layout() const { return layout_; }

 protected:
  // Showing first recomputes the values, so the window takes their size.
  void setVisible(bool visible) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* NewLabel(QWidget* parent, const char* name);
  // Places a child at x, y of its parent, mirrored when the window reads right to left.
  void Place(QWidget& widget, int x, int y, int width, int height);
  void LayOut();
  // Reads the controller and fills the version, date and machine values.
  void Activate();

  MachineLink& link_;
  AboutSetup setup_;
  DocumentOpener& opener_;
  AboutLayout layout_;
  QLabel* labelprog_ = nullptr;
  QLabel* labelver_ = nullptr;
  QLabel* new_ver_ = nullptr;
  QLabel* ver_ = nullptr;
  QGroupBox* group_ = nullptr;
  // Producer, model, working area, work time, files cut: captions and values.
  std::array<QLabel*, 5> machine_captions_{};
  std::array<QLabel*, 5> machine_values_{};
  QLabel* www_ = nullptr;
  QLabel* dealer_ = nullptr;
};

// Shows the About window modally (the main window's About1 command).
void ShowAbout(MachineLink& link, const AboutSetup& setup, DocumentOpener& opener, QWidget* parent);

}  // namespace varnholt
