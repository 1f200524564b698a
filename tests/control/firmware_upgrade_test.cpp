// The firmware upgrade against the simulated controller on virtual time, with images the tests make up.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/file_write.h"
#include "control/firmware_upgrade.h"
#include "link/command_bytes.h"
#include "link/move_record.h"
#include "control_test_support.h"
#include "support/firmware_test_image.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

std::string FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string UpgradeText(const char* key) { return UsTexts().GetText("Upgrade_firmware", key); }

TEST(FirmwareVersions, CompareAsMajorThenMinor) {
  EXPECT_EQ((FirmwareVersion{1, 10}.Text()), "1.10");
  EXPECT_TRUE(IsDowngrade({1, 9}, {1, 10}));
  EXPECT_TRUE(IsDowngrade({1, 10}, {2, 1}));
  EXPECT_TRUE(IsDowngrade({1, 99}, {2, 0}));
  EXPECT_FALSE(IsDowngrade({2, 1}, {1, 10}));
  EXPECT_FALSE(IsDowngrade({2, 0}, {1, 12}));
  EXPECT_FALSE(IsDowngrade({1, 13}, {1, 12}));
  EXPECT_FALSE(IsDowngrade({1, 12}, {1, 12}));
}

TEST(FirmwareImages, PathFollowsTheModelCode) {
  EXPECT_EQ(FirmwareImagePath("/opt/v/", "Qe"), "/opt/v/ROM/Qe/Ondrel.rom");
  EXPECT_EQ(FirmwareImagePath("/opt/v/", ""), "/opt/v/Ondrel.rom");
}

class FirmwareUpgradeTest : public ControlTest {
 protected:
  void SetUp() override {
    ControlTest::SetUp();
    upgrade_ = std::make_unique<FirmwareUpgrade>(link(), OneProgramFolder(folder_.folder()), [this] {
      if (on_change_) on_change_(upgrade_->view());
    });
  }

  FirmwareUpgrade& upgrade() { return *upgrade_; }
  const FirmwareView& view() { return upgrade_->view(); }
  // Places an image as the model's image in the program folder.
  std::string PlaceImage(const std::string& bytes) {
    folder_.MakeFolder("ROM/Qe");
    return folder_.Write("ROM/Qe/Ondrel.rom", bytes);
  }
  std::string ImagePath() const { return folder_.PathOf("ROM/Qe/Ondrel.rom"); }
  size_t FirmwareCommands() const {
    return CommandsOf('S', kSettingFirmwareRead) + CommandsOf('S', kSettingFirmwareErase) +
           CommandsOf('S', kSettingFirmwareWrite);
  }
  bool ControllerHolds(const FirmwareImage& image) const {
    for (size_t i = 0; i < image.words.size(); ++i) {
      if (sim_.firmware_word(i) != image.words[i]) return false;
    }
    return true;
  }
  std::vector<uint16_t> ControllerWords() const {
    std::vector<uint16_t> words;
    for (size_t i = 0; i < kFirmwareProgramWords; ++i) words.push_back(sim_.firmware_word(i));
    return words;
  }

  testing::TempFolder folder_;
  std::function<void(const FirmwareView&)> on_change_;
  std::unique_ptr<FirmwareUpgrade> upgrade_;
};

