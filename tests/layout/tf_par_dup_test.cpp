// The duplication dialog driven as a person drives it: typing, focus, Enter and Esc, the checks in their order with
// the messages through the operator, the defaults button, the ".dpl" file written and shown again.

#include "layout/ui/tf_par_dup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "config/display_unit.h"
#include "layout/dpl_file.h"
#include "layout/duplicate_project.h"
#include "layout/ui/duplicate_elements.h"
#include "services/interfejs.h"
#include "services/scripted_operator.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// The sample disc (130 x 60 mm, with a lead-in) opened from a folder of the test's own, and the shipped texts.
class DuplicationDialog : public ::testing::Test {
 protected:
  DuplicationDialog() {
    std::filesystem::copy_file(std::string(VARNHOLT_LANGUAGE_DIR) + "/Samples/disc_with_lead_in.plt", drawing_);
    EXPECT_TRUE(pattern_.Load(drawing_, kAllPens));
  }

  // A dialog shown and active, as the main window opens it.
  std::unique_ptr<TfParDup> Open(int unit = kUnitMm) {
    auto dialog = std::make_unique<TfParDup>(pattern_, drawing_, dpl_, texts_, unit, '.');
    dialog->show();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    return dialog;
  }
  template <typename Widget = QLineEdit>
  static Widget* Find(const TfParDup& dialog, const char* name) {
    auto* widget = dialog.findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Replaces a field's text as a person does: click in, select all, type.
  static void Type(const TfParDup& dialog, const char* field, const QString& text) {
    QLineEdit* edit = Find(dialog, field);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  static QString Text(const TfParDup& dialog, const char* name) {
    if (auto* label = dialog.findChild<QLabel*>(name)) return label->text();
    return Find(dialog, name)->text();
  }
  static QString FocusedName() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : ""; }
  std::vector<std::string> Messages() const {
    std::vector<std::string> shown;
    for (const auto& m : op_.messages()) shown.push_back(m.text);
    return shown;
  }

  testing::TempFolder folder_;
  const std::string drawing_ = folder_.PathOf("disc.plt");
  const std::string dpl_ = folder_.PathOf("disc.dpl");
  const ProgramFolders folders_ = OneProgramFolder(folder_.folder());
  ScriptedOperator op_;
  ScopedOperator installed_{op_};
  tInterfejs texts_{InterfaceSetup{VARNHOLT_LANGUAGE_DIR "/", {"us"}, 1, ""}};
  ProjectDocument pattern_{[](std::string_view, std::string_view) { return std::string(); }};
};

TEST_F(DuplicationDialog, ShowsThePatternAndTheDefaults) {
  const auto dialog = Open();
  EXPECT_EQ(dialog->windowTitle(), "Duplicate");
  EXPECT_EQ(Find(*dialog, "ePlik")->text().toStdString(), drawing_);
  EXPECT_EQ(Find(*dialog, "ePlik")->toolTip().toStdString(), drawing_);
  EXPECT_TRUE(Find(*dialog, "ePlik")->isReadOnly());
  EXPECT_EQ(Text(*dialog, "pWzorzecSzerokosc"), "130.0 ");
  EXPECT_EQ(Text(*dialog, "pWzorzecWysokosc"), "60.0 ");
  EXPECT_EQ(Text(*dialog, "feIloscElemWWierszu"), "2");
  EXPECT_EQ(Text(*dialog, "feIloscWierszy"), "1");
  EXPECT_EQ(Text(*dialog, "feuPrzesuniecieMdzyElem"), "140");
  EXPECT_EQ(Text(*dialog, "feuPrzesMdzyWierszami"), "70");
  EXPECT_EQ(Text(*dialog, "feuOdlMdzyEl_i_laczPionowym"), "5");
  EXPECT_EQ(Text(*dialog, "feuOdlMdzyEl_i_laczPoziomym"), "5");
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "280.0 ");
  EXPECT_EQ(Text(*dialog, "pCalyWys"), "70.0 ");
  EXPECT_EQ(Find<QPushButton>(*dialog, "btnZatwierdz")->text(), "Execute");
  EXPECT_EQ(Text(*dialog, "lPrzesuniecieMdzyElem2"), "(element width + gap to the next one)");
}

