#include "config/file_write.h"
#include "config/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "config/konfig_file.h"
#include "config/program_settings.h"
#include "config_test_support.h"
#include "geometry/run_time_error.h"

namespace varnholt {
namespace {

class FileWrite : public TempFolderTest {};

TEST_F(FileWrite, ReplacesAndCreatesWholeFiles) {
  const std::string path = Write("a.qcc", "old contents that are longer");
  WriteFileReplacing(path, "new");
  EXPECT_EQ(Read(path), "new");
  WriteFileReplacing(PathOf("b.qcc"), "");
  EXPECT_EQ(Read(PathOf("b.qcc")), "");
  EXPECT_EQ(FileCount(), 2u);
}

TEST_F(FileWrite, AWriteFailingAtAnyByteKeepsTheOldFile) {
  const std::string path = Write("Varnholt.qcc", "the old configuration");
  const std::string fresh = KonfigText(Configuration(), '.');
  for (size_t at = 0; at <= fresh.size(); at += 7) {
    ScopedWriteFault fault({WriteStep::kWrite, at, ENOSPC});
    try {
      WriteKonfigFile(path, Configuration(), '.');
      FAIL() << "reported success at byte " << at;
    } catch (const RunTimeError& error) {
      EXPECT_EQ(std::string(error.what()), "I/O error 112: no space left on device (" + path + ")");
    }
    ASSERT_EQ(Read(path), "the old configuration") << at;
    ASSERT_EQ(FileCount(), 1u) << "partial file left at byte " << at;
  }
  WriteKonfigFile(path, Configuration(), '.');
  EXPECT_EQ(Read(path), fresh);
}

TEST_F(FileWrite, EveryFailingStepKeepsTheOldFileAndIsReported) {
  const std::string old_record(kProgramSettingsSize, 'r');
  const std::string path = Write("Varnholt.vhc", old_record);
  for (WriteStep step : {WriteStep::kOpen, WriteStep::kWrite, WriteStep::kSync, WriteStep::kClose,
                         WriteStep::kRename}) {
    ScopedWriteFault fault({step, kProgramSettingsSize, EIO});
    EXPECT_THROW(WriteProgramSettingsFile(path, ProgramSettings{}), RunTimeError);
    EXPECT_EQ(Read(path), old_record);
    EXPECT_EQ(FileCount(), 1u);
  }
  {
    ScopedWriteFault fault({WriteStep::kOpen, 0, EACCES});
    try {
      WriteProgramSettingsFile(path, ProgramSettings{});
      FAIL();
    } catch (const RunTimeError& error) {
      EXPECT_EQ(std::string(error.what()), "File access denied: permission denied (" + path + ")");
    }
  }
  // A missing settings file whose defaults cannot be written is an error, not silent defaults.
  ScopedWriteFault fault({WriteStep::kWrite, 100, ENOSPC});
  EXPECT_THROW(ReadProgramSettingsFile(PathOf("new.vhc"), "/x"), RunTimeError);
  EXPECT_FALSE(std::filesystem::exists(PathOf("new.vhc")));
}

TEST_F(FileWrite, KeepsPermissionsAndFollowsLinks) {
  const std::string path = Write("real.qcc", "old");
  ::chmod(path.c_str(), 0640);
  std::filesystem::create_symlink(path, folder_ / "link.qcc");
  WriteFileReplacing(PathOf("link.qcc"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(folder_ / "link.qcc"));
  EXPECT_EQ(Read(path), "new");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(FileWrite, FoldersAndMissingFoldersFail) {
  std::filesystem::create_directory(folder_ / "sub");
  EXPECT_THROW(WriteFileReplacing(PathOf("sub"), "x"), RunTimeError);
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "sub"));
  try {
    WriteFileReplacing(PathOf("nowhere/a.qcc"), "x");
    FAIL();
  } catch (const RunTimeError& error) {
    EXPECT_EQ(std::string(error.what()), "I/O error 2: no such file or directory (" + PathOf("nowhere/a.qcc") + ")");
  }
}

// A pipe, a device or a socket in a file's place is refused at once, never replaced and never waited on; the message
// names the file and what it is.
TEST_F(FileWrite, APipeOrDeviceInTheFilesPlaceIsRefusedNotReplaced) {
  ASSERT_EQ(::mkfifo(PathOf("out.cn").c_str(), 0600), 0);
  std::filesystem::create_symlink(PathOf("out.cn"), folder_ / "link.cn");
  for (const char* name : {"out.cn", "link.cn"}) {
    try {
      WriteFileReplacing(PathOf(name), "program");
      ADD_FAILURE() << name << " was written";
    } catch (const RunTimeError& error) {
      EXPECT_NE(std::string(error.what()).find(PathOf(name)), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find("pipe"), std::string::npos) << error.what();
    }
    struct stat info {};
    ASSERT_EQ(::lstat(PathOf("out.cn").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode)) << name;
  }
  EXPECT_EQ(FileCount(), 2u) << "no partial file left";
  for (const std::string& input : {PathOf("out.cn"), std::string("/dev/zero")}) {
    try {
      ReadFileBytes(input, 100);
      ADD_FAILURE() << input << " was read";
    } catch (const RunTimeError& error) {
      EXPECT_NE(std::string(error.what()).find("not a regular file"), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(input), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace varnholt