TEST_F(FirmwareUpgradeTest, ACleanUpgradeEndsWithTheNewVersionAndTheSuccessBox) {
  const FirmwareImage image = testing::TestFirmwareImage(1, 13);
  PlaceImage(FirmwareImageBytes(image));
  upgrade().Show();
  EXPECT_EQ(view().device_version, "1.12");
  EXPECT_EQ(view().image_version, "1.13");
  EXPECT_EQ(view().image_path, ImagePath());
  EXPECT_TRUE(view().upgrade_enabled);
  const int64_t start = clock_.NowMs();
  const int repaints = rounds_.repaints();

  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_TRUE(ControllerHolds(image));
  EXPECT_EQ(upgrade().device_version(), (FirmwareVersion{1, 13}));
  EXPECT_EQ(view().device_version, "1.13");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_FALSE(messages()[0].is_error);
  EXPECT_EQ(messages()[0].text, UpgradeText("aktualizacjaOK1") + "\n\n" + UpgradeText("aktualizacjaOK2") + "\n" +
                                    UpgradeText("aktualizacjaOK3"));
  EXPECT_TRUE(rounds_.recorded().questions().empty());
  // The controller held another program: erased first, 15 s of progress.
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareErase), 1u);
  EXPECT_GE(clock_.NowMs() - start, 15000);
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareWrite), kFirmwareProgramWords);
  EXPECT_EQ(view().ticks, (std::array<bool, 3>{true, true, true}));
  EXPECT_EQ(view().verify, UpgradeText("WeryfikacjaOk"));
  EXPECT_EQ(view().progress, 100);
  EXPECT_EQ(view().status, "");
  EXPECT_FALSE(view().busy);
  EXPECT_FALSE(rounds_.recorded().busy());
  // Erase, write and verify each move the gauge a hundred times, and the window repaints each time.
  EXPECT_GE(rounds_.repaints() - repaints, 300);
}

TEST_F(FirmwareUpgradeTest, ACorruptedWordStopsVerificationThere) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  sim_.CorruptFirmwareWord(1234, 0xBEEF);
  upgrade().Show();
  const int64_t requests = sim_.indexed_string_requests();
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed);
  EXPECT_EQ(view().verify, UpgradeText("WeryfikacjaBledy"));
  EXPECT_EQ(upgrade().first_difference(), std::optional<size_t>(1234));
  EXPECT_FALSE(upgrade().ok());
  EXPECT_TRUE(view().upgrade_enabled);
  // The controller's program is incomplete: the operator is told to repeat the upgrade before switching it off.
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_TRUE(messages()[0].is_error);
  EXPECT_EQ(messages()[0].text, UpgradeText("programNiekompletny"));
  // The status reads that see no cut under way (the upgrade's check and its hold of the machine), the blank test
  // twice (before and after erasing), then words 0..1234 and no more.
  EXPECT_EQ(sim_.indexed_string_requests() - requests, 2 + 2 + 1235);
}

TEST_F(FirmwareUpgradeTest, TheButtonIsEnabledForControllerVersionsFrom1_2To9) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  const std::pair<FirmwareVersion, bool> cases[] = {
      {{1, 1}, false}, {{1, 2}, true}, {{2, 1}, true}, {{0, 5}, false},
      {{10, 1}, false}, {{9, 0}, false}, {{9, 9}, true}, {{1, 12}, true},
  };
  for (const auto& [version, enabled] : cases) {
    sim_.SetFirmwareVersion(static_cast<uint8_t>(version.major), static_cast<uint8_t>(version.minor));
    upgrade().Show();
    EXPECT_EQ(view().device_version, version.Text());
    EXPECT_EQ(view().upgrade_enabled, enabled) << version.Text();
  }
  // Without an image there is nothing to upgrade with.
  std::filesystem::remove(ImagePath());
  upgrade().Show();
  EXPECT_EQ(view().image_version, UpgradeText("brakPliku"));
  EXPECT_FALSE(view().upgrade_enabled);
}

