#include "project/ui/load_report_dialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {

LoadReportDialog::LoadReportDialog(const tInterfejs& texts, const QString& file_name,
                                   const std::vector<std::string>& lines, QWidget* parent)
    : QDialog(parent) {
  setObjectName("LoadReport");
  setWindowTitle(LanguageText(texts, "Project_window", "raportWczytania") + " - " + file_name);
  auto* layout = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QStringList all;
  for (const std::string& line : lines) all << QString::fromStdString(line);
  text_->setPlainText(all.join('\n'));
  layout->addWidget(text_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* close = new QPushButton(LanguageText(texts, "Project_window", "zamknijRaport"), this);
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  ApplyReadingOrder(*this, texts);
  resize(640, 360);
}

QString LoadReportDialog::Text() const {
  return text_->toPlainText();
}

}  // namespace varnholt
