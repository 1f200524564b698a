// Where the program reads its shipped data and writes its files: --home, $VARNHOLT_HOME, the build tree, and an
// installed program with and without $XDG_DATA_HOME.

#include "services/program_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

// An installed program's tree under a scratch root: usr/bin and usr/share/varnholt.
class InstalledTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_.MakeFolder("usr/bin");
    root_.MakeFolder("usr/share/varnholt");
    root_.MakeFolder("home/op");
  }

  FolderFacts Facts() const {
    FolderFacts facts;
    facts.executable_folder = Bin();
    facts.account_home = root_.PathOf("home/op");
    return facts;
  }
  std::string Bin() const { return root_.PathOf("usr/bin/"); }
  std::string Shared() const { return root_.PathOf("usr/share/varnholt/"); }
  std::string AccountData() const { return root_.PathOf("home/op/.local/share/varnholt/"); }

  TempFolder root_;
};

TEST_F(InstalledTree, ShippedDataFromShareAndWrittenFilesInTheAccountsDataFolder) {
  EXPECT_EQ(InstalledDataFolderOf(Bin()), Shared());
  const ProgramFolders folders = ChooseProgramFolders(Facts());
  EXPECT_EQ(folders.shipped, Shared());
  EXPECT_EQ(folders.writable, AccountData());
  EXPECT_TRUE(folders.per_account);
}

TEST_F(InstalledTree, XdgDataHomeCountsOnlyWhenAbsolute) {
  FolderFacts facts = Facts();
  facts.xdg_data_home = root_.PathOf("data");
  EXPECT_EQ(ChooseProgramFolders(facts).writable, root_.PathOf("data/varnholt/"));
  EXPECT_EQ(ChooseProgramFolders(facts).shipped, Shared());
  for (const char* ignored : {"", "relative/data"}) {
    facts.xdg_data_home = ignored;
    EXPECT_EQ(ChooseProgramFolders(facts).writable, AccountData()) << "'" << ignored << "'";
  }
}

TEST_F(InstalledTree, HomeOptionAndEnvironmentStillNameOneFolderForBoth) {
  FolderFacts facts = Facts();
  facts.xdg_data_home = root_.PathOf("data");
  facts.varnholt_home = "/srv/cutter";
  const ProgramFolders from_environment = ChooseProgramFolders(facts);
  EXPECT_EQ(from_environment.shipped, "/srv/cutter/");
  EXPECT_EQ(from_environment.writable, "/srv/cutter/");
  EXPECT_FALSE(from_environment.per_account);

  facts.home_option = "/home/op/varnholt";
  EXPECT_EQ(ChooseProgramFolders(facts).shipped, "/home/op/varnholt/") << "--home wins over the environment";
  EXPECT_EQ(ChooseProgramFolders(facts).writable, "/home/op/varnholt/");

  facts.home_option = "";
  facts.varnholt_home = "";
  EXPECT_TRUE(ChooseProgramFolders(facts).per_account) << "empty values count as unset";
}

TEST_F(InstalledTree, WithoutAHomeFolderNothingIsWrittenAndTheFirstStartSaysSo) {
  FolderFacts facts = Facts();
  facts.account_home.reset();
  const ProgramFolders folders = ChooseProgramFolders(facts);
  EXPECT_EQ(folders.writable, "") << "never the installed folder, never the working folder";
  const std::string problem = MakeWritableFolder(folders);
  EXPECT_NE(problem.find("~/.local/share/varnholt"), std::string::npos) << problem;
}

TEST(ProgramFolders, TheBuildTreeKeepsItsOwnFolder) {
  TempFolder build;
  build.MakeFolder("bin");
  FolderFacts facts;
  facts.executable_folder = build.PathOf("bin/");
  facts.account_home = build.PathOf("home");
  facts.xdg_data_home = build.PathOf("data");
  const ProgramFolders folders = ChooseProgramFolders(facts);
  EXPECT_EQ(folders.shipped, build.PathOf("bin/"));
  EXPECT_EQ(folders.writable, build.PathOf("bin/"));
  EXPECT_FALSE(folders.per_account);
  EXPECT_EQ(MakeWritableFolder(folders), "");
  EXPECT_FALSE(fs::exists(build.PathOf("home"))) << "nothing is made for the build tree";
}

TEST_F(InstalledTree, FirstStartMakesTheDataFolderForTheAccountAlone) {
  const fs::perms home_perms = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
  fs::permissions(root_.PathOf("home/op"), home_perms);
  const ProgramFolders folders = ChooseProgramFolders(Facts());
  ASSERT_EQ(MakeWritableFolder(folders), "");
  for (const std::string& made : {root_.PathOf("home/op/.local"), root_.PathOf("home/op/.local/share"),
                                  AccountData()}) {
    ASSERT_TRUE(fs::is_directory(made)) << made;
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  EXPECT_EQ(fs::status(root_.PathOf("home/op")).permissions(), home_perms) << "a folder that existed is left alone";
  EXPECT_EQ(MakeWritableFolder(folders), "") << "a second start finds it";
}

TEST(OwnFolders, EveryMissingFolderIsTheAccountsAloneAndAnExistingOneKeepsItsPermissions) {
  TempFolder root;
  const fs::perms open_perms = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
  root.MakeFolder("kept");
  fs::permissions(root.PathOf("kept"), open_perms);
  EXPECT_FALSE(MakeOwnFolders(root.PathOf("kept/ROM/Qe")));
  EXPECT_EQ(fs::status(root.PathOf("kept")).permissions(), open_perms);
  for (const std::string& made : {root.PathOf("kept/ROM"), root.PathOf("kept/ROM/Qe")}) {
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  }
  EXPECT_FALSE(MakeOwnFolders(root.PathOf("kept/ROM/Qe"))) << "a folder that exists is enough";

  root.Write("kept/file", "a file where a folder belongs");
  EXPECT_TRUE(MakeOwnFolders(root.PathOf("kept/file/below")));
}

TEST_F(InstalledTree, AFolderThatCannotBeMadeIsNamedWithTheReason) {
  root_.Write("home/op/.local", "a file where a folder belongs");
  const ProgramFolders folders = ChooseProgramFolders(Facts());
  const std::string problem = MakeWritableFolder(folders);
  EXPECT_EQ(problem.rfind(AccountData() + ": ", 0), 0u) << problem;
  EXPECT_GT(problem.size(), AccountData().size() + 2) << "with the system's reason";
}

TEST(ProgramFolders, ThisRunReadsTheOptionTheEnvironmentAndItsOwnPlace) {
  const char* saved = std::getenv("VARNHOLT_HOME");
  const std::string saved_home = saved != nullptr ? saved : "";
  unsetenv("VARNHOLT_HOME");
  const std::string executable = ExecutableFolder();
  ASSERT_EQ(executable.back(), '/');
  EXPECT_TRUE(fs::exists(executable + "services_tests")) << executable;
  EXPECT_EQ(ProgramFoldersOfThisRun(std::nullopt).shipped, executable) << "the tests run in the build tree";
  setenv("VARNHOLT_HOME", "/srv/cutter", 1);
  EXPECT_EQ(ProgramFoldersOfThisRun(std::nullopt).writable, "/srv/cutter/");
  EXPECT_EQ(ProgramFoldersOfThisRun(std::string("/home/op/varnholt")).writable, "/home/op/varnholt/");
  if (saved != nullptr) {
    setenv("VARNHOLT_HOME", saved_home.c_str(), 1);
  } else {
    unsetenv("VARNHOLT_HOME");
  }
}

}  // namespace
}  // namespace varnholt