TEST_F(DuplicationDialog, WholeSizeFollowsTheFieldsAndCaptionsAreBoldWhileEdited) {
  const auto dialog = Open();
  QLabel* caption = Find<QLabel>(*dialog, "lPrzesMdzyWierszami1");
  QLabel* second_line = Find<QLabel>(*dialog, "lPrzesMdzyWierszami2");
  EXPECT_FALSE(caption->font().bold());
  Type(*dialog, "feuPrzesMdzyWierszami", "80.5");
  EXPECT_TRUE(caption->font().bold());
  EXPECT_TRUE(second_line->font().bold());
  EXPECT_EQ(Text(*dialog, "pCalyWys"), "80.5 ");
  Type(*dialog, "feIloscWierszy", "3");
  EXPECT_FALSE(caption->font().bold()) << "normal again once left";
  EXPECT_TRUE(Find<QLabel>(*dialog, "lIloscWierszy")->font().bold());
  EXPECT_EQ(Text(*dialog, "pCalyWys"), "241.5 ");
  Type(*dialog, "feIloscElemWWierszu", "4");
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "560.0 ");
  Type(*dialog, "feuPrzesuniecieMdzyElem", "150,25");
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "601.0 ");
  // Letters cannot be typed; a field left empty shows its value again.
  Type(*dialog, "feIloscElemWWierszu", "x");
  EXPECT_EQ(Text(*dialog, "feIloscElemWWierszu"), "4");
  QTest::keyClick(Find(*dialog, "feIloscElemWWierszu"), Qt::Key_Backspace);
  EXPECT_EQ(Text(*dialog, "feIloscElemWWierszu"), "");
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "601.0 ");
  Find(*dialog, "feIloscWierszy")->setFocus();
  EXPECT_EQ(Text(*dialog, "feIloscElemWWierszu"), "4");
}

TEST_F(DuplicationDialog, ChecksInOrderWithTheMessageAndTheFieldFocused) {
  const auto dialog = Open();
  Type(*dialog, "feIloscWierszy", "0");
  Type(*dialog, "feIloscElemWWierszu", "0");
  QTest::keyClick(Find(*dialog, "feIloscElemWWierszu"), Qt::Key_Return);
  EXPECT_EQ(FocusedName(), "feIloscElemWWierszu");
  Type(*dialog, "feIloscElemWWierszu", "2.7");  // counts are truncated: 2
  QTest::keyClick(Find(*dialog, "feIloscElemWWierszu"), Qt::Key_Return);
  EXPECT_EQ(FocusedName(), "feIloscWierszy");
  Type(*dialog, "feIloscWierszy", "1");
  Type(*dialog, "feuPrzesMdzyWierszami", "59.99");
  QTest::keyClick(Find(*dialog, "feuPrzesMdzyWierszami"), Qt::Key_Return);
  EXPECT_EQ(FocusedName(), "feuPrzesMdzyWierszami");
  Type(*dialog, "feuPrzesMdzyWierszami", "70");
  Type(*dialog, "feuOdlMdzyEl_i_laczPoziomym", "10");
  QTest::keyClick(Find(*dialog, "feuOdlMdzyEl_i_laczPoziomym"), Qt::Key_Return);
  EXPECT_EQ(FocusedName(), "feuOdlMdzyEl_i_laczPoziomym");
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Invalid number of elements in a row.", "Invalid number of rows.",
                            "The offset between the rows is too small.\r\nmin: 60.00 mm",
                            "The distance to the horizontal connecting line is too large."}));
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(std::filesystem::exists(dpl_));
}

