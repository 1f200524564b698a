#include "config/ui/dlgkonfig.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/display_unit.h"
#include "config/ui/param_field.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "ui/error_report.h"
#include "ui/file_chooser.h"
#include "ui/window_texts.h"

namespace varnholt {

// What the label after a field shows.
enum class DialogUnitKind { kSpeed, kLength, kPercent, kMilliseconds, kSeconds };

struct DialogFieldRow {
  const char* label;  // component name of the caption label
  Param param;
  DialogUnitKind unit;
};

namespace {

constexpr std::string_view kSection = "Configuration";

constexpr DialogFieldRow kArms[] = {
    {"Labelspeed", Param::szybkoscObrobki, DialogUnitKind::kSpeed},
    {"Labelprzestawcza", Param::PrzeSpeed, DialogUnitKind::kSpeed},
    {"Labelpower", Param::work_power, DialogUnitKind::kPercent},
    {"Labelstarttime", Param::CzasRozgrzewania, DialogUnitKind::kMilliseconds},
    {"Labelpauza", Param::Pauza_w_kacie, DialogUnitKind::kMilliseconds},
    {"LabelSkala", Param::skala, DialogUnitKind::kPercent}};
constexpr DialogFieldRow kConveyor[] = {
    {"LabelTransporterSpeed", Param::Tasma_SzybkoscPrzes, DialogUnitKind::kSpeed},
    {"LabelVerticalWirePower", Param::VerticalWire_power, DialogUnitKind::kPercent},
    {"LabelEntryMove", Param::TasmaPrzesuwPocz, DialogUnitKind::kLength},
    {"LabelExitMove", Param::TasmaPrzesuwKon, DialogUnitKind::kLength}};
constexpr DialogFieldRow kAutomatic[] = {
    {"Label_TechnicalPause", Param::fePauzaTechn, DialogUnitKind::kSeconds},
    {"Label_MaterialHeight", Param::feuWysokoscMat, DialogUnitKind::kLength}};
constexpr DialogFieldRow kCalibration[] = {
    {"LabelKalibracjaX", Param::feKalibracjaX, DialogUnitKind::kPercent},
    {"LabelKalibracjaY", Param::feKalibracjaY, DialogUnitKind::kPercent},
    {"LabelKalibracjaZ", Param::feKalibracjaZ, DialogUnitKind::kPercent}};
constexpr DialogFieldRow kKerf[] = {{"LabelKerf", Param::KerfWidth, DialogUnitKind::kLength}};

const char* UnitKey(DialogUnitKind unit) {
  switch (unit) {
    case DialogUnitKind::kPercent:
      return "jednostkaProcent";
    case DialogUnitKind::kMilliseconds:
      return "jednostkaMs";
    default:
      return "jednostkaSek";
  }
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TDlgkonfig::TDlgkonfig(Konfig& konfig, const tInterfejs& texts, Links links, QWidget* parent)
    : QDialog(parent), konfig_(konfig), texts_(texts), links_(std::move(links)) {
  setObjectName("Dlgkonfig");
  Build();
  ApplyTexts(*this, texts_, kSection);
  ApplyItemTexts(cat_dir_, texts_, kSection, "catdir.Item");
  ApplyReadingOrder(*this, texts_);

  const QFileInfo program(QCoreApplication::applicationFilePath());
  program_date_ = program.exists() ? QLocale().toString(program.lastModified().date(), QLocale::ShortFormat)
                                   : LanguageText(texts_, kSection, "dataNieznana");
  ReportErrors([this] { konfig_.Create(); });
  // The caption marks values that differ from the file in use.
  konfig_.SetChangeListener([this] { UpdateCaption(); });
  UpdateCaption();
  CurrentOperator().SetStatusText(0, "");
  Refresh();
}

void TDlgkonfig::Build() {
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl");
  pages_->addTab(BuildWorkPage(), QString());
  pages_->addTab(BuildPlotterPage(), QString());
  layout->addWidget(pages_);

  auto* bottom = new QHBoxLayout;
  auto_save_ = new QCheckBox(this);
  auto_save_->setObjectName("AutoSave");
  connect(auto_save_, &QCheckBox::clicked, this,
          [this](bool checked) { konfig_.params().SetChecked(Param::AutoSave, checked); });
  bottom->addWidget(auto_save_);
  bottom->addStretch(1);
  const auto button = [&](const char* name, auto action) {
    auto* b = new QPushButton(this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, action);
    bottom->addWidget(b);
    return b;
  };
  button("zapis", [this] { SaveAs(); });
  button("Odczyt", [this] { LoadFrom(); });
  button("cancel", [this] { reject(); });
  button("Button1", [this] { accept(); })->setDefault(true);
  layout->addLayout(bottom);
}

QGroupBox* TDlgkonfig::FieldGroup(QWidget* page, const char* name, std::span<const DialogFieldRow> rows) {
  auto* box = new QGroupBox(page);
  box->setObjectName(name);
  auto* grid = new QGridLayout(box);
  int row = 0;
  for (const DialogFieldRow& r : rows) {
    auto* caption = new QLabel(box);
    caption->setObjectName(r.label);
    auto* field = new ParamField(konfig_.params(), r.param, box);
    field->SetClampPattern(QString::fromStdString(texts_.GetText(kSection, "wartoscOgraniczona")));
    caption->setBuddy(field);
    auto* unit = new QLabel(box);
    unit->setObjectName(QString(r.label) + "Unit");
    if (r.unit == DialogUnitKind::kSpeed) {
      speed_labels_.push_back(unit);
    } else if (r.unit == DialogUnitKind::kLength) {
      length_labels_.push_back(unit);
    } else {
      unit->setText(LanguageText(texts_, kSection, UnitKey(r.unit)));
    }
    if (r.param == Param::VerticalWire_power) vertical_wire_ = {caption, field, unit};
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(unit, row, 2);
    fields_.push_back(field);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(row, 1);
  return box;
}

QWidget* TDlgkonfig::BuildWorkPage() {
  auto* page = new QWidget;
  page->setObjectName("Tabsheet2");
  auto* columns = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;
  left->addWidget(FieldGroup(page, "gbRamiona", kArms));
  left->addWidget(FieldGroup(page, "gbKerf", kKerf));
  left->addStretch(1);
  right->addWidget(FieldGroup(page, "gbTasmociag", kConveyor));
  right->addWidget(FieldGroup(page, "gbTrybAuto", kAutomatic));
  right->addStretch(1);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  return page;
}

QWidget* TDlgkonfig::BuildPlotterPage() {
  auto* page = new QWidget;
  page->setObjectName("ploter");
  auto* columns = new QHBoxLayout(page);
  QGroupBox* calibration = FieldGroup(page, "gbKalibracja", kCalibration);
  // The hint of an axis says which arms or belt it moves.
  for (ParamField* field : calibration->findChildren<ParamField*>()) {
    field->setToolTip(
        LanguageText(texts_, kSection,
                     field->param() == Param::feKalibracjaZ ? "gbTasmociag.caption" : "gbRamiona.caption"));
  }
  columns->addWidget(calibration, 1);

  auto* direction = new QGroupBox(page);
  direction->setObjectName("CatDir");
  auto* items = new QVBoxLayout(direction);
  for (int i = 0; i < 3; ++i) {
    auto* item = new QRadioButton(direction);
    connect(item, &QRadioButton::clicked, this, [this, i] {
      konfig_.params().SetChoice(Param::CatDir, i);
      konfig_.CatDirClicked();
      ApplyUnit();
    });
    items->addWidget(item);
    cat_dir_.push_back(item);
  }
  items->addStretch(1);
  columns->addWidget(direction, 1);
  return page;
}

void TDlgkonfig::ShowPage(int page) {
  pages_->setCurrentIndex(page);
}

void TDlgkonfig::Refresh() {
  for (ParamField* field : fields_) field->Refresh();
  auto_save_->setChecked(konfig_.params().Checked(Param::AutoSave));
  const int direction = konfig_.params().Choice(Param::CatDir);
  for (size_t i = 0; i < cat_dir_.size(); ++i) cat_dir_[i]->setChecked(static_cast<int>(i) == direction);
}

void TDlgkonfig::ApplyUnit() {
  const int unit = konfig_.params().CurrentUnit();
  const QString length = FromUtf8(LengthUnitLabel(unit));
  const QString speed = FromUtf8(SpeedUnitLabel(unit, texts_.GetText("Configuration", "naMinute")));
  for (QLabel* label : length_labels_) label->setText(length);
  for (QLabel* label : speed_labels_) label->setText(speed);
  for (ParamField* field : fields_) field->Refresh();
  if (links_.feed_sign_changed) links_.feed_sign_changed(FeedSign(konfig_.params().Choice(Param::CatDir)));
}

void TDlgkonfig::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  ReportErrors([this] { konfig_.Show(); });
  ApplyUnit();
  const bool qo = links_.model_is_qo && links_.model_is_qo();
  for (QWidget* widget : vertical_wire_) widget->setEnabled(!qo);
  Refresh();
}

void TDlgkonfig::accept() {
  ReportErrors([this] { konfig_.Ok(); });
  konfig_.Deactivate();
  QDialog::accept();
}

void TDlgkonfig::reject() {
  ReportErrors([this] { konfig_.Cancel(); });
  konfig_.Deactivate();
  UpdateCaption();
  Refresh();
  QDialog::reject();
}

TDlgkonfig::~TDlgkonfig() {
  konfig_.SetChangeListener({});
}

void TDlgkonfig::UpdateCaption() {
  setWindowTitle(QString::fromStdString(konfig_.ConfigFilePath()) + (konfig_.DiffersFromFile() ? " *" : ""));
}

void TDlgkonfig::SaveAs() {
  FileDialogRequest request;
  request.folder = QFileInfo(QString::fromStdString(konfig_.ConfigFilePath())).absolutePath();
  request.file_name = "*.qcc";
  request.filters = {"Quellmar Cut Config (*.qcc)"};
  request.default_suffix = "qcc";
  const std::optional<FileChoice> choice = CurrentFileChooser().ChooseSave(this, request);
  if (!choice) return;
  ReportErrors([&] { konfig_.SaveAs(choice->path.toStdString()); });
  UpdateCaption();
}

void TDlgkonfig::LoadFrom() {
  FileDialogRequest request;
  request.title = LanguageText(texts_, kSection, "opendialogkonfig.title");
  request.folder = QFileInfo(QString::fromStdString(konfig_.ConfigFilePath())).absolutePath();
  request.filters = {"Quellmar Cut Config (*.qcc)"};
  request.default_suffix = "qcc";
  const std::optional<FileChoice> choice = CurrentFileChooser().ChooseOpen(this, request);
  if (!choice) return;
  ReportErrors([&] { konfig_.LoadFrom(choice->path.toStdString()); });
  UpdateCaption();
  Refresh();
}

}  // namespace varnholt
