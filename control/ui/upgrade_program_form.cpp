#include "control/ui/upgrade_program_form.h"

#include <functional>
#include <utility>

#include <QGridLayout>
#include <QGroupBox>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "services/interfejs.h"
#include "ui/file_chooser.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Upgrade_firmware";

QLabel* Panel(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setMinimumHeight(label->fontMetrics().height() + 8);
  return label;
}

QLabel* Caption(const tInterfejs& texts, const char* name, const char* key, QWidget* parent) {
  auto* label = new QLabel(LanguageText(texts, kSection, key), parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TUpgradeProgramForm::TUpgradeProgramForm(MachineLink& link, const ProgramFolders& folders, QWidget* parent)
    : QDialog(parent), texts_(link.texts), upgrade_(link, folders, [this] { Render(); }) {
  setObjectName("UpgradeProgramForm");
  const tInterfejs& texts = link.texts;
  auto* versions = new QGridLayout;
  versions->addWidget(Caption(texts, "lActualDeviceVer", "biezacaWerSter", this), 0, 0);
  device_version_ = new QLabel(this);
  device_version_->setObjectName("ActualDeviceVer");
  versions->addWidget(device_version_, 0, 1);
  versions->addWidget(Caption(texts, "lNewVerFromFile", "aktualizacjaDoWer", this), 1, 0);
  image_version_ = new QLabel(this);
  image_version_->setObjectName("NewVerFromFile");
  versions->addWidget(image_version_, 1, 1);
  versions->addWidget(Caption(texts, "lImagePath", "plikObrazu", this), 2, 0);
  image_path_ = new QLineEdit(this);
  image_path_->setObjectName("ImagePath");
  image_path_->setReadOnly(true);
  image_path_->setFocusPolicy(Qt::ClickFocus);
  versions->addWidget(image_path_, 2, 1);
  versions->setColumnStretch(1, 1);

  button_upgrade_ = new QPushButton(this);
  button_upgrade_->setObjectName("ButtonUpgrade");
  button_upgrade_->setEnabled(false);

  steps_ = new QListWidget(this);
  steps_->setObjectName("clbOperacja");
  steps_->setSelectionMode(QAbstractItemView::NoSelection);
  steps_->setFocusPolicy(Qt::NoFocus);
  for (const char* key : {"Kasowanie", "Zapis", "Weryfikacja"}) {
    auto* item = new QListWidgetItem(LanguageText(texts, kSection, key), steps_);
    item->setFlags(Qt::ItemIsEnabled);  // read-only: only the steps tick themselves
    item->setCheckState(Qt::Unchecked);
  }
  steps_->setFixedHeight(steps_->sizeHintForRow(0) * 3 + 2 * steps_->frameWidth() + 4);

  status_ = Panel("pStatus", this);
  gauge_ = new QProgressBar(this);
  gauge_->setObjectName("Gauge");
  gauge_->setRange(0, 100);
  verify_ = Panel("pVerify", this);

  service_ = new QGroupBox(this);
  service_->setObjectName("pSerwisowy");
  auto* service_layout = new QGridLayout(service_);
  const std::pair<const char*, std::function<void()>> service_buttons[] = {
      {"ReadEEProgram", [this] { upgrade_.ReadToFile(); }},
      {"EraseProgram", [this] { upgrade_.Erase(); }},
      {"WrtieProgram", [this] { upgrade_.Write(true); }},
      {"VerifyProgram", [this] { upgrade_.Verify(); }},
      {"GetVersion", [this] { upgrade_.GetVersion(); }},
      {"Reset", [this] { upgrade_.Restart(); }},
      {"ChooseImage", [this] { ChooseImageClick(); }},
      {"RecoverProgram", [this] { RecoverClick(); }},
  };
  int at = 0;
  for (const auto& [name, step] : service_buttons) {
    auto* button = new QPushButton(service_);
    button->setObjectName(name);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, step);
    service_layout->addWidget(button, at / 3, at % 3);
    ++at;
  }
  service_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(versions);
  layout->addWidget(button_upgrade_);
  layout->addWidget(steps_);
  layout->addWidget(status_);
  layout->addWidget(gauge_);
  layout->addWidget(verify_);
  layout->addWidget(service_);

  connect(button_upgrade_, &QPushButton::clicked, this, [this] { ButtonUpgradeClick(); });
  auto* toggle = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_F12), this);
  connect(toggle, &QShortcut::activated, this, [this] { ToggleServicePanel(); });

  ApplyTexts(*this, texts, kSection);
  ApplyReadingOrder(*this, texts);
  setMinimumWidth(420);
  Render();
}

void TUpgradeProgramForm::ToggleServicePanel() {
  service_->setVisible(!service_->isVisible());
  adjustSize();
}

void TUpgradeProgramForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  upgrade_.Show();
}

void TUpgradeProgramForm::ButtonUpgradeClick() {
  if (upgrade_.Upgrade() == UpgradeResult::kDone) accept();
}

void TUpgradeProgramForm::RecoverClick() {
  if (upgrade_.Upgrade(true) == UpgradeResult::kDone) accept();
}

void TUpgradeProgramForm::ChooseImageClick() {
  FileDialogRequest request;
  request.title = LanguageText(texts_, kSection, "wybierzObraz");
  request.folder = QFileInfo(QString::fromStdString(upgrade_.image_path())).absolutePath();
  request.filters = {LanguageText(texts_, kSection, "filtrObrazu") + " (*.rom)"};
  request.default_suffix = "rom";
  const std::optional<FileChoice> choice = CurrentFileChooser().ChooseOpen(this, request);
  if (choice) upgrade_.UseImageFile(choice->path.toStdString());
}

void TUpgradeProgramForm::Render() {
  const FirmwareView& view = upgrade_.view();
  device_version_->setText(QString::fromStdString(view.device_version));
  image_version_->setText(QString::fromStdString(view.image_version));
  image_version_->setToolTip(QString::fromStdString(view.image_path));
  image_path_->setText(QString::fromStdString(view.image_path));
  image_path_->setToolTip(image_path_->text());
  image_path_->setCursorPosition(static_cast<int>(image_path_->text().size()));
  button_upgrade_->setEnabled(view.upgrade_enabled && !view.busy);
  for (int row = 0; row < steps_->count(); ++row) {
    steps_->item(row)->setCheckState(view.ticks[static_cast<size_t>(row)] ? Qt::Checked : Qt::Unchecked);
  }
  status_->setText(QString::fromStdString(view.status));
  gauge_->setValue(view.progress);
  verify_->setText(QString::fromStdString(view.verify));
  for (QPushButton* button : service_->findChildren<QPushButton*>()) button->setEnabled(!view.busy);
}

}  // namespace varnholt