TEST_F(FirmwareUpgradeTest, AnOlderImageAsksBeforeAnythingIsSent) {
  sim_.SetFirmwareVersion(2, 1);
  for (const FirmwareVersion older : {FirmwareVersion{1, 9}, FirmwareVersion{1, 10}}) {
    PlaceImage(testing::TestFirmwareImageBytes(static_cast<uint16_t>(older.major), static_cast<uint16_t>(older.minor)));
    upgrade().Show();
    sim_.ClearLog();
    EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kCancelled) << older.Text();
    EXPECT_EQ(FirmwareCommands(), 0u);
    EXPECT_TRUE(view().upgrade_enabled);
  }
  const auto& questions = rounds_.recorded().questions();
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0].text, UpgradeText("downgrade"));
  EXPECT_EQ(questions[0].buttons, Buttons({kButtonYes, kButtonCancel}));
  // Yes goes on with the older image.
  rounds_.recorded().AnswerNext(kButtonYes);
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_EQ(upgrade().device_version(), (FirmwareVersion{1, 10}));

  // Newer by its major number, though its minor is smaller: no question.
  PlaceImage(testing::TestFirmwareImageBytes(2, 0));
  sim_.SetFirmwareVersion(1, 12);
  upgrade().Show();
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_EQ(questions.size(), 3u) << "only the older images asked";
  EXPECT_EQ(upgrade().device_version(), (FirmwareVersion{2, 0}));
}

TEST_F(FirmwareUpgradeTest, ABlankControllerIsNotErasedAgain) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  upgrade().Show();
  EXPECT_TRUE(upgrade().Erase());
  EXPECT_EQ(view().verify, UpgradeText("KasowanieOK"));
  EXPECT_TRUE(view().ticks[0]);
  EXPECT_EQ(ControllerWords(), std::vector<uint16_t>(kFirmwareProgramWords, 0xFFFF));
  sim_.ClearLog();
  const int64_t start = clock_.NowMs();
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareErase), 0u);
  EXPECT_LT(clock_.NowMs() - start, 15000);
}

TEST_F(FirmwareUpgradeTest, ACablePulledWhileWritingIsToldOnceWithTheIncompleteProgram) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  upgrade().Show();
  on_change_ = [this](const FirmwareView& shown) {
    if (shown.ticks[1] && shown.progress >= 30 && sim_.plugged()) sim_.Unplug();
  };
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));
  EXPECT_TRUE(messages()[0].is_error);
  EXPECT_EQ(messages()[1].text, UpgradeText("programNiekompletny"));
  EXPECT_FALSE(view().ticks[2]);  // no verification after a failed write
  EXPECT_TRUE(view().upgrade_enabled);
  EXPECT_FALSE(view().busy);
  EXPECT_LT(CommandsOf('S', kSettingFirmwareWrite), kFirmwareProgramWords / 2);
}

TEST_F(FirmwareUpgradeTest, AMissingShortOrUnreadableImageSendsNothing) {
  upgrade().Show();
  struct Case {
    const char* name;
    std::function<void()> make;
    const char* key;
  };
  const Case cases[] = {
      {"missing", [this] { std::filesystem::remove_all(ImagePath()); }, "obrazBrak"},
      {"short", [this] { PlaceImage(testing::TestFirmwareImageBytes(1, 13).substr(0, kFirmwareImageBytes - 1)); },
       "obrazZaKrotki"},
      {"a folder",
       [this] {
         std::filesystem::remove_all(ImagePath());
         folder_.MakeFolder("ROM/Qe/Ondrel.rom");
       },
       "obrazNieczytelny"},
  };
  for (const Case& c : cases) {
    c.make();
    rounds_.recorded() = ScriptedOperator{};
    sim_.ClearLog();
    EXPECT_FALSE(upgrade().Write(true)) << c.name;
    EXPECT_FALSE(upgrade().Verify()) << c.name;
    EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed) << c.name;
    EXPECT_EQ(FirmwareCommands(), 0u) << c.name;
    ASSERT_EQ(messages().size(), 3u) << c.name;
    for (const auto& message : messages()) {
      EXPECT_TRUE(message.is_error);
      EXPECT_EQ(message.text.rfind(UpgradeText(c.key) + "\n" + ImagePath(), 0), 0u) << message.text;
    }
  }
  EXPECT_NE(messages()[0].text.find("File access denied"), std::string::npos);
  upgrade().Show();
  EXPECT_EQ(view().image_version, UpgradeText("plikUszkodzony"));
  EXPECT_FALSE(view().upgrade_enabled);
}

