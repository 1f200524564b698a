#pragma once
// The New text dialog: a text in one of the computer's fonts with its letter height in the display unit,
// spacing, alignment and welding, and a live preview of the outlines with their width and height.

#include <QDialog>
#include <QPainterPath>
#include <optional>

#include "project/text_drawing.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace varnholt {

class tInterfejs;

// The outlines of a text drawing, filled, fitted into the widget, with their width and height beside them.
class TextPreview final : public QWidget {
 public:
  explicit TextPreview(QWidget* parent = nullptr);
  // Shows the figures (nothing for none) with the two sizes as texts.
  void Show(const FigureList* figures, const QString& width_text, const QString& height_text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPainterPath outlines_;  // in plotter units, y up
  QString width_text_, height_text_;
};

class TTextDialog final : public QDialog {
 public:
  // The dialog over settings (the family is the first installed of the settings', DejaVu Sans and the
  // system's own); lengths in the display unit, the letter height up to max_height_mm. The texts must outlive
  // it.
  TTextDialog(const tInterfejs& texts, const TextSettings& settings, int unit, double max_height_mm,
              QWidget* parent = nullptr);

  // The settings the fields hold.
  TextSettings Settings() const;
  // Draws the fields' text now rather than after the short pause that follows every change.
  void Refresh();
  // The latest drawing, or why there is none.
  const TextOutcome& outcome() const { return outcome_; }
  TextOutcome TakeOutcome() { return std::move(outcome_); }

 private:
  void Build();
  void ShowSettings(const TextSettings& settings);
  void FillStyles(const std::string& keep);
  void Changed();
  QString Length(double mm) const;

  const tInterfejs& texts_;
  int unit_;
  double max_height_mm_;
  TextOutcome outcome_;

  QPlainTextEdit* text_ = nullptr;
  QFontComboBox* family_ = nullptr;
  QComboBox* style_ = nullptr;
  QDoubleSpinBox* height_ = nullptr;
  QDoubleSpinBox* spacing_ = nullptr;
  QDoubleSpinBox* line_spacing_ = nullptr;
  QComboBox* alignment_ = nullptr;
  QCheckBox* weld_ = nullptr;
  TextPreview* preview_ = nullptr;
  QLabel* size_ = nullptr;
  QPushButton* create_ = nullptr;
  QTimer* pause_ = nullptr;
};

// Opens the dialog modally over settings; on Create the settings are kept there and their drawing returned,
// nothing when the operator cancels.
std::optional<TextDrawing> AskForText(QWidget* parent, const tInterfejs& texts, TextSettings& settings,
                                      int unit, double max_height_mm);

}  // namespace varnholt
