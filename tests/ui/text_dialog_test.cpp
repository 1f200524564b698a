// The New text dialog: lengths in the display unit, the preview and size following the fields, problems that
// keep Create from being pressed, and its texts in every language.

#include "project/ui/text_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>

#include "config/display_unit.h"
#include "services/interfejs.h"
#include "services/language_file.h"
#include "support/window_support.h"

namespace varnholt {
namespace {

using testing::Child;

class TextWindow : public ::testing::Test {
 protected:
  TextWindow() { testing::CopyLanguageFiles(VARNHOLT_LANGUAGE_DIR, folder_); }

  const tInterfejs& Texts(int country) {
    texts_ = std::make_unique<tInterfejs>(InterfaceSetup{folder_.folder(), {}, country, ""});
    return *texts_;
  }

  testing::TempFolder folder_;
  testing::RecordingQtOperator op_;
  ScopedOperator installed_{op_};
  std::unique_ptr<tInterfejs> texts_;
};

TEST_F(TextWindow, FieldsInTheDisplayUnitGiveMillimetresAndThePreviewFollowsThem) {
  const tInterfejs& texts = Texts(1);
  TextSettings settings;
  settings.text = "HI";
  settings.family = "dejavu sans";
  settings.style = "Bold";
  settings.letter_height_mm = 254.0;
  settings.letter_spacing_mm = 12.7;
  settings.weld = false;
  TTextDialog dialog(texts, settings, kUnitInch, 2400.0);
  dialog.show();
  auto& height = Child<QDoubleSpinBox>(dialog, "seHeight");
  EXPECT_DOUBLE_EQ(height.value(), 10.0);
  EXPECT_EQ(height.suffix(), " in");
  EXPECT_EQ(Child<QFontComboBox>(dialog, "cbFont").currentFont().family(), "DejaVu Sans");
  EXPECT_EQ(Child<QComboBox>(dialog, "cbStyle").currentText(), "Bold");
  const TextSettings shown = dialog.Settings();
  EXPECT_NEAR(shown.letter_height_mm, 254.0, 1e-9);
  EXPECT_NEAR(shown.letter_spacing_mm, 12.7, 1e-9);
  EXPECT_FALSE(shown.weld);
  ASSERT_FALSE(dialog.outcome().problem);
  const QString size = Child<QLabel>(dialog, "lblSize").text();
  EXPECT_TRUE(size.startsWith(QString::fromStdString(texts.GetText("Text_window", "rozmiar"))))
      << size.toStdString();
  EXPECT_TRUE(size.endsWith(" in")) << size.toStdString();
  EXPECT_NEAR(dialog.outcome().drawing.height_mm, 254.0, 0.025) << "the capital is the text's height";

  // Typing is followed after a short pause: a blank text cannot be created.
  Child<QPlainTextEdit>(dialog, "edText").setPlainText(" ");
  auto& create = Child<QPushButton>(dialog, "btnUtworz");
  EXPECT_TRUE(create.isEnabled()) << "not at once";
  testing::ProcessEventsFor(400);
  EXPECT_FALSE(create.isEnabled());
  EXPECT_EQ(Child<QLabel>(dialog, "lblSize").text().toStdString(),
            texts.GetText("Text_window", "tekstPusty"));

  // Another family offers its own styles, keeping the chosen one where it has it.
  Child<QFontComboBox>(dialog, "cbFont").setCurrentFont(QFont("DejaVu Serif"));
  EXPECT_EQ(Child<QComboBox>(dialog, "cbStyle").currentText(), "Bold");
  Child<QPlainTextEdit>(dialog, "edText").setPlainText("Ag");
  dialog.Refresh();
  EXPECT_EQ(dialog.outcome().drawing.family, "DejaVu Serif");
  create.click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(TextWindow, EveryTextOfTheDialogComesFromTheLanguage) {
  for (const int country : {48, 1, 49}) {
    const tInterfejs& texts = Texts(country);
    TTextDialog dialog(texts, TextSettings{}, kUnitMm, 2400.0);
    EXPECT_EQ(dialog.windowTitle().toStdString(), texts.GetText("Text_window", "caption"));
    for (const char* name :
         {"lblText", "lblFont", "lblStyle", "lblHeight", "lblSpacing", "lblLineSpacing", "lblAlign"}) {
      const QString text = Child<QLabel>(dialog, name).text();
      EXPECT_FALSE(text.isEmpty() || text.toStdString() == kMissingText) << country << " " << name;
    }
    for (const char* name : {"cbWeld", "btnUtworz", "btnAnuluj"}) {
      const QString text = Child<QAbstractButton>(dialog, name).text();
      EXPECT_FALSE(text.isEmpty() || text.toStdString() == kMissingText) << country << " " << name;
    }
    auto& align = Child<QComboBox>(dialog, "cbAlign");
    for (int i = 0; i < align.count(); ++i)
      EXPECT_NE(align.itemText(i).toStdString(), kMissingText) << country;
    EXPECT_NE(Child<QDoubleSpinBox>(dialog, "seLineSpacing").specialValueText().toStdString(), kMissingText);
    EXPECT_NE(Child<QDoubleSpinBox>(dialog, "seHeight").toolTip().toStdString(), "") << country;
    EXPECT_EQ(Child<QLabel>(dialog, "lblSize").text().toStdString(),
              texts.GetText("Text_window", "tekstPusty"))
        << "an empty text asks for one";
  }
}

}  // namespace
}  // namespace varnholt
