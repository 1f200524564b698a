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
    hooks.calibration_in_effect = [this](double x, double y, double z) { scales_.push_back({x, y, z}); };
    hooks.open_filter_index = [] { return 2; };
    hooks.incomplete_file = [this](const std::string& path, const KonfigLoad& load) {
      incomplete_.push_back(path);
      loads_.push_back(load);
    };
    hooks.damaged_file_kept = [this](const std::string& path) { kept_.push_back(path); };
    hooks.path_not_recorded = [this](const std::string& path) { not_recorded_.push_back(path); };
    return hooks;
  }

  std::vector<std::string> missing_, incomplete_, kept_, not_recorded_;
  std::vector<KonfigLoad> loads_;
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

// What the program sets by itself (the mode at start, the enabling rules as the dialog shows) is no change of
// the operator's; a value taken with OK without AutoSave is, until the file holds it.
TEST_F(KonfigLogic, TheValuesDifferFromTheFileOnlyWhenTheOperatorChangedOneAndDidNotSaveIt) {
  const std::string mine =
      Write("mine.qcc", "Mode := 3\r\nStolikSwitch := 1\r\nMoveAfter := 1\r\nskala := 50\r\n");
  WriteProgramSettingsFile(PathOf("Varnholt.vhc"), DefaultProgramSettings(mine));
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  konfig.Show();
  konfig.Ok();
  EXPECT_FALSE(konfig.DiffersFromFile());
  konfig.Show();
  konfig.params().SetNumber(Param::skala, 250);
  konfig.Ok();
  EXPECT_TRUE(konfig.DiffersFromFile());
  konfig.SaveKonfig(konfig.ConfigFilePath());
  EXPECT_FALSE(konfig.DiffersFromFile());
  konfig.SaveAs(PathOf("copy.qcc"));
  EXPECT_FALSE(konfig.DiffersFromFile());
  konfig.params().SetNumber(Param::skala, 90);
  konfig.LoadFrom(mine);
  EXPECT_FALSE(konfig.DiffersFromFile()) << "the values are the file's again";
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
  // A value that is no number is told with its line; the lines around it load, the unit they give applies.
  incomplete_.clear();
  Write("Varnholt.qcc", "radiounit := 1\r\nskala := many\r\nwork_power := 7\r\n");
  Konfig konfig(folder_.string(), '.', Hooks());
  EXPECT_NO_THROW(konfig.Create());
  EXPECT_EQ(konfig.params().CurrentUnit(), 1);
  EXPECT_EQ(konfig.params().Number(Param::work_power), 7);
  EXPECT_EQ(incomplete_, std::vector<std::string>{PathOf("Varnholt.qcc")});
  ASSERT_EQ(loads_.back().problems.size(), 1u);
  EXPECT_EQ(loads_.back().problems[0].line, 2u);
  EXPECT_EQ(loads_.back().problems[0].text, "skala := many");
  EXPECT_FALSE(konfig.ConfigFileWhole());
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
  // The factors are those of the values shown (an identification meanwhile may have taken the changed one).
  EXPECT_EQ(scales_, (std::vector<std::vector<double>>{{0, 0, 0}}));
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
  EXPECT_FALSE(konfig.LoadKonfig(bad));
  EXPECT_EQ(incomplete_, std::vector<std::string>{bad});
  EXPECT_EQ(konfig.params().Number(Param::skala), 5);
  // What is no file is refused before anything is read: a folder, a device, a file larger than any configuration.
  std::filesystem::create_directory(folder_ / "dir.qcc");
  EXPECT_THROW(konfig.LoadKonfig(PathOf("dir.qcc")), RunTimeError);
  EXPECT_THROW(konfig.LoadKonfig("/dev/zero"), RunTimeError);
  const std::string huge = Write("huge.qcc", "skala := 9\r\n" + std::string(kMaxKonfigBytes, ' '));
  EXPECT_THROW(konfig.LoadKonfig(huge), RunTimeError);
  EXPECT_EQ(konfig.params().Number(Param::skala), 5);
}

TEST_F(KonfigLogic, AFailedOkLeavesTheDefaultFile) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  const std::string before = Read(PathOf("Varnholt.qcc"));
  konfig.params().SetNumber(Param::skala, 3);
  {
    ScopedWriteFault fault({WriteStep::kWrite, 40, ENOSPC});
    konfig.Show();
    konfig.params().SetFlag(Param::AutoSave, FlagState::kChecked);
    EXPECT_THROW(konfig.Ok(), RunTimeError);
  }
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), before);
  EXPECT_EQ(Read(PathOf("Varnholt.vhc")).size(), kProgramSettingsSize);
}

