#include "config/konfig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#include "config/file_write.h"
#include "config/konfig_file.h"
#include "config/utf16.h"
#include "config_test_support.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

class KonfigLogic : public TempFolderTest {
 protected:
  KonfigHooks Hooks() {
    KonfigHooks hooks;
    hooks.missing_file = [this](const std::string& path) { missing_.push_back(path); };
    hooks.calibration_accepted = [this](double x, double y, double z) { scales_.push_back({x, y, z}); };
    hooks.open_filter_index = [] { return 2; };
    return hooks;
  }

  std::vector<std::string> missing_;
  std::vector<std::vector<double>> scales_;
};

TEST_F(KonfigLogic, FirstStartLeavesBothFilesWithDefaults) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  EXPECT_EQ(missing_, std::vector<std::string>{PathOf("Varnholt.qcc")});
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), KonfigText(Configuration(), '.'));
  EXPECT_EQ(Read(PathOf("Varnholt.vhc")).size(), kProgramSettingsSize);
  EXPECT_EQ(konfig.ConfigFilePath(), PathOf("Varnholt.qcc"));
  EXPECT_TRUE(konfig.PowerChanged());

  // The second start finds both and says nothing.
  Konfig again(folder_.string(), '.', Hooks());
  again.Create();
  EXPECT_EQ(missing_.size(), 1u);
}

TEST_F(KonfigLogic, StartLoadsTheRecordedFileAndTakesTheUnit) {
  const std::string other = Write("mine.qcc", "radiounit := 1\r\nMode := 3\r\nskala := 50\r\n");
  ProgramSettings settings = DefaultProgramSettings(other);
  WriteProgramSettingsFile(PathOf("Varnholt.vhc"), settings);
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  EXPECT_TRUE(missing_.empty());
  EXPECT_EQ(konfig.params().Number(Param::skala), 50);
  EXPECT_EQ(konfig.params().CurrentUnit(), 1);
  EXPECT_EQ(konfig.params().Choice(Param::Mode), 0);
}

TEST_F(KonfigLogic, StartWithFailingFilesStillLoadsWhatItCanAndReportsTheFirstFailure) {
  // No settings record, and a folder where nothing can be written: the configuration file is still read.
  Write("Varnholt.qcc", "radiounit := 2\r\nskala := 50\r\n");
  {
    Konfig konfig(folder_.string(), '.', Hooks());
    ScopedWriteFault denied({WriteStep::kOpen, 0, EACCES});
    EXPECT_THROW(konfig.Create(), RunTimeError);
    EXPECT_EQ(konfig.params().Number(Param::skala), 50);
    EXPECT_EQ(konfig.params().CurrentUnit(), 2);
  }
  // A value that is no number ends the load there; the unit the lines before it gave still applies.
  Write("Varnholt.qcc", "radiounit := 1\r\nskala := many\r\nwork_power := 7\r\n");
  Konfig konfig(folder_.string(), '.', Hooks());
  EXPECT_THROW(konfig.Create(), RunTimeError);
  EXPECT_EQ(konfig.params().CurrentUnit(), 1);
  EXPECT_EQ(konfig.params().Number(Param::work_power), 1) << "lines after the failing one are not read";
}

TEST_F(KonfigLogic, CancelRestoresTheValuesOfTheMomentTheDialogWasShown) {
  Konfig konfig(folder_.string(), ',', Hooks());
  konfig.Create();
  konfig.params().SetNumber(Param::skala, 250);
  konfig.Show();
  const Configuration shown = konfig.params();
  EXPECT_EQ(konfig.params().Choice(Param::StolikSwitch), 2);  // enabling rules on show
  konfig.params().SetNumber(Param::skala, 7);
  konfig.params().SetNumber(Param::work_power, 12.5);
  konfig.params().SetFlag(Param::Heavy, FlagState::kChecked);
  konfig.params().SetNumber(Param::feKalibracjaX, 3);
  EXPECT_TRUE(konfig.CalibrationChanged());
  konfig.Cancel();
  EXPECT_TRUE(konfig.params().SameValues(shown));
  EXPECT_EQ(konfig.params().Number(Param::skala), 250);
  EXPECT_TRUE(scales_.empty());  // Cancel never touches the scale factors
}

