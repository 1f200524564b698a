#include "layout/ui/tf_par_dup.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>
#include <utility>

#include "config/display_unit.h"
#include "geometry/run_time_error.h"
#include "geometry/units.h"
#include "layout/dpl_file.h"
#include "layout/length_text.h"
#include "layout/ui/number_field.h"
#include "services/interfejs.h"
#include "services/operator.h"
#include "services/program_folder.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr const char* kSection = "Duplication_parameters";

QLabel* Caption(const char* name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

// A read-only value in a sunken panel.
QLabel* Panel(const char* name, QWidget* parent) {
  auto* panel = new QLabel(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  panel->setMinimumWidth(90);
  return panel;
}

QLabel* UnitLabel(int unit, QWidget* parent) {
  return new QLabel(QString::fromStdString(LengthUnitLabel(unit)), parent);
}

void SetBold(QLabel& label, bool bold) {
  QFont font = label.font();
  font.setBold(bold);
  label.setFont(font);
}

}  // namespace

TfParDup::TfParDup(const ProjectDocument& pattern, const std::string& pattern_caption, std::string dpl_path,
                   const tInterfejs& texts, int unit, char separator, QWidget* parent)
    : QDialog(parent),
      pattern_(pattern),
      texts_([&texts](std::string_view section, std::string_view key) { return texts.GetText(section, key); }),
      unit_(unit),
      separator_(separator),
      dpl_path_(std::move(dpl_path)),
      dpl_beside_pattern_(dpl_path_ == DplPathFor(pattern_caption)) {
  setObjectName("fParDup");
  Build(texts);
  auto* file = findChild<QLineEdit*>("ePlik");
  file->setText(QString::fromStdString(pattern_caption));
  file->setToolTip(file->text());
  const auto size_text = [&](int32_t units) {
    return QString::fromStdString(LengthText(UnitsToMm(units), unit_, SizeDecimals(unit_), separator_) + " ");
  };
  findChild<QLabel*>("pWzorzecSzerokosc")->setText(size_text(pattern.project_width));
  findChild<QLabel*>("pWzorzecWysokosc")->setText(size_text(pattern.project_height));
  const DplRead remembered = ReadDplFile(dpl_path_, pattern.project_width, pattern.project_height);
  ShowValues(remembered.values.value_or(DefaultParameters(pattern.project_width, pattern.project_height)));
  if (!remembered.problems.empty()) {
    const auto universal = [&texts](std::string_view key) { return texts.GetText("Universal", key); };
    CurrentOperator().ShowMessageBox(LineProblemsMessage(dpl_path_, remembered.problems, universal) + "\r\n" +
                                         texts_(kDplSection, "dplDomyslne"),
                                     true, "");
  }
}

void TfParDup::Build(const tInterfejs& texts) {
  auto* pattern_box = new QGroupBox(this);
  pattern_box->setObjectName("gbWzorzec");
  auto* file = new QLineEdit(pattern_box);
  file->setObjectName("ePlik");
  file->setReadOnly(true);
  file->setMinimumWidth(320);
  auto* pattern_grid = new QGridLayout(pattern_box);
  pattern_grid->addWidget(Caption("lPlik", pattern_box), 0, 0);
  pattern_grid->addWidget(file, 0, 1, 1, 6);
  pattern_grid->addWidget(Caption("lWymiary", pattern_box), 1, 0);
  pattern_grid->addWidget(Caption("lSzerokosc", pattern_box), 1, 1, Qt::AlignRight);
  pattern_grid->addWidget(Panel("pWzorzecSzerokosc", pattern_box), 1, 2);
  pattern_grid->addWidget(UnitLabel(unit_, pattern_box), 1, 3);
  pattern_grid->addWidget(Caption("lWysokosc", pattern_box), 1, 4, Qt::AlignRight);
  pattern_grid->addWidget(Panel("pWzorzecWysokosc", pattern_box), 1, 5);
  pattern_grid->addWidget(UnitLabel(unit_, pattern_box), 1, 6);

  columns_ = new NumberField("feIloscElemWWierszu", false, separator_, this);
  rows_ = new NumberField("feIloscWierszy", false, separator_, this);
  column_pitch_ = new NumberField("feuPrzesuniecieMdzyElem", true, separator_, this);
  row_pitch_ = new NumberField("feuPrzesMdzyWierszami", true, separator_, this);
  vertical_distance_ = new NumberField("feuOdlMdzyEl_i_laczPionowym", true, separator_, this);
  horizontal_distance_ = new NumberField("feuOdlMdzyEl_i_laczPoziomym", true, separator_, this);
  whole_width_ = Panel("pCalySzer", this);
  whole_height_ = Panel("pCalyWys", this);

  auto* grid = new QGridLayout;
  int row = 0;
  // One row of the grid: the caption (two lines for the pitches), the field and, for lengths, the unit.
  const auto add_row = [&](QWidget* field, std::vector<QLabel*> captions, bool length) {
    auto* caption_box = new QVBoxLayout;
    caption_box->setSpacing(0);
    for (QLabel* caption : captions) caption_box->addWidget(caption);
    grid->addLayout(caption_box, row, 0);
    grid->addWidget(field, row, 1);
    if (length) grid->addWidget(UnitLabel(unit_, this), row, 2);
    captions_[field] = std::move(captions);
    field->installEventFilter(this);
    ++row;
  };
  add_row(columns_, {Caption("lIloscElemWWierszu", this)}, false);
  add_row(rows_, {Caption("lIloscWierszy", this)}, false);
  add_row(column_pitch_, {Caption("lPrzesuniecieMdzyElem1", this), Caption("lPrzesuniecieMdzyElem2", this)}, true);
  add_row(row_pitch_, {Caption("lPrzesMdzyWierszami1", this), Caption("lPrzesMdzyWierszami2", this)}, true);
  add_row(vertical_distance_, {Caption("lOdlMdzyEl_i_laczPionowym", this)}, true);
  add_row(horizontal_distance_, {Caption("lOdlMdzyEl_i_laczPoziomym", this)}, true);
  for (QLabel* secondary : {captions_[column_pitch_][1], captions_[row_pitch_][1]}) {
    QFont font = secondary->font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    secondary->setFont(font);
  }
  grid->addWidget(Caption("lSzerCalegoProj", this), row, 0);
  grid->addWidget(whole_width_, row, 1);
  grid->addWidget(UnitLabel(unit_, this), row++, 2);
  grid->addWidget(Caption("lWysCalegoProj", this), row, 0);
  grid->addWidget(whole_height_, row, 1);
  grid->addWidget(UnitLabel(unit_, this), row++, 2);
  grid->setColumnStretch(0, 1);

  auto* defaults = new QPushButton(this);
  defaults->setObjectName("btnParDomyslne");
  defaults->setAutoDefault(false);
  auto* cancel = new QPushButton(this);
  cancel->setObjectName("btnAnuluj");
  cancel->setAutoDefault(false);
  auto* execute = new QPushButton(this);
  execute->setObjectName("btnZatwierdz");
  execute->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(defaults);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(execute);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pattern_box);
  layout->addLayout(grid);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(defaults, &QPushButton::clicked, this, [this] { btnParDomyslneClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(execute, &QPushButton::clicked, this, [this] { btnZatwierdzClick(); });
  for (NumberField* field : {columns_, column_pitch_}) {
    connect(field, &QLineEdit::textChanged, this, [this] { RefreshWholeWidth(); });
  }
  for (NumberField* field : {rows_, row_pitch_, vertical_distance_, horizontal_distance_}) {
    connect(field, &QLineEdit::textChanged, this, [this] { RefreshWholeHeight(); });
  }
  for (NumberField* field : {column_pitch_, row_pitch_, vertical_distance_, horizontal_distance_}) {
    field->SetUnit(unit_);
  }

  ApplyTexts(*this, texts, kSection);
  setWindowTitle(LanguageText(texts, kSection, "fParDup.caption"));
  ApplyReadingOrder(*this, texts);
}

DuplicationParameters TfParDup::Values() const {
  DuplicationParameters values;
  values.columns = CountFromNumber(columns_->value());
  values.rows = CountFromNumber(rows_->value());
  values.column_pitch = column_pitch_->value();
  values.row_pitch = row_pitch_->value();
  values.vertical_distance = vertical_distance_->value();
  values.horizontal_distance = horizontal_distance_->value();
  return values;
}

void TfParDup::ShowValues(const DuplicationParameters& values) {
  columns_->SetValue(values.columns);
  rows_->SetValue(values.rows);
  column_pitch_->SetValue(values.column_pitch);
  row_pitch_->SetValue(values.row_pitch);
  vertical_distance_->SetValue(values.vertical_distance);
  horizontal_distance_->SetValue(values.horizontal_distance);
}

void TfParDup::RefreshWholeWidth() {
  const double width = CountFromNumber(columns_->value()) * column_pitch_->value();
  whole_width_->setText(QString::fromStdString(LengthText(width, unit_, SizeDecimals(unit_), separator_) + " "));
}

void TfParDup::RefreshWholeHeight() {
  const double height = CountFromNumber(rows_->value()) * row_pitch_->value();
  whole_height_->setText(QString::fromStdString(LengthText(height, unit_, SizeDecimals(unit_), separator_) + " "));
}

void TfParDup::btnParDomyslneClick() {
  DuplicationParameters values = Values();
  SetDefaultDistances(values, pattern_.project_width, pattern_.project_height);
  ShowValues(values);
  Focus(columns_);
}

void TfParDup::btnZatwierdzClick() {
  // A field left without a number (emptied, or only a sign) is where the operator has to look first.
  for (NumberField* field : {columns_, rows_, column_pitch_, row_pitch_, vertical_distance_, horizontal_distance_}) {
    if (!field->HasNumber()) {
      QApplication::beep();
      Focus(field);
      return;
    }
  }
  const DuplicationParameters values = Values();
  if (const auto failed = CheckDuplication(values, FactsOf(pattern_), {texts_, unit_, separator_})) {
    Focus(FieldOf(*failed));
    return;
  }
  // The operator is told where the values went the first time they go to the account's folder.
  const bool first_in_account = !dpl_beside_pattern_ && !std::filesystem::exists(dpl_path_);
  try {
    if (!dpl_beside_pattern_) {
      // The account's copy of a shipped folder is made on first use; one that cannot be made fails the write below
      // with its own message.
      MakeOwnFolders(std::filesystem::path(dpl_path_).parent_path());
    }
    WriteDplFile(dpl_path_, values, separator_);
  } catch (const RunTimeError& error) {
    CurrentOperator().ShowMessageBox(error.what(), true, "");
    return;
  }
  if (first_in_account) {
    CurrentOperator().ShowMessageBox(texts_(kDplSection, "dplWFolderzeKonta") + dpl_path_, false, "");
  }
  accept();
}

void TfParDup::Focus(NumberField* field) {
  field->setFocus(Qt::OtherFocusReason);
  field->selectAll();
}

NumberField* TfParDup::FieldOf(DuplicationField field) const {
  switch (field) {
    case DuplicationField::kColumns:
      return columns_;
    case DuplicationField::kRows:
      return rows_;
    case DuplicationField::kColumnPitch:
      return column_pitch_;
    case DuplicationField::kRowPitch:
      return row_pitch_;
    case DuplicationField::kVerticalDistance:
      return vertical_distance_;
    case DuplicationField::kHorizontalDistance:
      return horizontal_distance_;
  }
  return columns_;
}

bool TfParDup::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    const auto found = captions_.find(watched);
    if (found != captions_.end()) {
      for (QLabel* caption : found->second) SetBold(*caption, event->type() == QEvent::FocusIn);
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace varnholt