// A pitch equal to the width passes without the question; a smaller one asks, Cancel stays at the pitch, and Yes
// builds the overlapping grid.
TEST_F(DuplicationDialog, OverlapIsAskedOnlyBelowThePatternWidth) {
  auto dialog = Open();
  Type(*dialog, "feuPrzesuniecieMdzyElem", "130");
  QTest::keyClick(Find(*dialog, "feuPrzesuniecieMdzyElem"), Qt::Key_Return);
  EXPECT_TRUE(op_.questions().empty());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_NE(ReadFile(dpl_).find("Space between the elements=130\r\n"), std::string::npos);

  dialog = Open();
  Type(*dialog, "feuPrzesuniecieMdzyElem", "129.99");
  QTest::keyClick(Find(*dialog, "feuPrzesuniecieMdzyElem"), Qt::Key_Return);
  ASSERT_EQ(op_.questions().size(), 1u);
  EXPECT_EQ(op_.questions()[0].text,
            "The elements will overlap.\r\nWidth of one element: 130.00 mm\r\n\r\nDo you accept this?");
  EXPECT_EQ(FocusedName(), "feuPrzesuniecieMdzyElem") << "Cancel stays at the pitch";
  EXPECT_TRUE(dialog->isVisible());
  op_.AnswerNext(kButtonYes);
  QTest::keyClick(Find(*dialog, "feuPrzesuniecieMdzyElem"), Qt::Key_Return);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_TRUE(Messages().empty());
  const std::optional<DuplicationParameters> kept = ReadDplFile(dpl_, pattern_.project_width, pattern_.project_height).values;
  ASSERT_TRUE(kept);
  EXPECT_DOUBLE_EQ(kept->column_pitch, 129.99);
  const auto grid = BuildDuplicate(pattern_, *kept, [](std::string_view, std::string_view) { return std::string(); });
  EXPECT_TRUE(grid->planned) << "the overlapping grid is built and planned";
}

TEST_F(DuplicationDialog, DefaultsButtonKeepsTheCounts) {
  const auto dialog = Open();
  Type(*dialog, "feIloscElemWWierszu", "5");
  Type(*dialog, "feuPrzesuniecieMdzyElem", "300");
  Type(*dialog, "feuOdlMdzyEl_i_laczPoziomym", "1");
  QTest::mouseClick(Find<QPushButton>(*dialog, "btnParDomyslne"), Qt::LeftButton);
  EXPECT_EQ(Text(*dialog, "feIloscElemWWierszu"), "5");
  EXPECT_EQ(Text(*dialog, "feuPrzesuniecieMdzyElem"), "140");
  EXPECT_EQ(Text(*dialog, "feuOdlMdzyEl_i_laczPoziomym"), "5");
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "700.0 ");
  EXPECT_EQ(FocusedName(), "feIloscElemWWierszu");
}

TEST_F(DuplicationDialog, EnterRemembersTheValuesAndTheNextOpeningShowsThem) {
  {
    const auto dialog = Open();
    Type(*dialog, "feIloscElemWWierszu", "3");
    Type(*dialog, "feIloscWierszy", "2");
    Type(*dialog, "feuPrzesuniecieMdzyElem", "150.5");
    Type(*dialog, "feuOdlMdzyEl_i_laczPionowym", "0");  // becomes one unit
    QTest::keyClick(Find(*dialog, "feuOdlMdzyEl_i_laczPionowym"), Qt::Key_Enter);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(Messages().empty());
  }
  EXPECT_NE(ReadFile(dpl_).find("Space between the elements and the vertical connecting line=0.025\r\n"),
            std::string::npos);
  const auto again = Open();
  EXPECT_EQ(Text(*again, "feIloscElemWWierszu"), "3");
  EXPECT_EQ(Text(*again, "feIloscWierszy"), "2");
  EXPECT_EQ(Text(*again, "feuPrzesuniecieMdzyElem"), "150.5");
  EXPECT_EQ(Text(*again, "feuOdlMdzyEl_i_laczPionowym"), "0.025");
  EXPECT_EQ(Text(*again, "pCalySzer"), "451.5 ");
  // Esc closes without writing.
  Type(*again, "feIloscElemWWierszu", "7");
  QTest::keyClick(Find(*again, "feIloscElemWWierszu"), Qt::Key_Escape);
  EXPECT_EQ(again->result(), QDialog::Rejected);
  EXPECT_NE(ReadFile(dpl_).find("Number of elements in a row=3\r\n"), std::string::npos);
}

