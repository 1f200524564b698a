#include "ui/qt_translations.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include "services/caption_text.h"

namespace varnholt {
namespace {

QString ButtonText(QMessageBox::StandardButton button) {
  QMessageBox box;
  return QString::fromStdString(WithoutMnemonics(box.addButton(button)->text().toStdString()));
}

TEST(QtTranslations, TheProgramsLanguageCodesNameQtsLocales) {
  EXPECT_EQ(QtLanguageOf("PL"), "pl");
  EXPECT_EQ(QtLanguageOf("DE"), "de");
  EXPECT_EQ(QtLanguageOf("US"), "en");
  EXPECT_EQ(QtLanguageOf("Cz"), "cz");
}

// The standard buttons of the operator's questions speak the program's language (the system's Qt translations are
// installed with the program's dependencies); the last language installed wins.
TEST(QtTranslations, MessageBoxButtonsFollowTheLanguage) {
  EXPECT_TRUE(InstallQtTranslations("US"));
  EXPECT_EQ(ButtonText(QMessageBox::Cancel), "Cancel");
  ASSERT_TRUE(InstallQtTranslations("PL"));
  EXPECT_EQ(ButtonText(QMessageBox::Cancel), "Anuluj");
  ASSERT_TRUE(InstallQtTranslations("DE"));
  EXPECT_EQ(ButtonText(QMessageBox::Cancel), "Abbrechen");
  EXPECT_FALSE(InstallQtTranslations("XX")) << "no Qt translation for an unknown language";
  EXPECT_EQ(ButtonText(QMessageBox::Cancel), "Abbrechen");
}

}  // namespace
}  // namespace varnholt
