#include <gtest/gtest.h>

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "info/program_time.h"
#include "info/project_info.h"
#include "info/ui/taboutbox.h"
#include "info/ui/tinfoform.h"
#include "info_test_support.h"
#include "services/document_opener.h"
#include "services/program_version.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

QString Text(const QWidget& window, const char* name) {
  const auto* label = window.findChild<QLabel*>(name);
  EXPECT_NE(label, nullptr) << name;
  return label != nullptr ? label->text() : QString();
}

const tInterfejs& Texts(int country) {
  static const tInterfejs polish(InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, 48, ""});
  static const tInterfejs right_to_left(
      InterfaceSetup{std::string(VARNHOLT_LANGUAGE_DIR) + "/", {}, 966, ""});
  return country == 48 ? polish : country == 966 ? right_to_left : UsTexts();
}

class InfoWindow : public ::testing::Test {
 protected:
  SimulatedMachine machine_{"Qe"};
  std::unique_ptr<ProjectDocument> project_ =
      LoadProject(SamplePath("frame_with_holes.plt"), machine_.range());

  ProjectInfoSource Source() {
    return {*project_, "/work/samples/frame_with_holes.plt", "/home/op/Varnholt.qcc", machine_.config,
            machine_.state};
  }
};

TEST_F(InfoWindow, ShowsTheProjectAsItWillBeCut) {
  Tinfoform window(Source(), UsTexts());
  window.show();
  EXPECT_EQ(window.windowTitle(), "Info");
  EXPECT_EQ(Text(window, "Labelfile"), "File:");
  EXPECT_EQ(Text(window, "Labeltime"), "Cutting time:");
  EXPECT_EQ(Text(window, "Labelprogtime"), "From the program:");
  EXPECT_EQ(Text(window, "LabelSkala"), "Scale");
  EXPECT_EQ(window.findChild<QPushButton*>("OK")->text(), "OK");

  EXPECT_EQ(Text(window, "fname"), "/work/samples/frame_with_holes.plt");
  EXPECT_EQ(Text(window, "konfigname"), "/home/op/Varnholt.qcc");
  const ProjectInfo info = ComputeProjectInfo(MeasuresOf(*project_), machine_.config);
  EXPECT_EQ(Text(window, "szerokosc"), "200.00 mm");
  EXPECT_EQ(Text(window, "wysokosc"), "100.00 mm");
  EXPECT_EQ(Text(window, "totlen").toStdString(), info.totlen);
  EXPECT_EQ(Text(window, "total_time").toStdString(), info.total_time);
  EXPECT_EQ(Text(window, "skala"), "100.00%");
  const double seconds = *ProgramCuttingSeconds(*project_, machine_.config, machine_.state);
  EXPECT_EQ(Text(window, "program_time").toStdString(), MinutesSecondsText(seconds));

  QTest::mouseClick(window.findChild<QPushButton*>("OK"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(InfoWindow, EveryShowingRecomputes) {
  Tinfoform window(Source(), Texts(48));
  window.show();
  EXPECT_EQ(Text(window, "Labelprogtime"), "Z programu:");
  EXPECT_EQ(Text(window, "LabelSkala"), "Skala");
  const QString full_scale_time = Text(window, "program_time");
  window.hide();
  machine_.config.SetNumber(Param::skala, 50);
  machine_.config.SetCurrentUnit(1);
  window.show();
  EXPECT_EQ(Text(window, "szerokosc"), "3.94 in");
  EXPECT_EQ(Text(window, "skala"), "50.00%");
  EXPECT_NE(Text(window, "program_time"), full_scale_time);

  window.hide();
  project_->figures.back()->plan_flag_2 = 1;  // a figure left pending: no program can be written
  window.show();
  EXPECT_EQ(Text(window, "program_time"), "nieznany");
}

// Records what the desktop was asked to open.
class RecordingOpener final : public DocumentOpener {
 public:
  int OpenDocument(const std::string& target) override {
    opened.push_back(target);
    return 42;
  }
  std::vector<std::string> opened;
};

class AboutWindow : public ::testing::Test {
 protected:
  std::unique_ptr<TAboutBox> Box(const std::string& dealer, SimulatedMachine& machine) {
    return std::make_unique<TAboutBox>(
        machine.link, AboutSetup{folder_.folder(), dealer, folder_.PathOf("varnholt"), kAddresses}, opener_);
  }

  static inline const WebAddresses kAddresses{"https://maker.example", "https://dealer.example"};
  testing::TempFolder folder_;
  RecordingOpener opener_;
};

TEST_F(AboutWindow, TheMachineOfAConnectedController) {
  SimulatedMachine machine("Qe");
  folder_.Write("varnholt", "program");
  const auto box = Box("", machine);
  box->show();
  EXPECT_EQ(box->windowTitle(), "About");
  EXPECT_EQ(Text(*box, "Labelprog"), "Program Varnholt");
  EXPECT_EQ(Text(*box, "Labelver"), "Version:");
  EXPECT_EQ(Text(*box, "newVer").toStdString(), ProgramVersion(true, false));
  EXPECT_EQ(Text(*box, "ver").size(), 10) << "the program file's date";
  EXPECT_EQ(box->findChild<QGroupBox*>("GroupBox1")->title(), "Machine");
  EXPECT_EQ(Text(*box, "prod"), "Quellmar");
  EXPECT_TRUE(Text(*box, "model").startsWith("Qe"));
  EXPECT_EQ(Text(*box, "obszar"), "4800.0x2400.0 mm");
  EXPECT_EQ(Text(*box, "przebieg"), "123 h 5 min.");
  EXPECT_EQ(Text(*box, "ilpl"), "1204");
  EXPECT_TRUE(box->findChild<QLabel*>("Labelprod")->isVisible());
  EXPECT_EQ(Text(*box, "lWWW"), "https://maker.example");
  EXPECT_TRUE(box->findChild<QLabel*>("lWWW")->isVisible());
  EXPECT_FALSE(box->findChild<QLabel*>("dealer")->isVisible());
  EXPECT_EQ(box->height(), 215);
}

TEST_F(AboutWindow, NoDataWithoutAController) {
  SimulatedMachine machine("Qa");
  machine.controller.Unplug();
  const auto box = Box("QUELLMAR", machine);
  box->show();
  for (const char* value : {"prod", "model", "obszar", "przebieg", "ilpl"})
    EXPECT_EQ(Text(*box, value), "no data");
  EXPECT_EQ(Text(*box, "ver"), "Unknown") << "no program file in the folder";
  EXPECT_EQ(Text(*box, "lWWW"), "https://maker.example");
}

TEST_F(AboutWindow, TheDealersPictureLinkAndLayout) {
  SimulatedMachine machine("Qe");
  const auto maker = Box("", machine);
  QImage picture(120, 40, QImage::Format_RGB32);
  picture.fill(Qt::darkGreen);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder_.PathOf("ORVELT.bmp")), "BMP"));
  const auto box = Box("ORVELT", machine);
  box->show();
  EXPECT_EQ(box->height(), 283);
  EXPECT_FALSE(box->findChild<QLabel*>("Labelprod")->isVisible());
  EXPECT_FALSE(box->findChild<QLabel*>("prod")->isVisible());
  for (const char* row :
       {"Labelmodel", "model", "Labelobszar", "obszar", "Labelprzebieg", "przebieg", "Labelilpl", "ilpl"}) {
    EXPECT_EQ(box->findChild<QLabel*>(row)->y(), maker->findChild<QLabel*>(row)->y() - 10) << row;
  }
  auto* dealer = box->findChild<QLabel*>("dealer");
  EXPECT_TRUE(dealer->isVisible());
  EXPECT_EQ(dealer->toolTip(), "https://dealer.example");

  QTest::mouseClick(dealer, Qt::LeftButton);
  QTest::mouseClick(box->findChild<QLabel*>("lWWW"), Qt::LeftButton);
  EXPECT_EQ(opener_.opened, (std::vector<std::string>{"https://dealer.example", "https://dealer.example"}));
  EXPECT_TRUE(box->isVisible()) << "the links open, the window stays";

  folder_.Write("ABC.bmp", "not a picture");
  const auto unreadable = Box("ABC", machine);
  EXPECT_EQ(unreadable->height(), 215) << "a picture that cannot be read counts as none";
  EXPECT_FALSE(unreadable->findChild<QLabel*>("lWWW")->isVisibleTo(unreadable.get()));
  QTest::mouseClick(unreadable->findChild<QLabel*>("dealer"), Qt::LeftButton);
  EXPECT_EQ(opener_.opened.size(), 2u) << "an empty hint opens nothing";
}

