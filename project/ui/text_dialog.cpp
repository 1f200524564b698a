#include "project/ui/text_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "config/display_unit.h"
#include "project/font_access.h"
#include "services/interfejs.h"
#include "ui/window_texts.h"

namespace varnholt {
namespace {

constexpr std::string_view kSection = "Text_window";
// The pause after a change before the preview follows it, in milliseconds: typing runs on undisturbed.
constexpr int kPreviewPauseMs = 150;
// The family a text starts in when the settings name none the system has.
constexpr const char* kFirstFamily = "DejaVu Sans";
// Room for the preview's dimension lines and their texts, in pixels.
constexpr int kMargin = 12;
constexpr int kDimensionRoom = 28;

const QColor kOutlineFill(200, 212, 232);
const QColor kDimension(90, 90, 90);

// Draws a dimension line from a to b with a short tick across each end.
void DrawDimension(QPainter& painter, QPointF a, QPointF b) {
  painter.drawLine(a, b);
  const QPointF along = b - a;
  const double length = std::hypot(along.x(), along.y());
  if (length <= 0.0) return;
  const QPointF across(-along.y() / length * 4.0, along.x() / length * 4.0);
  painter.drawLine(a - across, a + across);
  painter.drawLine(b - across, b + across);
}

}  // namespace

TextPreview::TextPreview(QWidget* parent) : QWidget(parent) {
  setObjectName("TextPreview");
  setMinimumSize(420, 180);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TextPreview::Show(const FigureList* figures, const QString& width_text, const QString& height_text) {
  outlines_ = QPainterPath();
  outlines_.setFillRule(Qt::OddEvenFill);
  if (figures != nullptr) {
    for (const auto& figure : *figures) {
      if (figure->points.empty()) continue;
      outlines_.moveTo(figure->points.front().x, figure->points.front().y);
      for (const TPlotPoint& p : figure->points) outlines_.lineTo(p.x, p.y);
      outlines_.closeSubpath();
    }
  }
  width_text_ = width_text;
  height_text_ = height_text;
  update();
}

void TextPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Base));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRectF box = outlines_.boundingRect();
  if (outlines_.isEmpty() || box.width() <= 0.0 || box.height() <= 0.0) return;
  const QRectF room =
      QRectF(rect()).adjusted(kMargin + kDimensionRoom, kMargin, -kMargin, -kMargin - kDimensionRoom);
  if (room.width() <= 0.0 || room.height() <= 0.0) return;
  const double scale = std::min(room.width() / box.width(), room.height() / box.height());
  const QPointF corner(room.center().x() - box.width() * scale / 2.0,
                       room.center().y() + box.height() * scale / 2.0);
  QTransform place;
  place.translate(corner.x(), corner.y());
  place.scale(scale, -scale);
  place.translate(-box.left(), -box.top());

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette().color(QPalette::Text), 0));
  painter.setBrush(kOutlineFill);
  painter.drawPath(place.map(outlines_));

  const QRectF shown = place.mapRect(box);
  painter.setPen(QPen(kDimension, 0));
  painter.setBrush(Qt::NoBrush);
  const double below = shown.bottom() + 8.0;
  DrawDimension(painter, {shown.left(), below}, {shown.right(), below});
  painter.drawText(QRectF(shown.left(), below + 2.0, shown.width(), kDimensionRoom - 10.0),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, width_text_);
  const double left = shown.left() - 8.0;
  DrawDimension(painter, {left, shown.top()}, {left, shown.bottom()});
  painter.save();
  painter.translate(left - 2.0, shown.center().y());
  painter.rotate(-90.0);
  painter.drawText(
      QRectF(-shown.height() / 2.0, -(kDimensionRoom - 10.0), shown.height(), kDimensionRoom - 10.0),
      Qt::AlignHCenter | Qt::AlignBottom | Qt::TextDontClip, height_text_);
  painter.restore();
}

TTextDialog::TTextDialog(const tInterfejs& texts, const TextSettings& settings, int unit,
                         double max_height_mm, QWidget* parent)
    : QDialog(parent), texts_(texts), unit_(unit), max_height_mm_(max_height_mm) {
  setObjectName("TextDialog");
  Build();
  ShowSettings(settings);
  Refresh();
}

