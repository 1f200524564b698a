#include "app/ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/main_form_rules.h"
#include "app/program.h"
#include "app/recent_files.h"
#include "app/ui/main_form_machine.h"
#include "app/ui/menu_windows.h"
#include "app/ui/state_lamps.h"
#include "config/ui/dlgkonfig.h"
#include "project/ui/mdi_child.h"
#include "services/caption_text.h"
#include "services/operator.h"
#include "services/placeholder_text.h"
#include "services/program_files.h"
#include "services/program_version.h"
#include "ui/desktop_opener.h"
#include "ui/error_report.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Main_window";
// Status panel widths at the design size.
constexpr int kPanelWidths[2] = {550, 50};

// One role: its action, with the menu item and speed button that share it.
struct ActionSpec {
  const char* name;      // component name of the menu item, or of the speed button that has none
  const char* button;    // component name of its speed button; nullptr when it has none
  const char* shortcut;  // "" for none; "F3;Ctrl+O" for two
  const char* icon;      // resource name; nullptr for none
  const char* hint_key;  // "Main_window" key of its hint; nullptr for none
};

constexpr ActionSpec kActions[] = {
    {"FileOpenItem", "OpenBtn", "F3;Ctrl+O", "open", "OpenBtn.hint"},
    {"FileNewTextItem", nullptr, "F7", nullptr, nullptr},
    {"FileSaveDrawingItem", nullptr, "Ctrl+Shift+S", nullptr, nullptr},
    {"FileCloseItem", nullptr, "", nullptr, nullptr},
    {"miDuplikujPlt", nullptr, "F4", nullptr, nullptr},
    {"info", nullptr, "", nullptr, nullptr},
    {"Symulacja", "SpeedSymulacja", "F1", "simulation", "SpeedSymulacja.Caption"},
    {"About1", nullptr, "", nullptr, nullptr},
    {"miInstrObslugi", nullptr, "", nullptr, nullptr},
    {"miPrzyklady", nullptr, "", nullptr, nullptr},
    {"miKatalog", nullptr, "", nullptr, nullptr},
    {"FileExitItem", "SpeedExit", "Alt+X;Ctrl+Q", "exit", "FileExitItem.Caption"},
    {"Start1", nullptr, "F2", "start", "SpeedStart.Caption"},
    {"Wstrzymaj1", "SpeedStop", "Space", "stop", "SpeedStop.Caption"},
    {"Kontynuacja1", nullptr, "Shift+F2", "continue", "Skont.Caption"},
    {"Wznow1", nullptr, "", nullptr, nullptr},
    {"sterowanie", "SpeedSterowanie", "F5", "control", "sterowanie.Caption"},
    {"Konfiguracja", "SpeedKonfig", "F6", "configuration", "Konfiguracja.Caption"},
    {"WindowCascadeItem", nullptr, "", nullptr, nullptr},
    {"WindowTileItem", nullptr, "", nullptr, nullptr},
    {"CloseAll", nullptr, "", nullptr, nullptr},
    {"DopasujWidok", nullptr, "Home", nullptr, nullptr},
    {"SpeedPrzesunDoRamion", "SpeedPrzesunDoRamion", "", "to_arms", "SpeedPrzesunDoRamion.hint"},
    {"SpeedWysunPoCieciu", "SpeedWysunPoCieciu", "", "move_out", "SpeedWysunPoCieciu.hint"},
    {"SpeedAutoRepeat", "SpeedAutoRepeat", "", "auto_repeat", "SpeedAutoRepeat.hint"},
    // Start and continue have buttons of their own: the status step enables them, while the menu items follow
    // UpdateMenuItems (Start1) or stay enabled (Kontynuacja1).
    {"SpeedStart", "SpeedStart", "", "start", "SpeedStart.Caption"},
    {"Skont", "Skont", "", "continue", "Skont.Caption"},
};