TEST_F(KonfigLogic, OkAppliesCalibrationWritesSettingsAndSavesWhenAutoSaveIsOn) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  const std::string profile = PathOf("profile.qcc");
  konfig.SaveAs(profile);
  EXPECT_EQ(konfig.ConfigFilePath(), profile);

  konfig.Show();
  konfig.params().SetNumber(Param::skala, 300);
  konfig.Ok();
  EXPECT_TRUE(scales_.empty());
  EXPECT_EQ(Read(profile).find("skala := 300"), std::string::npos);  // AutoSave off
  const auto record = ReadProgramSettingsFile(PathOf("Varnholt.vhc"), "/unused");
  EXPECT_EQ(Utf16ToUtf8(record.ConfigFilePath), profile);
  EXPECT_EQ(record.OpenFilterIndex, 2);

  konfig.Show();
  konfig.params().SetFlag(Param::AutoSave, FlagState::kChecked);
  konfig.params().SetNumber(Param::feKalibracjaZ, -4);
  konfig.Ok();
  EXPECT_EQ(scales_, (std::vector<std::vector<double>>{{0, 0, -4}}));
  EXPECT_NE(Read(profile).find("skala := 300\r\n"), std::string::npos);
  EXPECT_EQ(CalibratedScale(1.0, -4), 0.96);

  // A greyed AutoSave is not checked.
  konfig.Show();
  konfig.params().SetFlag(Param::AutoSave, FlagState::kGrayed);
  konfig.params().SetNumber(Param::skala, 400);
  konfig.Ok();
  EXPECT_EQ(Read(profile).find("skala := 400"), std::string::npos);
}

TEST_F(KonfigLogic, FlagsFollowTheirChanges) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  konfig.ClearRotaryChanged();
  konfig.params().SetChoice(Param::KierunekObrotow, 1);
  EXPECT_TRUE(konfig.RotaryChanged());
  konfig.ClearRotaryChanged();
  konfig.params().SetChoice(Param::StolikSwitch, 2);
  konfig.ClearRotaryChanged();
  konfig.Show();  // StolikSwitch already 2: no change
  EXPECT_FALSE(konfig.RotaryChanged());
  EXPECT_FALSE(konfig.CalibrationChanged());

  konfig.params().SetChoice(Param::radiounit, 2);
  EXPECT_EQ(konfig.params().CurrentUnit(), 0);
  konfig.RadiounitClicked();
  EXPECT_EQ(konfig.params().CurrentUnit(), 2);
  konfig.params().SetChoice(Param::radiounit, 1);
  konfig.Deactivate();
  EXPECT_EQ(konfig.params().CurrentUnit(), 1);

  konfig.params().SetFlag(Param::MoveAfter, FlagState::kChecked);
  konfig.CatDirClicked();
  EXPECT_FALSE(konfig.params().Checked(Param::MoveAfter));
  EXPECT_EQ(FeedSign(0), 1);
  EXPECT_EQ(FeedSign(1), -1);
  EXPECT_EQ(FeedSign(2), 1);
}

TEST_F(KonfigLogic, LoadFromAndMissingFiles) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  missing_.clear();
  const std::string fresh = PathOf("fresh.qcc");
  konfig.params().SetNumber(Param::skala, 77);
  konfig.LoadFrom(fresh);  // missing: told, then made from the current values
  EXPECT_EQ(missing_, std::vector<std::string>{fresh});
  EXPECT_NE(Read(fresh).find("skala := 77\r\n"), std::string::npos);
  EXPECT_EQ(konfig.ConfigFilePath(), fresh);

  const std::string bad = Write("bad.qcc", "skala := 5\r\nCatDir := zz\r\n");
  EXPECT_THROW(konfig.LoadKonfig(bad), RunTimeError);
  EXPECT_EQ(konfig.params().Number(Param::skala), 5);
  std::filesystem::create_directory(folder_ / "dir.qcc");
  EXPECT_THROW(konfig.LoadKonfig(PathOf("dir.qcc")), RunTimeError);
}

TEST_F(KonfigLogic, AFailedSnapshotLeavesTheDefaultFile) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  const std::string before = Read(PathOf("Varnholt.qcc"));
  konfig.params().SetNumber(Param::skala, 3);
  {
    ScopedWriteFault fault({WriteStep::kWrite, 40, ENOSPC});
    EXPECT_THROW(konfig.Show(), RunTimeError);
    EXPECT_THROW(konfig.Ok(), RunTimeError);
  }
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), before);
  EXPECT_EQ(Read(PathOf("Varnholt.vhc")).size(), kProgramSettingsSize);
}

}  // namespace
}  // namespace varnholt
