#pragma once
// The main window: a multi-document area of project windows, the menu and the speed buttons as one action per
// role, the two-panel status bar, opening drawings, the configuration command and the close query.

#include <QList>
#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/main_form_ports.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace varnholt {

class DocumentOpener;
class Program;
class TDlgkonfig;
class TMDIChild;

class TMainForm final : public QMainWindow {
 public:
  // Creation: the language applied, the status panels made, the menu state set. The language component must
  // exist.
  explicit TMainForm(Program& program, QWidget* parent = nullptr);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // Start-up's next steps: the configuration dialog (reads the settings and the configuration), then, once
  // the program made the link, the polling of device arrivals and removals.
  void CreateConfigurationDialog();
  void StartDevicePolling();
  TDlgkonfig& configuration_dialog() { return *config_dialog_; }

  // The later wiring: where the cutting-run buttons and the windows of the menu go.
  void SetCuttingRun(CuttingRunPort* run) { cutting_run_ = run; }
  void SetMenuWindows(MenuWindowsPort* windows) { menu_windows_ = windows; }

  // The action of a role, by its component name ("Start1", "SpeedAutoRepeat", ...); nullptr for none.
  QAction* ActionNamed(const std::string& name) const;
  // The open project windows, oldest first, and the active one (nullptr for none).
  QList<TMDIChild*> Projects() const;
  TMDIChild* ActiveProject() const;

  // Opens a drawing in a new project window with the reader of the filter index (1 plot file, 2 DXF). nullptr
  // when the window closed again (the reason has been shown).
  TMDIChild* OpenDrawing(const std::string& path, int reader_kind);
  // Shows a text in a status panel (0 hints and transient messages, 1 the repetition counter).
  void SetStatusPanel(int panel, const QString& text);
  QString StatusPanelText(int panel) const;
  // Where the manual and the catalogue are handed to (the desktop's, until a test installs another).
  void SetDocumentOpener(DocumentOpener* opener) { opener_ = opener; }
  // Every activation maximises the window; the screenshots and tests keep a size of their own.
  void SetMaximiseOnActivation(bool maximise) { maximise_on_activation_ = maximise; }

  // The enabled and visible states of the menu and buttons for the open projects.
  void UpdateMenuItems();

  // Handlers of the actions (the menu item and the speed button of a role share one).
  void FileOpenItemClick();
  void miPrzykladyClick();
  void FileCloseItemClick();
  void CloseAllClick();
  void KonfiguracjaClick();
  void SymulacjaClick();
  void SpeedAutoRepeatClick(bool down);
  void miInstrObslugiClick();
  void miKatalogClick();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateSpeedButtons();
  void CreateStatusBar();
  void ApplyLanguage();
  // Opens a drawing chosen in the open dialog from folder; remember keeps its folder for the next time.
  void OpenFrom(const QString& folder, bool remember);
  // Runs a cutting-run operation when the run is wired.
  void Run(void (CuttingRunPort::*operation)());
  // Runs a window of the menu for the active project when the windows are wired.
  void ShowFor(void (MenuWindowsPort::*open_window)(TMDIChild&));
  // The close query: true when the program may close now.
  bool TntFormCloseQuery();
  void ApplyFeedSign(int feed_sign);

  Program& program_;
  QMdiArea* mdi_ = nullptr;
  QLabel* panels_[2] = {nullptr, nullptr};
  std::map<std::string, QAction*> actions_;
  QMenu* window_menu_ = nullptr;
  QToolBar* speed_buttons_ = nullptr;
  std::unique_ptr<TDlgkonfig> config_dialog_;
  QTimer* device_poll_ = nullptr;
  CuttingRunPort* cutting_run_ = nullptr;
  MenuWindowsPort* menu_windows_ = nullptr;
  std::unique_ptr<DocumentOpener> desktop_opener_;
  DocumentOpener* opener_ = nullptr;
  bool maximise_on_activation_ = true;
};

}  // namespace varnholt