// The menu, top level first: each item names the actions under it; "-" is a separator.
struct MenuSpec {
  const char* name;
  std::initializer_list<const char*> items;
};
const MenuSpec kMenus[] = {
    {"File1",
     {"FileOpenItem", "FileNewTextItem", "FileSaveDrawingItem", "FileCloseItem", "miDuplikujPlt", "info",
      "Symulacja", "-", "About1", "miInstrObslugi", "miPrzyklady", "miKatalog", "-", "FileExitItem"}},
    {"Cicie1", {"Start1", "Wstrzymaj1", "Kontynuacja1", "Wznow1", "-", "sterowanie", "Konfiguracja"}},
    {"Window1", {"WindowCascadeItem", "WindowTileItem", "CloseAll", "-", "DopasujWidok"}},
};

// The speed buttons left to right; "|" starts the group anchored at the far end.
constexpr const char* kSpeedButtons[] = {
    "FileOpenItem", "Symulacja",          "SpeedPrzesunDoRamion", "SpeedStart", "Wstrzymaj1",
    "Skont",        "SpeedWysunPoCieciu", "SpeedAutoRepeat",      "|",          "sterowanie",
    "Konfiguracja", "FileExitItem"};

// A tooltip that also says the keys of the action: "Open drawing (F3, Ctrl+O)".
QString WithShortcuts(const QString& hint, const QAction& action) {
  QStringList keys;
  for (const QKeySequence& shortcut : action.shortcuts()) keys << shortcut.toString(QKeySequence::NativeText);
  return keys.isEmpty() ? hint : QString("%1 (%2)").arg(hint, keys.join(", "));
}

const ActionSpec* SpecNamed(const std::string& name) {
  for (const ActionSpec& entry : kActions) {
    if (name == entry.name) return &entry;
  }
  return nullptr;
}

}  // namespace

TMainForm::TMainForm(Program& program, QWidget* parent)
    : QMainWindow(parent),
      program_(program),
      machine_(std::make_unique<MainFormMachine>(*this, program)),
      own_menu_windows_(std::make_unique<MenuWindows>(*this, program)),
      desktop_opener_(std::make_unique<DesktopDocumentOpener>()) {
  const std::string& writable = program_.folders().writable;
  recent_ = std::make_unique<RecentFiles>(writable.empty() ? "" : writable + "Varnholt_recent.ini");
  opener_ = desktop_opener_.get();
  setObjectName("MainForm");
  QApplication::setWindowIcon(QIcon(":/icons/varnholt.svg"));
  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MDIArea");
  mdi_->viewport()->installEventFilter(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateMenuItems(); });
  CreateActions();
  CreateMenus();
  CreateSpeedButtons();
  CreateStatusBar();
  ApplyLanguage();
  UpdateMenuItems();
}

TMainForm::~TMainForm() {
  // The session's main window is part of this one: it goes first.
  machine_->Disconnect();
  program_.ReleaseLink();
  // The project windows go with the base class, after the members the menu rules use.
  disconnect(mdi_, nullptr, this, nullptr);
}