// Reading the controller saves its program as a backup of its own, named by model and version; the image the dialog
// shows stays the one the upgrade writes.
TEST_F(FirmwareUpgradeTest, ReadingTheControllerMakesABackupAndNeverChangesTheUpgradeImage) {
  const FirmwareImage image = testing::TestFirmwareImage(1, 13);
  const std::string bytes = FirmwareImageBytes(image);
  PlaceImage(bytes);
  upgrade().Show();
  const std::vector<uint16_t> before = ControllerWords();
  ASSERT_TRUE(upgrade().ReadToFile());
  EXPECT_EQ(FileBytes(ImagePath()), bytes) << "the upgrade image is left as it was";
  EXPECT_EQ(upgrade().image_path(), ImagePath());
  EXPECT_EQ(view().image_version, "1.13");
  const std::string backup = folder_.PathOf("ROM/Qe/Qe-1.12-backup.rom");
  EXPECT_EQ(FileBytes(backup), FirmwareImageBytes(FirmwareImage{{1, 12}, before}));
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_FALSE(messages()[0].is_error);
  EXPECT_NE(messages()[0].text.find(backup), std::string::npos) << messages()[0].text;

  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_TRUE(ControllerHolds(image)) << "the upgrade writes the image the dialog showed";

  // The operator picks the backup to go back: it is written like any image, and reading 1.12 again keeps the
  // first backup whole beside the new one.
  upgrade().UseImageFile(backup);
  upgrade().Show();
  EXPECT_EQ(view().image_version, "1.12");
  rounds_.recorded().AnswerNext(kButtonYes);
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_EQ(ControllerWords(), before);
  sim_.CorruptFirmwareWord(7, 0x1234);
  rounds_.recorded().AnswerNext(kButtonYes);
  upgrade().Upgrade();
  ASSERT_TRUE(upgrade().ReadToFile());
  EXPECT_EQ(FileBytes(backup), FirmwareImageBytes(FirmwareImage{{1, 12}, before}));
  EXPECT_EQ(FileBytes(folder_.PathOf("ROM/Qe/Qe-1.12-backup-2.rom")),
            FirmwareImageBytes(FirmwareImage{{1, 12}, ControllerWords()}));
}

TEST_F(FirmwareUpgradeTest, AReadThatFailsLeavesNoBackup) {
  upgrade().Show();
  on_change_ = [this](const FirmwareView& shown) {
    if (shown.progress >= 50 && sim_.plugged()) sim_.Unplug();
  };
  EXPECT_FALSE(upgrade().ReadToFile());
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));

  on_change_ = {};
  sim_.Replug();
  usb_->DeviceChange();
  {
    ScopedWriteFault full_disk(WriteFault{WriteStep::kWrite, 4096, ENOSPC});
    EXPECT_FALSE(upgrade().ReadToFile());
  }
  const std::string backup = folder_.PathOf("ROM/Qe/Qe-1.12-backup.rom");
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[1].text, "I/O error 112: no space left on device (" + backup + ")");
  EXPECT_FALSE(std::filesystem::exists(backup));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.PathOf("ROM/Qe")), {}), 0);
}

