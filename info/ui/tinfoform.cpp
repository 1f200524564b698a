#include "info/ui/tinfoform.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "info/program_time.h"
#include "info/project_info.h"
#include "services/caption_text.h"
#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

// Paths can be long: the label shows the middle elided and the whole path as its hint.
void SetPathText(QLabel& label, const std::string& path) {
  constexpr int kLongestPathPixels = 360;
  const QString text = QString::fromStdString(path);
  label.setText(label.fontMetrics().elidedText(text, Qt::ElideMiddle, kLongestPathPixels));
  label.setToolTip(text);
}

}  // namespace

Tinfoform::Tinfoform(ProjectInfoSource source, const tInterfejs& texts, QWidget* parent)
    : QDialog(parent), source_(std::move(source)), texts_(texts) {
  setObjectName("infoform");
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(12);
  fname_ = AddRow("Labelfile", "fname");
  konfigname_ = AddRow("Labelkonf", "konfigname");
  szerokosc_ = AddRow("Labelszer", "szerokosc");
  wysokosc_ = AddRow("Labelwys", "wysokosc");
  totlen_ = AddRow("Labeldlug", "totlen");
  total_time_ = AddRow("Labeltime", "total_time");
  program_time_ = AddRow("Labelprogtime", "program_time");
  skala_ = AddRow("LabelSkala", "skala");
  ok_ = new QPushButton(this);
  ok_->setObjectName("OK");
  ok_->setDefault(true);
  grid->addWidget(ok_, grid->rowCount(), 1, Qt::AlignRight);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

  ApplyTexts(*this, texts, "Info");
  findChild<QLabel*>("LabelSkala")->setText(LanguageText(texts, "Configuration", "LabelSkala.caption"));
  setWindowTitle(QString::fromStdString(WithoutMnemonics(texts.GetText("Main_window", "info.Caption"))));
  ApplyReadingOrder(*this, texts);
}

QLabel* Tinfoform::AddRow(const char* caption_name, const char* value_name) {
  auto* grid = static_cast<QGridLayout*>(layout());
  const int row = grid->rowCount();
  auto* caption = new QLabel(this);
  caption->setObjectName(caption_name);
  auto* value = new QLabel(this);
  value->setObjectName(value_name);
  grid->addWidget(caption, row, 0);
  grid->addWidget(value, row, 1);
  return value;
}

void Tinfoform::Refresh() {
  SetPathText(*fname_, source_.project_caption);
  SetPathText(*konfigname_, source_.configuration_file);
  const ProjectInfo info = ComputeProjectInfo(MeasuresOf(source_.project), source_.config);
  szerokosc_->setText(QString::fromStdString(info.szerokosc));
  wysokosc_->setText(QString::fromStdString(info.wysokosc));
  totlen_->setText(QString::fromStdString(info.totlen));
  total_time_->setText(QString::fromStdString(info.total_time));
  skala_->setText(QString::fromStdString(info.skala));
  const std::optional<double> seconds =
      ProgramCuttingSeconds(source_.project, source_.config, source_.machine, source_.run);
  program_time_->setText(seconds ? QString::fromStdString(MinutesSecondsText(*seconds))
                                 : LanguageText(texts_, "Info", "czasNieznany"));
}

void Tinfoform::setVisible(bool visible) {
  if (visible && !isVisible()) Refresh();
  QDialog::setVisible(visible);
}

void ShowProjectInformation(const ProjectInfoSource& source, const tInterfejs& texts, QWidget* parent) {
  Tinfoform window(source, texts, parent);
  window.exec();
}

}  // namespace varnholt