TEST_F(DuplicationDialog, LengthsInTheDisplayUnit) {
  const auto dialog = Open(kUnitInch);
  EXPECT_EQ(Text(*dialog, "pWzorzecSzerokosc"), "5.12 ");
  EXPECT_EQ(Text(*dialog, "feuOdlMdzyEl_i_laczPionowym"), "0.1969");
  Type(*dialog, "feuPrzesuniecieMdzyElem", "6");
  EXPECT_DOUBLE_EQ(dialog->Values().column_pitch, 152.4);
  EXPECT_EQ(Text(*dialog, "pCalySzer"), "12.00 ");
  // Values not typed again keep their millimetres, unrounded by what the field shows.
  EXPECT_DOUBLE_EQ(dialog->Values().vertical_distance, 5.0);
}

TEST_F(DuplicationDialog, AFailedWriteKeepsTheDialogOpen) {
  std::filesystem::create_directory(dpl_);  // a folder where the file should go
  const auto dialog = Open();
  QTest::keyClick(Find(*dialog, "feIloscElemWWierszu"), Qt::Key_Return);
  // Told when the dialog opened that the values could not be read, and now that they cannot be kept.
  ASSERT_EQ(Messages().size(), 2u);
  EXPECT_NE(Messages()[0].find("File access denied: is a directory (" + dpl_ + ")"), std::string::npos);
  EXPECT_EQ(Messages()[1], "File access denied: is a directory (" + dpl_ + ")");
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DuplicationDialog, TheEntryPointReturnsThePlannedGridOrNothing) {
  // Answers the modal dialog once it is up: Esc the first time, Enter the second.
  int key = Qt::Key_Escape;
  const auto answer = [&key] {
    QTimer::singleShot(0, [&key] {
      QWidget* modal = QApplication::activeModalWidget();
      ASSERT_NE(modal, nullptr);
      QTest::keyClick(modal, static_cast<Qt::Key>(key));
    });
  };
  answer();
  EXPECT_FALSE(DuplicateElements(nullptr, pattern_, drawing_, folders_, texts_, kUnitMm));
  key = Qt::Key_Return;
  answer();
  const std::optional<DuplicatedProject> result = DuplicateElements(nullptr, pattern_, drawing_, folders_, texts_, kUnitMm);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->caption, dpl_);
  EXPECT_EQ(result->project->drawing_figure_count, 2 * pattern_.figures.size() + 1);
  for (const auto& figure : result->project->figures) EXPECT_EQ(figure->plan_flag_2, 0);
  // The result is not a pattern: no dialog opens for it.
  EXPECT_FALSE(DuplicateElements(nullptr, *result->project, result->caption, folders_, texts_, kUnitMm));
}

