// The firmware upgrade against the simulated controller on virtual time, with images the tests make up.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/file_write.h"
#include "control/firmware_upgrade.h"
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

TEST(FirmwareVersions, NumbersAreTheDigitsOneAfterTheOther) {
  EXPECT_EQ((FirmwareVersion{1, 12}.Number()), 112);
  EXPECT_EQ((FirmwareVersion{2, 3}.Number()), 23);
  EXPECT_EQ((FirmwareVersion{1, 10}.Text()), "1.10");
  EXPECT_TRUE(IsDowngrade({1, 9}, {1, 10}));   // 19 < 110
  EXPECT_TRUE(IsDowngrade({2, 1}, {1, 10}));   // 21 < 110
  EXPECT_FALSE(IsDowngrade({1, 13}, {1, 12}));
  EXPECT_FALSE(IsDowngrade({1, 12}, {1, 12}));
  EXPECT_EQ((FirmwareVersion{65535, 65535}.Number()), 6553565535);
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
  EXPECT_TRUE(messages().empty());
  // The status read that sees no cut under way, the blank test twice (before and after erasing), then words
  // 0..1234 and no more.
  EXPECT_EQ(sim_.indexed_string_requests() - requests, 1 + 2 + 1235);
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
  sim_.SetFirmwareVersion(1, 10);
  for (const FirmwareVersion older : {FirmwareVersion{1, 9}, FirmwareVersion{2, 1}}) {
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
  EXPECT_EQ(upgrade().device_version(), (FirmwareVersion{2, 1}));
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

TEST_F(FirmwareUpgradeTest, ACablePulledWhileWritingEndsTheUpgradeWithOneBox) {
  PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  upgrade().Show();
  on_change_ = [this](const FirmwareView& shown) {
    if (shown.ticks[1] && shown.progress >= 30 && sim_.plugged()) sim_.Unplug();
  };
  EXPECT_EQ(upgrade().Upgrade(), UpgradeResult::kFailed);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));
  EXPECT_TRUE(messages()[0].is_error);
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

TEST_F(FirmwareUpgradeTest, ReadingToAFileReplacesItOnlyWithAWholeImage) {
  upgrade().Show();
  // The model's folder is made when missing.
  ASSERT_TRUE(upgrade().ReadToFile());
  const std::string read = FileBytes(ImagePath());
  EXPECT_EQ(read, FirmwareImageBytes(FirmwareImage{{1, 12}, ControllerWords()}));

  const std::string old = PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  const std::string old_bytes = FileBytes(old);
  on_change_ = [this](const FirmwareView& shown) {
    if (shown.progress >= 50 && sim_.plugged()) sim_.Unplug();
  };
  EXPECT_FALSE(upgrade().ReadToFile());
  EXPECT_EQ(FileBytes(old), old_bytes);
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_EQ(messages()[0].text, ControlText("ploterBrakLacznosci"));

  on_change_ = {};
  sim_.Replug();
  usb_->DeviceChange();
  {
    ScopedWriteFault full_disk(WriteFault{WriteStep::kWrite, 4096, ENOSPC});
    EXPECT_FALSE(upgrade().ReadToFile());
  }
  EXPECT_EQ(FileBytes(old), old_bytes);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[1].text, "I/O error 112: no space left on device (" + old + ")");
}

TEST_F(FirmwareUpgradeTest, AnInstalledProgramReadsImagesFromBothFoldersAndWritesOnlyTheAccounts) {
  testing::TempFolder account;
  const ProgramFolders folders{folder_.folder(), account.folder() + "varnholt/", true};
  const std::string shipped = PlaceImage(testing::TestFirmwareImageBytes(1, 13));
  const std::string shipped_bytes = FileBytes(shipped);
  const std::string own = folders.writable + "ROM/Qe/Ondrel.rom";
  FirmwareUpgrade installed(link(), folders);

  installed.Show();
  EXPECT_EQ(installed.image_path(), shipped) << "the shipped image while the account has none";
  EXPECT_EQ(installed.view().image_version, "1.13");
  ASSERT_TRUE(installed.ReadToFile());
  EXPECT_EQ(FileBytes(shipped), shipped_bytes) << "the installed image is never written";
  EXPECT_EQ(FileBytes(own), FirmwareImageBytes(FirmwareImage{{1, 12}, ControllerWords()}));
  EXPECT_EQ(installed.image_path(), own);
  for (const std::string& made : {folders.writable + "ROM", folders.writable + "ROM/Qe"}) {
    EXPECT_EQ(std::filesystem::status(made).permissions(), std::filesystem::perms::owner_all)
        << made << ": the account's folders are its own";
  }

  installed.Show();
  EXPECT_EQ(installed.image_path(), own) << "the account's own image comes first";
  EXPECT_EQ(installed.view().image_version, "1.12");
  EXPECT_EQ(FindFirmwareImage(ProgramFolders{folder_.folder(), "", true}, "Qe"), shipped) << "no account folder";
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