void TTextDialog::Build() {
  const QString suffix =
      QStringLiteral(" ") +
      QString::fromUtf8(UnitName(unit_).data(), static_cast<qsizetype>(UnitName(unit_).size()));
  const int decimals = TextLengthDecimals(unit_);
  const auto length_field = [&](const char* name, double low_mm, double high_mm) {
    auto* field = new QDoubleSpinBox(this);
    field->setObjectName(name);
    field->setDecimals(decimals);
    field->setRange(FromMillimetres(low_mm, unit_), FromMillimetres(high_mm, unit_));
    field->setSingleStep(FromMillimetres(unit_ == kUnitMm ? 1.0 : 2.54, unit_));
    field->setSuffix(suffix);
    field->setKeyboardTracking(true);
    connect(field, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
    return field;
  };
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("edText");
  text_->setTabChangesFocus(true);
  text_->setFixedHeight(text_->fontMetrics().lineSpacing() * 3 + 12);
  connect(text_, &QPlainTextEdit::textChanged, this, [this] { Changed(); });
  family_ = new QFontComboBox(this);
  family_->setObjectName("cbFont");
  family_->setEditable(false);
  connect(family_, &QFontComboBox::currentFontChanged, this, [this] {
    FillStyles(style_->currentText().toStdString());
    Changed();
  });
  style_ = new QComboBox(this);
  style_->setObjectName("cbStyle");
  connect(style_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  height_ = length_field("seHeight", kMinLetterHeightMm, max_height_mm_);
  spacing_ = length_field("seSpacing", -max_height_mm_, max_height_mm_);
  line_spacing_ = length_field("seLineSpacing", 0.0, 10.0 * max_height_mm_);
  line_spacing_->setSpecialValueText(LanguageText(texts_, kSection, "seLineSpacing.auto"));
  alignment_ = new QComboBox(this);
  alignment_->setObjectName("cbAlign");
  for (int i = 0; i < 3; ++i) {
    alignment_->addItem(LanguageText(texts_, kSection, "cbAlign.Item" + std::to_string(i)));
  }
  connect(alignment_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  weld_ = new QCheckBox(this);
  weld_->setObjectName("cbWeld");
  connect(weld_, &QCheckBox::toggled, this, [this] { Changed(); });

  auto* fields = new QGridLayout;
  const struct {
    const char* caption;
    QWidget* field;
  } placed[] = {{"lblText", text_},      {"lblFont", family_},     {"lblStyle", style_},
                {"lblHeight", height_},  {"lblSpacing", spacing_}, {"lblLineSpacing", line_spacing_},
                {"lblAlign", alignment_}};
  for (int i = 0; i < static_cast<int>(std::size(placed)); ++i) {
    auto* caption = new QLabel(this);
    caption->setObjectName(placed[i].caption);
    caption->setBuddy(placed[i].field);
    // After the text, which takes a row of its own, two fields a row.
    const int row = i == 0 ? 0 : 1 + (i - 1) / 2, column = i == 0 ? 0 : 2 * ((i - 1) % 2);
    fields->addWidget(caption, row, column, i == 0 ? Qt::AlignTop : Qt::Alignment());
    fields->addWidget(placed[i].field, row, column + 1, 1, i == 0 ? 3 : 1);
  }
  fields->addWidget(weld_, 4, 1, 1, 3);
  fields->setColumnStretch(1, 1);
  fields->setColumnStretch(3, 1);

  preview_ = new TextPreview(this);
  size_ = new QLabel(this);
  size_->setObjectName("lblSize");
  size_->setWordWrap(true);
  create_ = new QPushButton(this);
  create_->setObjectName("btnUtworz");
  create_->setDefault(true);
  connect(create_, &QPushButton::clicked, this, [this] {
    Refresh();
    if (!outcome_.problem) accept();
  });
  auto* cancel = new QPushButton(this);
  cancel->setObjectName("btnAnuluj");
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(size_, 1);
  buttons->addWidget(create_);
  buttons->addWidget(cancel);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(preview_, 1);
  layout->addLayout(buttons);

  pause_ = new QTimer(this);
  pause_->setSingleShot(true);
  pause_->setInterval(kPreviewPauseMs);
  connect(pause_, &QTimer::timeout, this, [this] { Refresh(); });

  ApplyTexts(*this, texts_, kSection);
  ApplyReadingOrder(*this, texts_);
  resize(760, 560);
}

void TTextDialog::ShowSettings(const TextSettings& settings) {
  const QSignalBlocker blocks[] = {QSignalBlocker(text_),      QSignalBlocker(family_),
                                   QSignalBlocker(style_),     QSignalBlocker(height_),
                                   QSignalBlocker(spacing_),   QSignalBlocker(line_spacing_),
                                   QSignalBlocker(alignment_), QSignalBlocker(weld_)};
  text_->setPlainText(QString::fromStdString(settings.text));
  std::optional<std::string> family = InstalledFamily(settings.family);
  if (!family) family = InstalledFamily(kFirstFamily);
  if (family) family_->setCurrentFont(QFont(QString::fromStdString(*family)));
  FillStyles(settings.style);
  height_->setValue(FromMillimetres(settings.letter_height_mm, unit_));
  spacing_->setValue(FromMillimetres(settings.letter_spacing_mm, unit_));
  line_spacing_->setValue(FromMillimetres(std::max(0.0, settings.line_spacing_mm), unit_));
  alignment_->setCurrentIndex(static_cast<int>(settings.alignment));
  weld_->setChecked(settings.weld);
}

void TTextDialog::FillStyles(const std::string& keep) {
  const QSignalBlocker block(style_);
  const std::string family = family_->currentFont().family().toStdString();
  const std::vector<std::string> styles = FontStyles(family);
  style_->clear();
  for (const std::string& style : styles) style_->addItem(QString::fromStdString(style));
  // The style kept when the family has it, else the family's upright regular one.
  std::optional<std::string> chosen = MatchingStyle(styles, keep);
  if (!chosen)
    chosen =
        MatchingStyle(styles, QFontInfo(QFont(QString::fromStdString(family))).styleName().toStdString());
  if (chosen) style_->setCurrentText(QString::fromStdString(*chosen));
}

TextSettings TTextDialog::Settings() const {
  TextSettings settings;
  settings.text = text_->toPlainText().toStdString();
  settings.family = family_->currentFont().family().toStdString();
  settings.style = style_->currentText().toStdString();
  settings.letter_height_mm = ToMillimetres(height_->value(), unit_);
  settings.letter_spacing_mm = ToMillimetres(spacing_->value(), unit_);
  settings.line_spacing_mm = ToMillimetres(line_spacing_->value(), unit_);
  settings.alignment = static_cast<TextAlignment>(std::clamp(alignment_->currentIndex(), 0, 2));
  settings.weld = weld_->isChecked();
  return settings;
}

QString TTextDialog::Length(double mm) const {
  return QLocale().toString(FromMillimetres(mm, unit_), 'f', TextLengthDecimals(unit_)) + " " +
         QString::fromStdString(std::string(UnitName(unit_)));
}

void TTextDialog::Changed() {
  // Create stays at hand while the preview catches up: pressed, it draws the fields first and creates only
  // what can be drawn.
  create_->setEnabled(true);
  pause_->start();
}

void TTextDialog::Refresh() {
  pause_->stop();
  outcome_ = MakeTextDrawing(Settings(), max_height_mm_);
  if (outcome_.problem) {
    const TextLookup lookup = [this](std::string_view section, std::string_view key) {
      return texts_.GetText(section, key);
    };
    preview_->Show(nullptr, {}, {});
    size_->setStyleSheet(QStringLiteral("color: #b00000"));
    size_->setText(QString::fromStdString(TextProblemText(*outcome_.problem, lookup, unit_, max_height_mm_)));
    create_->setEnabled(false);
    return;
  }
  const TextDrawing& drawing = outcome_.drawing;
  const QString width = Length(drawing.width_mm), height = Length(drawing.height_mm);
  preview_->Show(&drawing.figures, width, height);
  size_->setStyleSheet(QString());
  size_->setText(LanguageText(texts_, kSection, "rozmiar") + width + QStringLiteral(" \u00d7 ") + height);
  create_->setEnabled(true);
}

std::optional<TextDrawing> AskForText(QWidget* parent, const tInterfejs& texts, TextSettings& settings,
                                      int unit, double max_height_mm) {
  TTextDialog dialog(texts, settings, unit, max_height_mm, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  settings = dialog.Settings();
  TextOutcome outcome = dialog.TakeOutcome();
  if (outcome.problem) return std::nullopt;
  return std::move(outcome.drawing);
}

}  // namespace varnholt