// The Cancel snapshot lives in memory: showing the dialog writes no file, and Cancel brings back the values and the
// file in use, so that a later OK with AutoSave writes the values of that file into that file.
TEST_F(KonfigLogic, ShowingWritesNoFileAndCancelBringsBackTheFileInUse) {
  Configuration own;
  own.SetNumber(Param::skala, 40);
  own.SetNumber(Param::feKalibracjaX, 2);
  const std::string default_bytes = KonfigText(own, '.');
  Write("Varnholt.qcc", default_bytes);
  Configuration foam_values;
  foam_values.SetNumber(Param::skala, 250);
  const std::string foam = Write("foam.qcc", KonfigText(foam_values, '.'));
  Configuration other_values;
  other_values.SetNumber(Param::skala, 5);
  const std::string other_bytes = KonfigText(other_values, '.');
  const std::string other = Write("other.qcc", other_bytes);

  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  konfig.Show();
  konfig.LoadFrom(foam);
  konfig.Ok();
  konfig.Show();
  konfig.params().SetNumber(Param::skala, 99);
  konfig.Cancel();
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), default_bytes) << "the default file keeps its own values";
  EXPECT_EQ(Read(foam), KonfigText(foam_values, '.'));

  // Load, then Cancel: the values and the file in use come back, and the loaded file is not written over.
  konfig.Show();
  konfig.LoadFrom(other);
  EXPECT_EQ(konfig.ConfigFilePath(), other);
  konfig.Cancel();
  EXPECT_EQ(konfig.ConfigFilePath(), foam);
  EXPECT_EQ(konfig.params().Number(Param::skala), 250);
  konfig.Show();
  konfig.params().SetFlag(Param::AutoSave, FlagState::kChecked);
  konfig.Ok();
  EXPECT_EQ(Read(other), other_bytes);
  EXPECT_NE(Read(foam).find("AutoSave := cbChecked\r\n"), std::string::npos);
  EXPECT_NE(Read(foam).find("skala := 250\r\n"), std::string::npos);

  // Save as, then Cancel: the same.
  konfig.Show();
  konfig.SaveAs(PathOf("copy.qcc"));
  konfig.Cancel();
  EXPECT_EQ(konfig.ConfigFilePath(), foam);
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), default_bytes);
}

TEST_F(KonfigLogic, CancelBringsBackWhatWasShownEvenWhenNothingCanBeWritten) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  konfig.Show();
  konfig.params().SetNumber(Param::skala, 150);
  konfig.Ok();
  {
    ScopedWriteFault full({WriteStep::kOpen, 0, ENOSPC});
    try {
      konfig.Show();
    } catch (const RunTimeError&) {
    }
    konfig.params().SetNumber(Param::skala, 7);
    try {
      konfig.Cancel();
    } catch (const RunTimeError&) {
    }
  }
  EXPECT_EQ(konfig.params().Number(Param::skala), 150);
}