TEST_F(DuplicationDialog, AShippedSamplesValuesGoToTheAccountsFolderAndTheOperatorIsToldWhere) {
  // The shipped folder of an installed program, which is never written, and the account's data folder.
  testing::TempFolder shipped, account;
  const std::string sample = shipped.PathOf("Samples/disc.plt");
  std::filesystem::create_directories(shipped.PathOf("Samples"));
  std::filesystem::copy_file(drawing_, sample);
  const ProgramFolders installed{shipped.folder(), account.folder(), true};
  const std::string kept = account.PathOf("Samples/disc.dpl");
  QTimer::singleShot(0, [] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    auto* columns = modal->findChild<QLineEdit*>("feIloscElemWWierszu");
    ASSERT_NE(columns, nullptr);
    columns->setFocus();
    columns->selectAll();
    QTest::keyClicks(columns, "3");
    QTest::keyClick(modal, Qt::Key_Return);
  });
  const std::optional<DuplicatedProject> result =
      DuplicateElements(nullptr, pattern_, sample, installed, texts_, kUnitMm);
  ASSERT_TRUE(result);
  EXPECT_EQ(result->caption, kept);
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_EQ(std::filesystem::status(account.PathOf("Samples")).permissions(), std::filesystem::perms::owner_all)
      << "the account's folders are its own";
  EXPECT_FALSE(std::filesystem::exists(shipped.PathOf("Samples/disc.dpl")));
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, texts_.GetText("Duplication_parameters", "dplWFolderzeKonta") + kept);
  EXPECT_FALSE(op_.messages()[0].is_error);

  // The next time the same sample shows the values kept there, and saving them again tells nothing new.
  TfParDup again(pattern_, sample, DplPathFor(sample, installed), texts_, kUnitMm, '.');
  EXPECT_EQ(again.Values().columns, 3);
  QTimer::singleShot(0, [] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QTest::keyClick(modal, Qt::Key_Return);
  });
  ASSERT_TRUE(DuplicateElements(nullptr, pattern_, sample, installed, texts_, kUnitMm));
  EXPECT_EQ(op_.messages().size(), 1u);
}

// A drawing whose folder cannot be written is duplicated all the same: its values go to the account's folder, and the
// operator is told where.
TEST_F(DuplicationDialog, ADrawingInAFolderThatCannotBeWrittenKeepsItsValuesInTheAccountsFolder) {
  const std::string drawing = "/sys/disc.plt";
  const std::string kept = folder_.PathOf("Duplication/sys/disc.dpl");
  QTimer::singleShot(0, [] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    QTest::keyClick(modal, Qt::Key_Return);
    // A dialog the write kept open is closed, so that a failure ends the test rather than waits.
    QTimer::singleShot(0, [] {
      if (QWidget* still = QApplication::activeModalWidget()) QTest::keyClick(still, Qt::Key_Escape);
    });
  });
  const std::optional<DuplicatedProject> result = DuplicateElements(nullptr, pattern_, drawing, folders_, texts_, kUnitMm);
  ASSERT_TRUE(result) << (Messages().empty() ? "" : Messages()[0]);
  EXPECT_EQ(result->caption, kept);
  EXPECT_TRUE(std::filesystem::exists(kept));
  ASSERT_EQ(op_.messages().size(), 1u);
  EXPECT_EQ(op_.messages()[0].text, texts_.GetText("Duplication_parameters", "dplWFolderzeKonta") + kept);
}

TEST_F(DuplicationDialog, CaptionsFitInEveryLanguage) {
  for (const char* language : {"pl", "us", "de"}) {
    const tInterfejs texts(InterfaceSetup{VARNHOLT_LANGUAGE_DIR "/", {language}, 1, ""});
    TfParDup dialog(pattern_, drawing_, dpl_, texts, kUnitMm, ',');
    dialog.show();
    QApplication::processEvents();
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      const bool captioned = qobject_cast<QLabel*>(widget) || qobject_cast<QPushButton*>(widget);
      if (!captioned || !widget->isVisible()) continue;
      EXPECT_GE(widget->width(), widget->sizeHint().width()) << language << ": " << widget->objectName().toStdString();
      if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("p")) {
        const QString text = qobject_cast<QLabel*>(widget) ? qobject_cast<QLabel*>(widget)->text()
                                                            : qobject_cast<QPushButton*>(widget)->text();
        EXPECT_NE(text, "error") << language << ": " << widget->objectName().toStdString();
        EXPECT_FALSE(text.isEmpty()) << language << ": " << widget->objectName().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace varnholt
