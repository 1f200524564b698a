#include "info/ui/taboutbox.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <algorithm>

#include "link/controller_ops.h"
#include "services/application.h"
#include "services/document_opener.h"
#include "services/interfejs.h"
#include "services/program_version.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr int kMargin = 12;
constexpr int kRowHeight = 19;
constexpr int kMinimumWidth = 380;
constexpr int kValueColumnWidth = 230;
constexpr int kGroupTop = 58;
constexpr int kGroupHeight = 118;
constexpr int kGroupFirstRow = 22;
constexpr int kLinkTop = 184;
constexpr int kPictureTop = 212;
constexpr int kPictureHeight = 64;

constexpr std::array<const char*, 5> kCaptionNames = {"Labelprod", "Labelmodel", "Labelobszar",
                                                      "Labelprzebieg", "Labelilpl"};
constexpr std::array<const char*, 5> kValueNames = {"prod", "model", "obszar", "przebieg", "ilpl"};

// Opens a link text through the desktop; an empty text opens nothing.
void OpenLink(DocumentOpener& opener, const QString& target) {
  if (!target.isEmpty()) opener.OpenDocument(target.toStdString());
}

}  // namespace

TAboutBox::TAboutBox(MachineLink& link, AboutSetup setup, DocumentOpener& opener, QWidget* parent)
    : QDialog(parent), link_(link), setup_(std::move(setup)), opener_(opener) {
  setObjectName("AboutBox");
  labelprog_ = NewLabel(this, "Labelprog");
  labelver_ = NewLabel(this, "Labelver");
  new_ver_ = NewLabel(this, "newVer");
  ver_ = NewLabel(this, "ver");
  group_ = new QGroupBox(this);
  group_->setObjectName("GroupBox1");
  group_->installEventFilter(this);
  for (size_t i = 0; i < kCaptionNames.size(); ++i) {
    machine_captions_[i] = NewLabel(group_, kCaptionNames[i]);
    machine_values_[i] = NewLabel(group_, kValueNames[i]);
  }
  www_ = NewLabel(this, "lWWW");
  QFont link_font = www_->font();
  link_font.setUnderline(true);
  www_->setFont(link_font);
  www_->setStyleSheet("color: blue");
  www_->setCursor(Qt::PointingHandCursor);
  www_->installEventFilter(this);
  dealer_ = NewLabel(this, "dealer");
  dealer_->setAlignment(Qt::AlignCenter);
  dealer_->installEventFilter(this);

  const tInterfejs& texts = link_.texts;
  ApplyReadingOrder(*this, texts);
  ApplyTexts(*this, texts, "About");
  labelprog_->setText(
      LanguageText(texts, "About", "labelprog.caption") + " " +
      QString::fromUtf8(kApplicationTitle.data(), static_cast<qsizetype>(kApplicationTitle.size())));

  layout_ = AboutLayoutFor(setup_.dealer_code, setup_.program_folder, setup_.addresses);
  const QString link_text = QString::fromStdString(layout_.link);
  www_->setText(link_text);
  www_->setVisible(layout_.link_visible);
  dealer_->setToolTip(link_text);
  if (!link_text.isEmpty()) dealer_->setCursor(Qt::PointingHandCursor);
  machine_captions_[0]->setVisible(layout_.producer_visible);
  machine_values_[0]->setVisible(layout_.producer_visible);
  const QPixmap picture =
      layout_.picture_file.empty() ? QPixmap() : QPixmap(QString::fromStdString(layout_.picture_file));
  if (picture.isNull()) {
    // A picture that cannot be read counts as none: the window keeps its height without it.
    layout_.picture_file.clear();
    layout_.height = kAboutHeight;
  }
  LayOut();
  if (!picture.isNull()) {
    dealer_->setPixmap(picture.scaled(dealer_->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
  dealer_->setVisible(!picture.isNull());
}

QLabel* TAboutBox::NewLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  return label;
}

void TAboutBox::Place(QWidget& widget, int x, int y, int width, int height) {
  const int parent_width = widget.parentWidget() != nullptr ? widget.parentWidget()->width() : this->width();
  const int left = layoutDirection() == Qt::RightToLeft ? parent_width - x - width : x;
  widget.setGeometry(left, y, width, height);
}

void TAboutBox::LayOut() {
  int caption_width = labelver_->fontMetrics().horizontalAdvance(labelver_->text());
  for (QLabel* caption : machine_captions_) {
    caption_width = std::max(caption_width, caption->fontMetrics().horizontalAdvance(caption->text()));
  }
  caption_width += 8;
  const int window_width = std::max(kMinimumWidth, 2 * kMargin + caption_width + kValueColumnWidth);
  setFixedSize(window_width, layout_.height);

  Place(*labelprog_, kMargin, 10, window_width - 2 * kMargin, kRowHeight);
  Place(*labelver_, kMargin, 34, caption_width, kRowHeight);
  const int version_width = kValueColumnWidth / 3;
  Place(*new_ver_, kMargin + caption_width, 34, version_width, kRowHeight);
  Place(*ver_, kMargin + caption_width + version_width, 34, kValueColumnWidth - version_width, kRowHeight);

  Place(*group_, kMargin - 4, kGroupTop, window_width - 2 * (kMargin - 4), kGroupHeight);
  const int value_width = group_->width() - 8 - caption_width - 8;
  for (size_t i = 0; i < machine_captions_.size(); ++i) {
    const int shift = i == 0 ? 0 : layout_.rows_shift_up;
    const int y = kGroupFirstRow + static_cast<int>(i) * kRowHeight - shift;
    Place(*machine_captions_[i], 8, y, caption_width, kRowHeight);
    Place(*machine_values_[i], 8 + caption_width, y, value_width, kRowHeight);
  }
  Place(*www_, kMargin, kLinkTop, window_width - 2 * kMargin, kRowHeight);
  Place(*dealer_, kMargin - 4, kPictureTop, window_width - 2 * (kMargin - 4), kPictureHeight);
}

void TAboutBox::Activate() {
  const tInterfejs& texts = link_.texts;
  setWindowTitle(LanguageText(texts, "About", "Caption"));
  new_ver_->setText(QString::fromStdString(ProgramVersion(true, false)));
  ver_->setText(
      QString::fromStdString(ProgramFileDate(setup_.program_file, texts.GetText("About", "nieznanaData"))));
  const MachineTexts machine = ReadMachineTexts(link_);
  const std::array<const std::string*, 5> values = {&machine.prod, &machine.model, &machine.obszar,
                                                    &machine.przebieg, &machine.ilpl};
  for (size_t i = 0; i < values.size(); ++i) machine_values_[i]->setText(QString::fromStdString(*values[i]));
}

void TAboutBox::setVisible(bool visible) {
  if (visible && !isVisible()) Activate();
  QDialog::setVisible(visible);
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
  event->accept();
  accept();
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
  event->accept();
  accept();
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress) return QDialog::eventFilter(watched, event);
  if (watched == www_) {
    OpenLink(opener_, www_->text());
  } else if (watched == dealer_) {
    OpenLink(opener_, dealer_->toolTip());
  } else if (watched == group_) {
    accept();
  } else {
    return QDialog::eventFilter(watched, event);
  }
  return true;
}

void ShowAbout(MachineLink& link, const AboutSetup& setup, DocumentOpener& opener, QWidget* parent) {
  TAboutBox window(link, setup, opener, parent);
  window.exec();
}

}  // namespace varnholt