TEST_F(AboutWindow, AnyKeyOrClickCloses) {
  SimulatedMachine machine("Qe");
  const auto close_by = [&](const std::function<void(TAboutBox&)>& act) {
    const auto box = Box("", machine);
    box->show();
    act(*box);
    return !box->isVisible();
  };
  EXPECT_TRUE(close_by([](TAboutBox& box) { QTest::keyClick(&box, Qt::Key_A); }));
  EXPECT_TRUE(close_by([](TAboutBox& box) { QTest::keyClick(&box, Qt::Key_Space); }));
  EXPECT_TRUE(close_by([](TAboutBox& box) { QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5)); }));
  EXPECT_TRUE(close_by([](TAboutBox& box) {
    QTest::mouseClick(box.findChild<QGroupBox*>("GroupBox1"), Qt::LeftButton, {}, QPoint(3, 3));
  }));
  EXPECT_TRUE(
      close_by([](TAboutBox& box) { QTest::mouseClick(box.findChild<QLabel*>("obszar"), Qt::LeftButton); }));
  EXPECT_TRUE(close_by(
      [](TAboutBox& box) { QTest::mouseClick(box.findChild<QLabel*>("Labelver"), Qt::LeftButton); }));
  EXPECT_FALSE(
      close_by([](TAboutBox& box) { QTest::mouseClick(box.findChild<QLabel*>("lWWW"), Qt::LeftButton); }));
  EXPECT_EQ(opener_.opened, std::vector<std::string>{"https://maker.example"});
}

TEST_F(AboutWindow, RightToLeftMirrorsTheRows) {
  SimulatedMachine machine("Qe");
  const auto left_to_right = Box("", machine);
  SimulatedMachine mirrored_machine("Qe");
  MachineLink mirrored_link{mirrored_machine.usb, mirrored_machine.state, mirrored_machine.config,
                            Texts(966)};
  TAboutBox mirrored(mirrored_link, AboutSetup{folder_.folder(), "", "", kAddresses}, opener_);
  EXPECT_EQ(mirrored.layoutDirection(), Qt::RightToLeft);
  const QRect ltr = left_to_right->findChild<QLabel*>("Labelmodel")->geometry();
  const QRect rtl = mirrored.findChild<QLabel*>("Labelmodel")->geometry();
  const int group_width = mirrored.findChild<QGroupBox*>("GroupBox1")->width();
  EXPECT_EQ(rtl.x(), group_width - ltr.x() - ltr.width());
  EXPECT_EQ(rtl.y(), ltr.y());
}

}  // namespace
}  // namespace varnholt