void TMainForm::CreateActions() {
  for (const ActionSpec& entry : kActions) {
    auto* action = new QAction(this);
    action->setObjectName(entry.name);
    QList<QKeySequence> shortcuts;
    for (const QString& keys : QString::fromLatin1(entry.shortcut).split(';', Qt::SkipEmptyParts)) {
      shortcuts << QKeySequence(keys);
    }
    action->setShortcuts(shortcuts);
    if (entry.icon != nullptr) action->setIcon(QIcon(QString(":/icons/%1.svg").arg(entry.icon)));
    actions_[entry.name] = action;
  }
  const auto on = [this](const char* name, auto handler) {
    connect(actions_.at(name), &QAction::triggered, this, handler);
  };
  on("FileOpenItem", [this] { FileOpenItemClick(); });
  on("FileNewTextItem", [this] { FileNewTextItemClick(); });
  on("FileSaveDrawingItem", [this] { FileSaveDrawingItemClick(); });
  on("FileCloseItem", [this] { FileCloseItemClick(); });
  on("miDuplikujPlt", [this] { ShowFor(&MenuWindowsPort::ShowDuplication); });
  on("info", [this] { ShowFor(&MenuWindowsPort::ShowInformation); });
  on("Symulacja", [this] { SymulacjaClick(); });
  on("About1", [this] {
    if (menu_windows_ != nullptr) menu_windows_->ShowAbout();
  });
  on("miInstrObslugi", [this] { miInstrObslugiClick(); });
  on("miPrzyklady", [this] { miPrzykladyClick(); });
  on("miKatalog", [this] { miKatalogClick(); });
  on("FileExitItem", [this] { close(); });
  on("Start1", [this] { Run(&CuttingRunPort::Start); });
  on("SpeedStart", [this] { Run(&CuttingRunPort::Start); });
  on("Wstrzymaj1", [this] { Run(&CuttingRunPort::Stop); });
  on("Kontynuacja1", [this] { Run(&CuttingRunPort::Continue); });
  on("Wznow1", [this] { Run(&CuttingRunPort::Resume); });
  on("Skont", [this] { Run(&CuttingRunPort::Continue); });
  on("sterowanie", [this] {
    if (menu_windows_ != nullptr) menu_windows_->ShowControlPanel();
  });
  on("Konfiguracja", [this] { KonfiguracjaClick(); });
  on("WindowCascadeItem", [this] { mdi_->cascadeSubWindows(); });
  on("WindowTileItem", [this] { mdi_->tileSubWindows(); });
  on("CloseAll", [this] { CloseAllClick(); });
  on("DopasujWidok", [this] {
    if (TMDIChild* project = ActiveProject()) project->FitView();
  });
  on("SpeedPrzesunDoRamion", [this] { Run(&CuttingRunPort::MoveToArms); });
  on("SpeedWysunPoCieciu", [this] { Run(&CuttingRunPort::MoveOutAfterCut); });
  QAction* repeat = actions_.at("SpeedAutoRepeat");
  repeat->setCheckable(true);
  connect(repeat, &QAction::triggered, this, [this](bool down) { SpeedAutoRepeatClick(down); });
}

void TMainForm::CreateMenus() {
  for (const MenuSpec& entry : kMenus) {
    QMenu* menu = menuBar()->addMenu(QString());
    menu->setObjectName(entry.name);
    for (const char* item : entry.items) {
      if (std::string_view(item) == "-") {
        menu->addSeparator();
      } else {
        menu->addAction(actions_.at(item));
      }
    }
    if (std::string_view(entry.name) == "Window1") window_menu_ = menu;
    if (std::string_view(entry.name) == "File1") {
      // Documents may have been added to or taken from the folders since: looked for again as the menu opens.
      connect(menu, &QMenu::aboutToShow, this, [this] {
        FindShippedDocuments();
        FillRecentMenu();
        UpdateMenuItems();
      });
      recent_menu_ = new QMenu(menu);
      recent_menu_->setObjectName("miOstatnie");
      menu->insertMenu(actions_.at("FileNewTextItem"), recent_menu_);
    }
  }
  FillRecentMenu();
}

void TMainForm::CreateSpeedButtons() {
  speed_buttons_ = addToolBar(QString());
  speed_buttons_->setObjectName("SpeedPanel");
  speed_buttons_->setMovable(false);
  speed_buttons_->setIconSize(QSize(32, 32));
  for (const char* name : kSpeedButtons) {
    if (std::string_view(name) == "|") {
      auto* spacer = new QWidget(speed_buttons_);
      spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
      speed_buttons_->addWidget(spacer);
      continue;
    }
    QAction* action = actions_.at(name);
    speed_buttons_->addAction(action);
    speed_buttons_->widgetForAction(action)->setObjectName(SpecNamed(name)->button);
  }
}

void TMainForm::CreateStatusBar() {
  // Two rows: the machine's lamps with the hint of the control under the mouse beside them, then the panels.
  auto* rows = new QWidget(this);
  auto* column = new QVBoxLayout(rows);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  auto* lamp_row = new QHBoxLayout();
  lamps_ = new StateLamps(program_.texts(), rows);
  hint_ = new QLabel(rows);
  hint_->setObjectName("HintPanel");
  // A long hint is cut at the window's edge rather than widening the window.
  hint_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  lamp_row->addWidget(lamps_);
  lamp_row->addWidget(hint_, 1);
  column->addLayout(lamp_row);
  auto* panel_row = new QHBoxLayout();
  panel_row->setSpacing(2);
  for (int i = 0; i < 2; ++i) {
    panels_[i] = new QLabel(rows);
    panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[i]->setFixedWidth(kPanelWidths[i]);
    panel_row->addWidget(panels_[i]);
  }
  panel_row->addStretch(1);
  column->addLayout(panel_row);
  statusBar()->addWidget(rows, 1);
  statusBar()->setSizeGripEnabled(false);
}