// One value the reader refuses: the lines after it load too, and neither showing the dialog nor OK with AutoSave
// writes over the file, so the values it holds (scale, calibration) stay for the operator to mend.
TEST_F(KonfigLogic, AFileThatDidNotLoadWholeKeepsItsBytesAndTheLinesThatLoaded) {
  Configuration own;
  own.SetNumber(Param::skala, 40);
  own.SetNumber(Param::feKalibracjaX, 2);
  own.SetFlag(Param::AutoSave, FlagState::kChecked);
  std::string bytes = KonfigText(own, '.');
  bytes.replace(bytes.find("CzasRozgrzewania := 1000"), 24, "CzasRozgrzewania := ~3000");
  Write("Varnholt.qcc", bytes);
  Konfig konfig(folder_.string(), '.', Hooks());
  try {
    konfig.Create();
  } catch (const RunTimeError&) {
  }
  EXPECT_EQ(konfig.params().Number(Param::skala), 40);
  EXPECT_EQ(konfig.params().Number(Param::feKalibracjaX), 2);
  EXPECT_EQ(konfig.params().Number(Param::CzasRozgrzewania), 1000);
  try {
    konfig.Show();
    konfig.params().SetNumber(Param::Pauza_w_kacie, 30);
    konfig.Ok();
  } catch (const RunTimeError&) {
  }
  EXPECT_EQ(Read(PathOf("Varnholt.qcc")), bytes);
  // The operator was told which line, and that OK's AutoSave left the file alone.
  ASSERT_EQ(loads_.size(), 1u);
  ASSERT_EQ(loads_[0].problems.size(), 1u);
  EXPECT_EQ(loads_[0].problems[0].line, 5u);
  EXPECT_EQ(loads_[0].problems[0].text, "CzasRozgrzewania := ~3000");
  EXPECT_EQ(loads_[0].unread, std::vector<Param>{Param::CzasRozgrzewania});
  EXPECT_EQ(kept_, std::vector<std::string>{PathOf("Varnholt.qcc")});
  // Saved by the operator, the file holds the values in use, and AutoSave writes it from then on.
  konfig.SaveAs(PathOf("Varnholt.qcc"));
  EXPECT_NE(Read(PathOf("Varnholt.qcc")).find("Pauza_w_kacie := 30\r\n"), std::string::npos);
  konfig.Show();
  konfig.params().SetNumber(Param::Pauza_w_kacie, 40);
  konfig.Ok();
  EXPECT_NE(Read(PathOf("Varnholt.qcc")).find("Pauza_w_kacie := 40\r\n"), std::string::npos);
  EXPECT_EQ(kept_.size(), 1u);
}

// A path longer than the settings record holds is kept whole for the file in use and never recorded cut.
TEST_F(KonfigLogic, APathTheRecordCannotHoldIsKeptWholeAndNotRecordedCut) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  const std::filesystem::path deep = folder_ / std::string(120, 'a') / std::string(120, 'b');
  std::filesystem::create_directories(deep);
  const std::string long_path = (deep / "profile.qcc").string();
  ASSERT_GT(long_path.size(), kConfigPathUnits);
  try {
    konfig.SaveAs(long_path);
  } catch (const RunTimeError&) {
  }
  EXPECT_EQ(konfig.ConfigFilePath(), long_path);
  EXPECT_EQ(not_recorded_, std::vector<std::string>{long_path});
  konfig.Show();
  konfig.params().SetFlag(Param::AutoSave, FlagState::kChecked);
  konfig.params().SetNumber(Param::skala, 321);
  konfig.Ok();
  EXPECT_NE(Read(long_path).find("skala := 321\r\n"), std::string::npos);
  const auto record = ReadProgramSettingsFile(PathOf("Varnholt.vhc"), "/unused");
  EXPECT_EQ(Utf16ToUtf8(record.ConfigFilePath), PathOf("Varnholt.qcc")) << "the record keeps the last path it can hold";
  EXPECT_FALSE(std::filesystem::exists(long_path.substr(0, kConfigPathUnits)));
}

TEST_F(KonfigLogic, ASettingsRecordThatCannotBeWrittenDoesNotSkipTheAutoSaveAndBothFailuresAreNamed) {
  Konfig konfig(folder_.string(), '.', Hooks());
  konfig.Create();
  std::filesystem::remove(PathOf("Varnholt.vhc"));
  std::filesystem::create_directory(PathOf("Varnholt.vhc"));
  konfig.Show();
  konfig.params().SetFlag(Param::AutoSave, FlagState::kChecked);
  konfig.params().SetNumber(Param::skala, 321);
  try {
    konfig.Ok();
    ADD_FAILURE() << "the settings record's failure was not reported";
  } catch (const RunTimeError& error) {
    EXPECT_NE(std::string(error.what()).find(PathOf("Varnholt.vhc")), std::string::npos) << error.what();
  }
  EXPECT_NE(Read(PathOf("Varnholt.qcc")).find("skala := 321\r\n"), std::string::npos);

  konfig.SaveAs(PathOf("fine.qcc"));
  std::filesystem::remove(PathOf("fine.qcc"));
  std::filesystem::create_directory(PathOf("fine.qcc"));
  try {
    konfig.Ok();
    ADD_FAILURE() << "nothing reported";
  } catch (const RunTimeError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(PathOf("Varnholt.vhc")), std::string::npos) << message;
    EXPECT_NE(message.find(PathOf("fine.qcc")), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace varnholt