TEST_F(FirmwareUpgradeTest, AnInstalledProgramReadsImagesFromBothFoldersAndWritesOnlyTheAccounts) {
  testing::TempFolder account;
  const ProgramFolders folders{folder_.folder(), account.folder() + "varnholt/", true};
  const std::string shipped = PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  const std::string shipped_bytes = FileBytes(shipped);
  FirmwareUpgrade installed(link(), folders);

  installed.Show();
  EXPECT_EQ(installed.image_path(), shipped) << "the shipped image while the account has none";
  EXPECT_EQ(installed.view().image_version, "1.13");
  ASSERT_TRUE(installed.ReadToFile());
  EXPECT_EQ(FileBytes(shipped), shipped_bytes) << "the installed image is never written";
  EXPECT_EQ(FileBytes(folders.writable + "ROM/Qe/Qe-1.12-backup.rom"),
            FirmwareImageBytes(FirmwareImage{{1, 12}, ControllerWords()}));
  EXPECT_EQ(installed.image_path(), shipped);
  for (const std::string& made : {folders.writable + "ROM", folders.writable + "ROM/Qe"}) {
    EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all)
        << made << ": the account's folders are its own";
  }

  // An image the operator put in the account's folder comes first, unless the shipped one is newer (an older copy
  // left there must not hide a newer program).
  const std::string own = folders.writable + "ROM/Qe/Ondrel.rom";
  std::ofstream(own, std::ios::binary) << testing::TestFirmwareImageBytes(1, 14);
  installed.Show();
  EXPECT_EQ(installed.image_path(), own);
  EXPECT_EQ(installed.view().image_version, "1.14");
  std::ofstream(own, std::ios::binary) << testing::TestFirmwareImageBytes(1, 12);
  installed.Show();
  EXPECT_EQ(installed.image_path(), shipped);
  EXPECT_EQ(installed.view().image_version, "1.13");
  EXPECT_EQ(FindFirmwareImage(ProgramFolders{folder_.folder(), "", true}, "Qe"), shipped) << "no account folder";
}

TEST_F(FirmwareUpgradeTest, AFailedEraseStopsTheUpgradeWithItsMessage) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  sim_.FailErases();
  upgrade().Show();
  const std::vector<uint16_t> before = ControllerWords();
  sim_.ClearLog();
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed);
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareErase), 1u);
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareWrite), 0u) << "nothing is written over a memory that is not erased";
  EXPECT_EQ(ControllerWords(), before);
  EXPECT_EQ(view().verify, UpgradeText("KasowanieBlad"));
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_TRUE(messages()[0].is_error);
  EXPECT_EQ(messages()[0].text, UpgradeText("KasowanieBlad"));
  EXPECT_EQ(messages()[1].text, UpgradeText("programNiekompletny")) << "an erase that failed may have begun";
  EXPECT_TRUE(view().upgrade_enabled);
  // The service panel's write stops the same way.
  sim_.ClearLog();
  EXPECT_FALSE(upgrade().Write(true));
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareWrite), 0u);
}

// An image is checked whole before anything is sent: its size, its version against the version words it carries,
// a version the upgrade button would take, and not the erased pattern.
TEST_F(FirmwareUpgradeTest, ImagesAreCheckedWholeBeforeAnythingIsSent) {
  const std::string good = testing::TestFirmwareImageBytes(1, 13);
  std::string random(kFirmwareImageBytes, '\0');
  uint32_t seed = 12345;
  for (char& c : random) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  FirmwareImage mislabelled = testing::TestFirmwareImage(0, 0);
  mislabelled.version = {99, 99};
  FirmwareImage erased = testing::TestFirmwareImage(1, 13);
  for (size_t i = 0; i + 2 < erased.words.size(); ++i) erased.words[i] = 0xFFFF;
  const std::pair<const char*, std::string> cases[] = {
      {"one byte too long", good + '\0'},
      {"all 0xFF", std::string(kFirmwareImageBytes, '\xFF')},
      {"header 99.99, words 0.0", FirmwareImageBytes(mislabelled)},
      {"random", random},
      {"version 0.0", testing::TestFirmwareImageBytes(0, 0)},
      {"erased program", FirmwareImageBytes(erased)},
  };
  for (const auto& [name, bytes] : cases) {
    PlaceImage(bytes);
    upgrade().Show();
    EXPECT_FALSE(view().upgrade_enabled) << name;
    EXPECT_EQ(view().image_version, UpgradeText("plikUszkodzony")) << name;
    const std::vector<uint16_t> before = ControllerWords();
    rounds_.recorded() = ScriptedOperator{};
    rounds_.recorded().AnswerNext(kButtonYes);
    sim_.ClearLog();
    EXPECT_NE(upgrade().Upgrade(), UpgradeResult::kDone) << name;
    EXPECT_FALSE(upgrade().Write(true)) << name;
    EXPECT_EQ(FirmwareCommands(), 0u) << name;
    EXPECT_EQ(ControllerWords(), before) << name;
    ASSERT_FALSE(messages().empty()) << name;
    EXPECT_TRUE(messages()[0].is_error) << name;
  }
}

