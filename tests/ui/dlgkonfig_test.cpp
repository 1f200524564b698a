#include "config/ui/dlgkonfig.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "config/konfig_file.h"
#include "config/program_settings.h"
#include "config/ui/param_field.h"
#include "services/interfejs.h"
#include "services/placeholder_text.h"
#include "support/window_support.h"

namespace varnholt {
namespace {

class ConfigurationDialog : public ::testing::Test {
 protected:
  ConfigurationDialog() {
    testing::CopyLanguageFiles(VARNHOLT_LANGUAGE_DIR, folder_);
    texts_ = std::make_unique<tInterfejs>(InterfaceSetup{folder_.folder(), {"us"}, 1, ""});
  }

  // The dialog over a configuration logic whose hooks record what they are told.
  void Create() {
    KonfigHooks hooks;
    hooks.calibration_in_effect = [this](double x, double, double) { calibrations_.push_back(x); };
    konfig_ = std::make_unique<Konfig>(folder_.folder(), '.', hooks);
    TDlgkonfig::Links links;
    links.feed_sign_changed = [this](int sign) { feed_signs_.push_back(sign); };
    links.model_is_qo = [this] { return qo_; };
    dialog_ = std::make_unique<TDlgkonfig>(*konfig_, *texts_, links);
  }
  ParamField& Field(const char* name) { return *dialog_->findChild<ParamField*>(name); }
  double Value(Param param) { return konfig_->params().Number(param); }
  // Types text over the field's text and presses Enter, as the operator does.
  static void Type(ParamField& field, const QString& text) {
    auto* edit = field.findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  testing::TempFolder folder_;
  testing::RecordingQtOperator op_;
  ScopedOperator installed_{op_};
  std::unique_ptr<tInterfejs> texts_;
  std::unique_ptr<Konfig> konfig_;
  std::unique_ptr<TDlgkonfig> dialog_;
  std::vector<double> calibrations_;
  std::vector<int> feed_signs_;
  bool qo_ = false;
};

TEST_F(ConfigurationDialog, FirstStartMakesBothFilesAndShowsTheConfigurationPath) {
  Create();
  EXPECT_TRUE(std::filesystem::exists(folder_.PathOf("Varnholt.qcc")));
  EXPECT_EQ(dialog_->windowTitle().toStdString(), folder_.PathOf("Varnholt.qcc"));
  EXPECT_TRUE(std::filesystem::exists(folder_.PathOf("Varnholt.vhc")));
  EXPECT_EQ(Field("skala").value(), 100);
}

TEST_F(ConfigurationDialog, CancelRestoresTheValuesOfTheMomentItWasShown) {
  Create();
  dialog_->show();
  Field("skala").setValue(250);
  Field("feKalibracjaX").setValue(3);
  EXPECT_EQ(Value(Param::skala), 250);
  dialog_->reject();
  EXPECT_EQ(Value(Param::skala), 100);
  EXPECT_EQ(Value(Param::feKalibracjaX), 0);
  EXPECT_EQ(Field("skala").value(), 100) << "the field shows the restored value";
  EXPECT_EQ(calibrations_, std::vector<double>{0}) << "Cancel puts the scale factors back to the values shown";
}

TEST_F(ConfigurationDialog, OkTakesTheCalibrationWritesTheSettingsAndSavesWithAutoSave) {
  Create();
  dialog_->show();
  Field("feKalibracjaX").setValue(3);
  Field("work_power").setValue(150);
  EXPECT_EQ(Value(Param::work_power), 100) << "clamped to its maximum";
  dialog_->findChild<QCheckBox*>("AutoSave")->click();
  std::filesystem::remove(folder_.PathOf("Varnholt.vhc"));
  dialog_->accept();
  EXPECT_EQ(calibrations_, std::vector<double>{3});
  EXPECT_TRUE(std::filesystem::exists(folder_.PathOf("Varnholt.vhc")));
  Configuration saved;
  ReadKonfigFile(folder_.PathOf("Varnholt.qcc"), saved, '.');
  EXPECT_EQ(saved.Number(Param::feKalibracjaX), 3);
  EXPECT_TRUE(saved.Checked(Param::AutoSave));
}

// A number typed beyond a limit is taken whole and brought to the limit, with a note; the keystroke that
// crossed the limit is not dropped (150 typed under a limit of 100 is not 15).
TEST_F(ConfigurationDialog, ANumberTypedBeyondALimitIsBroughtToTheLimitAndSaidSo) {
  Create();
  dialog_->show();
  ParamField& power = Field("work_power");
  Type(power, "60");
  EXPECT_EQ(Value(Param::work_power), 60);
  EXPECT_TRUE(power.clamp_note().isEmpty());
  Type(power, "150");
  EXPECT_EQ(Value(Param::work_power), 100);
  EXPECT_EQ(power.value(), 100);
  const QString note = power.clamp_note();
  EXPECT_TRUE(note.contains("150") && note.contains("100")) << note.toStdString();
  EXPECT_EQ(note.toStdString(), FillPlaceholders(texts_->GetText("Configuration", "wartoscOgraniczona"),
                                                 {"150", "0", "100", "100"}));
}

TEST_F(ConfigurationDialog, UnitAwareFieldsShowAndTakeTheDisplayUnit) {
  folder_.Write("Varnholt.qcc", "radiounit := 1\r\nszybkoscObrobki := 2540\r\nfeuWysokoscMat := 254\r\n");
  Create();
  dialog_->show();
  EXPECT_DOUBLE_EQ(Field("szybkoscObrobki").value(), 100);
  EXPECT_DOUBLE_EQ(Field("feuWysokoscMat").value(), 10);
  EXPECT_DOUBLE_EQ(Field("feuWysokoscMat").singleStep(), 1) << "one inch";
  EXPECT_EQ(dialog_->findChild<QLabel*>("LabelspeedUnit")->text().toStdString(),
            "[in" + texts_->GetText("Configuration", "naMinute"));
  EXPECT_EQ(dialog_->findChild<QLabel*>("Label_MaterialHeightUnit")->text(), "[in]");
  Field("szybkoscObrobki").setValue(50);
  EXPECT_DOUBLE_EQ(Value(Param::szybkoscObrobki), 1270);
  EXPECT_DOUBLE_EQ(Field("skala").value(), 100) << "a percentage keeps its own unit";
}

TEST_F(ConfigurationDialog, KerfFieldStandsOnTheWorkingPageAndTakesMillimetres) {
  Create();
  dialog_->show();
  ParamField& kerf = Field("KerfWidth");
  EXPECT_NE(dialog_->findChild<QWidget*>("Tabsheet2")->findChild<ParamField*>("KerfWidth"), nullptr);
  EXPECT_EQ(dialog_->findChild<QLabel*>("LabelKerf")->text().toStdString(),
            texts_->GetText("Configuration", "LabelKerf.caption"));
  EXPECT_EQ(dialog_->findChild<QLabel*>("LabelKerfUnit")->text(), "[mm]");
  EXPECT_EQ(kerf.toolTip().toStdString(), texts_->GetText("Configuration", "KerfWidth.hint"));
  EXPECT_EQ(kerf.value(), 0);
  EXPECT_DOUBLE_EQ(kerf.singleStep(), 0.1);
  EXPECT_DOUBLE_EQ(kerf.maximum(), 10);

  kerf.stepUp();
  kerf.stepUp();
  EXPECT_NEAR(Value(Param::KerfWidth), 0.2, 1e-9);
  // A value typed past 10 mm is brought to 10 mm, as in every number field; a sign alone is no number.
  Type(kerf, "12");
  EXPECT_EQ(Value(Param::KerfWidth), 10);
  Type(kerf, "-");
  EXPECT_EQ(Value(Param::KerfWidth), 10);
  Type(kerf, "1" + QString(kerf.locale().decimalPoint()) + "5");
  EXPECT_EQ(Value(Param::KerfWidth), 1.5);

  dialog_->findChild<QCheckBox*>("AutoSave")->click();
  dialog_->accept();
  Configuration saved;
  ReadKonfigFile(folder_.PathOf("Varnholt.qcc"), saved, '.');
  EXPECT_EQ(saved.Number(Param::KerfWidth), 1.5);
}

TEST_F(ConfigurationDialog, KerfFieldShowsInchesAndFeetAndStepsByATenthOfAMillimetre) {
  folder_.Write("Varnholt.qcc", "radiounit := 1\r\nKerfWidth := 2.54\r\n");
  Create();
  dialog_->show();
  ParamField& kerf = Field("KerfWidth");
  EXPECT_DOUBLE_EQ(kerf.value(), 0.1);
  EXPECT_EQ(dialog_->findChild<QLabel*>("LabelKerfUnit")->text(), "[in]");
  EXPECT_NEAR(kerf.maximum(), 10 / 25.4, 1e-5);
  kerf.setValue(0.04);
  EXPECT_NEAR(Value(Param::KerfWidth), 1.016, 1e-9) << "held in millimetres";
  kerf.stepDown();
  EXPECT_NEAR(Value(Param::KerfWidth), 0.916, 1e-3);

  // A tenth of a millimetre is 0.000328 ft: the field shows places enough for a step to move it by that.
  konfig_->params().SetNumber(Param::KerfWidth, 1.0);
  konfig_->params().SetChoice(Param::radiounit, 2);
  konfig_->Deactivate();
  dialog_->hide();
  dialog_->show();
  EXPECT_EQ(dialog_->findChild<QLabel*>("LabelKerfUnit")->text(), "[ft]");
  kerf.stepUp();
  EXPECT_NEAR(Value(Param::KerfWidth), 1.1, 1e-3);
  kerf.stepDown();
  kerf.stepDown();
  EXPECT_NEAR(Value(Param::KerfWidth), 0.9, 1e-3);
  EXPECT_DOUBLE_EQ(Field("feuWysokoscMat").singleStep(), 0.1) << "a tenth of a foot keeps its places";
  EXPECT_EQ(Field("feuWysokoscMat").decimals(), 4);
}

TEST_F(ConfigurationDialog, FeedDirectionReachesTheProjectsAndQoHasNoVerticalWirePower) {
  qo_ = true;
  Create();
  dialog_->show();
  EXPECT_FALSE(Field("VerticalWire_power").isEnabled());
  EXPECT_FALSE(dialog_->findChild<QLabel*>("LabelVerticalWirePower")->isEnabled());
  feed_signs_.clear();
  dialog_->ShowPage(1);
  const QList<QRadioButton*> items = dialog_->findChild<QWidget*>("CatDir")->findChildren<QRadioButton*>();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[1]->text().toStdString(), texts_->GetText("Configuration", "catdir.Item1"));
  items[1]->click();
  EXPECT_EQ(konfig_->params().Choice(Param::CatDir), 1);
  items[2]->click();
  EXPECT_EQ(feed_signs_, (std::vector<int>{-1, 1}));
}

TEST_F(ConfigurationDialog, SaveAsAndLoadFromChangeTheConfigurationFile) {
  testing::ScriptedFileChooser chooser;
  Create();
  dialog_->show();
  Field("skala").setValue(40);
  chooser.answers.push_back(FileChoice{QString::fromStdString(folder_.PathOf("other.qcc")), 1});
  dialog_->findChild<QPushButton*>("zapis")->click();
  EXPECT_EQ(dialog_->windowTitle().toStdString(), folder_.PathOf("other.qcc"));
  EXPECT_EQ(chooser.requests.back().default_suffix, "qcc");

  folder_.Write("third.qcc", "skala := 75\r\n");
  chooser.answers.push_back(FileChoice{QString::fromStdString(folder_.PathOf("third.qcc")), 1});
  dialog_->findChild<QPushButton*>("Odczyt")->click();
  EXPECT_EQ(chooser.requests.back().title.toStdString(),
            texts_->GetText("Configuration", "opendialogkonfig.title"));
  EXPECT_EQ(dialog_->windowTitle().toStdString(), folder_.PathOf("third.qcc"));
  EXPECT_EQ(Field("skala").value(), 75);
  EXPECT_EQ(konfig_->ConfigFilePath(), folder_.PathOf("third.qcc"));
}

}  // namespace
}  // namespace varnholt