void TMainForm::ShowLamps(const MachineLamps& lamps) {
  lamps_->Show(lamps, program_.config().CurrentUnit());
}

void TMainForm::ApplyLanguage() {
  const tInterfejs& texts = program_.texts();
  setWindowTitle(
      QString::fromStdString(MainWindowCaption(texts.GetText("Universal", "txtWer"), ProgramVersion())));
  if (texts.right_to_left()) {
    // The layout mirrors the menu bar and the speed buttons, which then start at the right edge.
    QApplication::setLayoutDirection(Qt::RightToLeft);
    setLayoutDirection(Qt::RightToLeft);
    menuBar()->setLayoutDirection(Qt::RightToLeft);
  }
  ApplyTexts(*this, texts, kSection);
  for (const ActionSpec& entry : kActions) {
    QAction* action = actions_.at(entry.name);
    if (entry.hint_key == nullptr) continue;
    const QString hint = QString::fromStdString(WithoutMnemonics(texts.GetText(kSection, entry.hint_key)));
    action->setToolTip(WithShortcuts(hint, *action));
    action->setStatusTip(hint);
    if (action->text().isEmpty()) action->setText(hint);
  }
  FindShippedDocuments();
}

void TMainForm::FindShippedDocuments() {
  const tInterfejs& texts = program_.texts();
  const std::string& folder = program_.folders().shipped;
  shipped_.manual_exists = ManualFile(folder, texts.language_code(), program_.dealer_code).exists;
  shipped_.samples_exist = SamplesFolder(folder, texts.language_code()).exists;
  shipped_.catalogue_exists = CatalogueFile(folder, texts.language_code(), program_.dealer_code).exists;
  const bool dealer_catalogue = DealerCatalogue(folder, texts.language_code(), program_.dealer_code).exists;
  actions_.at("miKatalog")
      ->setText(QString::fromStdString(CatalogueCaption(program_.dealer_code, dealer_catalogue,
                                                        texts.GetText(kSection, "miKatalog.Caption"))));
}

QAction* TMainForm::ActionNamed(const std::string& name) const {
  const auto found = actions_.find(name);
  return found == actions_.end() ? nullptr : found->second;
}

QList<TMDIChild*> TMainForm::Projects() const {
  QList<TMDIChild*> projects;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    // A closed window lingers until it is deleted; hidden, it no longer counts.
    if (sub->isHidden()) continue;
    if (auto* project = dynamic_cast<TMDIChild*>(sub->widget())) projects << project;
  }
  return projects;
}

TMDIChild* TMainForm::ActiveProject() const {
  QMdiSubWindow* current = mdi_->currentSubWindow();
  if (current == nullptr || current->isHidden()) return nullptr;
  return dynamic_cast<TMDIChild*>(current->widget());
}

void TMainForm::SetStatusPanel(int panel, const QString& text) {
  if (panel >= 0 && panel < 2) panels_[panel]->setText(text);
}

void TMainForm::UpdateMenuItems() {
  MenuFacts facts = shipped_;
  facts.project_count = static_cast<int>(Projects().size());
  if (TMDIChild* active = ActiveProject()) facts.active_caption = active->windowTitle().toStdString();
  const MenuState state = MenuStateFor(facts);
  for (const char* name : {"FileCloseItem", "FileSaveDrawingItem", "info", "Symulacja", "Start1", "WindowCascadeItem",
                           "WindowTileItem", "DopasujWidok"}) {
    actions_.at(name)->setEnabled(state.project_open);
  }
  window_menu_->menuAction()->setEnabled(state.project_open);
  actions_.at("miDuplikujPlt")->setEnabled(state.duplication);
  actions_.at("miInstrObslugi")->setVisible(state.manual_visible);
  actions_.at("miPrzyklady")->setVisible(state.samples_visible);
  actions_.at("miKatalog")->setVisible(state.catalogue_visible);
}

