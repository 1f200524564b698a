#pragma once
// The main window: a multi-document area of project windows, the menu and the speed buttons as one action per
// role, the two-panel status bar, opening drawings, the configuration command and the close query.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "app/main_form_ports.h"
#include "app/main_form_rules.h"
#include "app/ui/machine_timers.h"
#include "control/main_window_port.h"
#include "project/text_drawing.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace varnholt {

class DocumentOpener;
class JoystickPort;
class MainFormMachine;
class MenuWindows;
class RecentFiles;
class StateLamps;
struct MachineLamps;
class ProjectDocument;
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

  // Start-up's next steps: the configuration dialog (reads the settings and the configuration), the base points,
  // then the machine: the program's link, transmission and control panel made with this window as their main
  // window, the buttons and the menu windows wired to them, and their timers started at pace.
  void CreateConfigurationDialog();
  void LoadBasePoints();
  void ConnectMachine(JoystickPort& joystick, MachineTimers::Pace pace = MachineTimers::Pace::kRealTime);
  TDlgkonfig& configuration_dialog() { return *config_dialog_; }
  // The machine's timers once connected (nullptr before): the control panel's window takes its focus source and
  // follows its status steps there.
  MachineTimers* machine_timers() const;
  MenuWindows* menu_windows() const { return own_menu_windows_.get(); }
  // The window's side of the machine session.
  MainFormMachine& machine() const { return *machine_; }

  // Where the cutting-run buttons and the windows of the menu go (ConnectMachine sets the program's own).
  void SetCuttingRun(CuttingRunPort* run) { cutting_run_ = run; }
  void SetMenuWindows(MenuWindowsPort* windows) { menu_windows_ = windows; }
  // The status step's decision on the machine buttons: SpeedStart, Skont and the two positioning buttons.
  void SetMachineButtons(const MainButtonStates& states);

  // The action of a role, by its component name ("Start1", "SpeedAutoRepeat", ...); nullptr for none.
  QAction* ActionNamed(const std::string& name) const;
  // The open project windows, oldest first, and the active one (nullptr for none).
  QList<TMDIChild*> Projects() const;
  TMDIChild* ActiveProject() const;

  // Opens a drawing in a new project window with the reader of the filter index (1 plot file, 2 DXF). nullptr
  // when the window closed again (the reason has been shown).
  TMDIChild* OpenDrawing(const std::string& path, int reader_kind);
  // Shows a project made by the program (a duplication) in a new project window with the caption.
  TMDIChild* ShowProject(std::unique_ptr<ProjectDocument> project, const std::string& caption);
  // Shows a text in a status panel (0 hints and transient messages, 1 the repetition counter).
  void SetStatusPanel(int panel, const QString& text);
  // The machine's state in the status bar's lamps.
  void ShowLamps(const MachineLamps& lamps);
  StateLamps& lamps() const { return *lamps_; }
  // Where the manual and the catalogue are handed to (the desktop's, until a test installs another).
  void SetDocumentOpener(DocumentOpener* opener) { opener_ = opener; }
  DocumentOpener& document_opener() { return *opener_; }
  // Every activation maximises the window; the screenshots and tests keep a size of their own.
  void SetMaximiseOnActivation(bool maximise) { maximise_on_activation_ = maximise; }

  // The enabled and visible states of the menu and buttons for the open projects.
  void UpdateMenuItems();

  // Handlers of the actions (the menu item and the speed button of a role share one).
  void FileOpenItemClick();
  // File, New text: the text dialog, then the text's outlines planned in a new project window.
  void FileNewTextItemClick();
  // File, Save drawing as: the active project's drawing written as a plot file, which the window then names.
  void FileSaveDrawingItemClick();
  void miPrzykladyClick();
  // Opens a drawing of the recent files' menu; one that is gone is said so and leaves the list.
  void OpenRecent(const std::string& path);
  RecentFiles& recent_files() const { return *recent_; }
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
  // Looks for the manual, the samples folder and the catalogue (and the dealer's own catalogue for its caption)
  // of the language and the dealer; UpdateMenuItems shows what was found. Run with the language and as the File
  // menu opens, not on every click.
  void FindShippedDocuments();
  // A new project window in the multi-document area, made active; the project's settings come from the program.
  TMDIChild* AddProjectWindow();
  // Opens a drawing chosen in the open dialog from folder; remember keeps its folder for the next time.
  void OpenFrom(const QString& folder, bool remember);
  // The drawings opened last, in the File menu.
  void RememberRecentFile(const QString& path);
  void FillRecentMenu();
  // Runs a cutting-run operation when the run is wired.
  void Run(void (CuttingRunPort::*operation)());
  // Runs a window of the menu for the active project when the windows are wired.
  void ShowFor(void (MenuWindowsPort::*open_window)(TMDIChild&));
  // The close query: true when the program may close now.
  bool TntFormCloseQuery();
  // Values that differ from the configuration file: saved, dropped or the closing cancelled, as the operator
  // answers. True when the program may close.
  bool KeepConfigurationAtExit();
  // The end of the program: the timers stopped, the settings record and the base points written, the devices
  // released.
  void FormDestroy();
  void ApplyFeedSign(int feed_sign);

  Program& program_;
  QMdiArea* mdi_ = nullptr;
  QLabel* panels_[2] = {nullptr, nullptr};
  // The hint of the control under the mouse, beside the lamps: the panels keep what the program said.
  QLabel* hint_ = nullptr;
  StateLamps* lamps_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QMenu* window_menu_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  std::unique_ptr<RecentFiles> recent_;
  // The documents FindShippedDocuments found (its file fields only).
  MenuFacts shipped_;
  // The project window opened last while the main window may still be inactive behind a dialog that just closed:
  // when the main window becomes active again it stays the active project (the multi-document area would bring
  // back the one that was active before the dialog).
  QPointer<QMdiSubWindow> keep_active_;
  QToolBar* speed_buttons_ = nullptr;
  std::unique_ptr<TDlgkonfig> config_dialog_;
  std::unique_ptr<MainFormMachine> machine_;
  std::unique_ptr<MenuWindows> own_menu_windows_;
  CuttingRunPort* cutting_run_ = nullptr;
  MenuWindowsPort* menu_windows_ = nullptr;
  std::unique_ptr<DocumentOpener> desktop_opener_;
  DocumentOpener* opener_ = nullptr;
  bool maximise_on_activation_ = true;
  // What the text dialog showed last, offered again the next time.
  TextSettings last_text_;
};

}  // namespace varnholt
