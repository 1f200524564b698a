#include "app/instance_lock.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace varnholt {
namespace {

// A second copy on the same program folder finds the controller taken, under any spelling of the folder;
// copies on folders of their own (the tests, --home) do not meet; the lock is free again once its copy ends.
TEST(InstanceLock, OneCopyPerProgramFolder) {
  testing::TempFolder locks;
  testing::TempFolder home;
  testing::TempFolder other;
  std::filesystem::create_directories(home.PathOf("sub"));
  {
    InstanceLock first(home.folder(), locks.folder());
    ASSERT_TRUE(first.acquired());
    EXPECT_FALSE(InstanceLock(home.folder(), locks.folder()).acquired());
    EXPECT_FALSE(InstanceLock(home.PathOf("sub") + "/..", locks.folder()).acquired()) << "the same folder";
    EXPECT_TRUE(InstanceLock(other.folder(), locks.folder()).acquired()) << "another program folder";
  }
  EXPECT_TRUE(InstanceLock(home.folder(), locks.folder()).acquired()) << "the first copy ended";
}

}  // namespace
}  // namespace varnholt