// A controller whose firmware the program refuses (0.0, as an image carrying 0.0 once left it) is mended by the
// recovery, which writes a whole, checked image all the same.
TEST_F(FirmwareUpgradeTest, ARefusedControllerIsMendedByTheRecovery) {
  const FirmwareImage image = testing::TestFirmwareImage(1, 13);
  PlaceImage(FirmwareImageBytes(image));
  sim_.SetFirmwareVersion(0, 0);
  upgrade().Show();
  EXPECT_FALSE(view().upgrade_enabled);
  sim_.ClearLog();
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed);
  EXPECT_EQ(FirmwareCommands(), 0u);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, UpgradeText("wersjaSterownikaNieobslugiwana") + "\n0.0");
  EXPECT_EQ(upgrade().Upgrade(true), UpgradeResult::kDone);
  EXPECT_TRUE(ControllerHolds(image));
  EXPECT_EQ(upgrade().device_version(), (FirmwareVersion{1, 13}));
}

TEST_F(FirmwareUpgradeTest, NothingIsSentWhileAProgramRuns) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  ASSERT_TRUE(SendCommand(link(), BuildMoveRecord('a', state_.profile.StepMultiplier, {20000, 0, 0, 0, 20000, 0, 0, 0}).bytes));
  ASSERT_TRUE(SendCommand(link(), GoCommand()));
  upgrade().Show();
  const std::vector<uint16_t> before = ControllerWords();
  sim_.ClearLog();
  EXPECT_NE(upgrade().Upgrade(), UpgradeResult::kDone);
  EXPECT_FALSE(upgrade().Erase());
  EXPECT_FALSE(upgrade().Write(true));
  EXPECT_FALSE(upgrade().Verify());
  EXPECT_FALSE(upgrade().ReadToFile());
  upgrade().Restart();
  EXPECT_EQ(FirmwareCommands() + CommandsOf('S', kSettingFirmwareRestart), 0u);
  EXPECT_EQ(ControllerWords(), before);
  ReadStatus(link());
  EXPECT_TRUE(state_.Has(kStatusProgramRunning)) << "the program runs on";
  ASSERT_FALSE(messages().empty());
  EXPECT_EQ(messages()[0].text, UpgradeText("maszynaPracuje"));
}

TEST_F(FirmwareUpgradeTest, RestartWaitsForTheControllerAndAsksItsVersion) {
  upgrade().Show();
  sim_.ClearLog();
  const int64_t start = clock_.NowMs();
  upgrade().Restart();
  EXPECT_GE(clock_.NowMs() - start, 9000);
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareRestart), 1u);
  EXPECT_GE(CommandsOf('X'), 1u);
  EXPECT_EQ(view().device_version, "1.12");
  EXPECT_EQ(view().status, "");
  EXPECT_TRUE(upgrade().ok());
}

// The restart command itself is lost: told once; the controller the device change finds again is asked its version.
TEST_F(FirmwareUpgradeTest, ALostRestartIsToldOnceAndTheControllerFoundAgainAnswers) {
  upgrade().Show();
  sim_.ClearLog();
  sim_.FailNextWrites(1, kHidIoDevice);
  upgrade().Restart();
  EXPECT_EQ(CommandsOf('S', kSettingFirmwareRestart), 0u);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));
  EXPECT_TRUE(messages()[0].busy) << "the step holds the hourglass until it ends";
  EXPECT_EQ(view().device_version, "1.12");
  EXPECT_FALSE(view().busy);
  EXPECT_FALSE(rounds_.recorded().busy());
}

}  // namespace
}  // namespace varnholt
