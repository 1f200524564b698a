// Every command test reads the shipped US texts from the build's program folder, whatever the machine's locale and
// whichever test runs first (the commands load their texts once per process).

#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/program_texts.h"

namespace {

class CliTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("LC_ALL", "en_US.UTF-8", 1);
    varnholt::cli::SetHomeOption(VARNHOLT_LANGUAGE_DIR);
  }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CliTestEnvironment);

}  // namespace