bool TMainForm::event(QEvent* event) {
  // The hint of the control under the mouse has a place of its own: what panel 0 says stays.
  if (event->type() == QEvent::StatusTip) {
    hint_->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mdi_->viewport() && event->type() == QEvent::MouseButtonPress) UpdateMenuItems();
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (!isActiveWindow()) {
    keep_active_ = nullptr;
    return;
  }
  if (keep_active_ != nullptr) {
    // After the multi-document area has brought back its own choice.
    QTimer::singleShot(0, this, [this] {
      if (keep_active_ != nullptr) mdi_->setActiveSubWindow(keep_active_);
      keep_active_ = nullptr;
      UpdateMenuItems();
    });
  }
  if (maximise_on_activation_ && !isMaximized()) showMaximized();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  panels_[0]->setFixedWidth(StatusPanelWidth(width()));
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!TntFormCloseQuery() || !KeepConfigurationAtExit()) {
    event->ignore();
    return;
  }
  FormDestroy();
  event->accept();
}

bool TMainForm::TntFormCloseQuery() { return cutting_run_ == nullptr || cutting_run_->CloseQuery(); }

bool TMainForm::KeepConfigurationAtExit() {
  Konfig& konfig = program_.konfig();
  // A file that did not load whole is written only by the operator's Save as.
  if (config_dialog_ == nullptr || !konfig.DiffersFromFile() || !konfig.ConfigFileWhole()) return true;
  const std::string text =
      FillPlaceholders(program_.Text(kSection, "konfigNiezapisany"), {konfig.ConfigFilePath()});
  switch (CurrentOperator().AskQuestion(text, Buttons({kButtonYes, kButtonNo, kButtonCancel}),
                                        program_.Text("Universal", "uwaga"))) {
    case kButtonYes:
      return ReportErrors([&konfig] { konfig.SaveKonfig(konfig.ConfigFilePath()); });
    case kButtonNo:
      return true;
    default:
      return false;
  }
}

void TMainForm::FormDestroy() {
  machine_->Disconnect();
  ReportErrors([this] { program_.konfig().Destroy(); });
  ReportErrors([this] { program_.SaveBasePoints(); });
  // Nothing of the machine is reached any more: the buttons and menu windows let go of it.
  cutting_run_ = nullptr;
  menu_windows_ = nullptr;
  program_.ReleaseLink();
}

void TMainForm::Run(void (CuttingRunPort::*operation)()) {
  if (cutting_run_ != nullptr) (cutting_run_->*operation)();
}

void TMainForm::ShowFor(void (MenuWindowsPort::*open_window)(TMDIChild&)) {
  TMDIChild* project = ActiveProject();
  if (menu_windows_ != nullptr && project != nullptr) (menu_windows_->*open_window)(*project);
}

void TMainForm::CreateConfigurationDialog() {
  TDlgkonfig::Links links;
  links.feed_sign_changed = [this](int feed_sign) { ApplyFeedSign(feed_sign); };
  links.model_is_qo = [this] { return program_.has_link() && program_.state().IsModelQo(); };
  config_dialog_ = std::make_unique<TDlgkonfig>(program_.konfig(), program_.texts(), std::move(links), this);
}

void TMainForm::LoadBasePoints() {
  ReportErrors([this] { program_.LoadBasePoints(); });
}

void TMainForm::ConnectMachine(JoystickPort& joystick, MachineTimers::Pace pace) {
  program_.CreateLink(*machine_, joystick);
  SetCuttingRun(machine_.get());
  SetMenuWindows(own_menu_windows_.get());
  machine_->Connect(pace);
}

MachineTimers* TMainForm::machine_timers() const { return machine_->timers(); }

void TMainForm::SetMachineButtons(const MainButtonStates& states) {
  actions_.at("SpeedStart")->setEnabled(states.SpeedStart);
  actions_.at("Skont")->setEnabled(states.Skont);
  actions_.at("SpeedPrzesunDoRamion")->setEnabled(states.SpeedPrzesunDoRamion);
  actions_.at("SpeedWysunPoCieciu")->setEnabled(states.SpeedWysunPoCieciu);
}

void TMainForm::ApplyFeedSign(int feed_sign) {
  for (TMDIChild* project : Projects()) {
    project->document().feed_sign = static_cast<int8_t>(feed_sign);
    project->document().feed_sign_start = static_cast<int8_t>(feed_sign);
  }
}

}  // namespace varnholt
