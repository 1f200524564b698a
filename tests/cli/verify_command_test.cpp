#include <gtest/gtest.h>

#include <string>

#include "support/command_run.h"
#include "support/temp_folder.h"

namespace varnholt {
namespace {

using testing::Command;
using testing::CommandRun;

// A square beside an open zig-zag that planning enters at an inner vertex.
constexpr const char* kZigZag = "PU0,0;PD4000,0,4000,4000,0,4000,0,0;PU6000,8000;PD6000,6000,7000,2000,8000,6000,8000,8000;";

TEST(VerifyCommand, TheWrittenProgramCutsExactlyTheDrawing) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("zigzag.plt", kZigZag);
  const std::string program = folder.PathOf("out.cn");
  for (const cli::Arguments& extra : {cli::Arguments{}, cli::Arguments{"--model", "Qa"},
                                      cli::Arguments{"--columns", "3", "--rows", "2"}}) {
    cli::Arguments write = {drawing, "-o", program, "--auto-repeat"};
    write.insert(write.end(), extra.begin(), extra.end());
    ASSERT_EQ(Command(cli::RunWrite, write).code, 0);
    cli::Arguments verify = {drawing, program};
    verify.insert(verify.end(), extra.begin(), extra.end());
    const CommandRun run = Command(cli::RunVerify, verify);
    EXPECT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_EQ(run.out.rfind("{\"passed\":true,", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\"ends_where_it_began\":true,\"stray_cuts\":[],\"uncut\":[]}"), std::string::npos)
        << run.out;
  }
}

TEST(VerifyCommand, AProgramOfAnotherDrawingFailsTheCheck) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("zigzag.plt", kZigZag);
  const std::string other = folder.Write("square.plt", "PU0,0;PD2000,0,2000,2000,0,2000,0,0;");
  const std::string program = folder.PathOf("out.cn");
  ASSERT_EQ(Command(cli::RunWrite, {other, "-o", program}).code, 0);
  const CommandRun run = Command(cli::RunVerify, {drawing, program});
  EXPECT_EQ(run.code, 2) << run.err;
  EXPECT_EQ(run.out.rfind("{\"passed\":false,", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("\"stray_cuts\":[{\"offset\":"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"uncut\":[{\"figure\":0,\"segment\":"), std::string::npos) << run.out;
}

TEST(VerifyCommand, WhatCannotBeCheckedEndsWithCodeOne) {
  testing::TempFolder folder;
  const std::string drawing = folder.Write("zigzag.plt", kZigZag);
  const std::string damaged = folder.Write("damaged.cn", "a");
  EXPECT_EQ(Command(cli::RunVerify, {drawing}).code, 1);
  EXPECT_EQ(Command(cli::RunVerify, {drawing, damaged, "--speed"}).code, 1);
  EXPECT_EQ(Command(cli::RunVerify, {drawing, damaged, damaged}).code, 1);
  EXPECT_EQ(Command(cli::RunVerify, {drawing, folder.PathOf("missing.cn")}).code, 1);
  EXPECT_EQ(Command(cli::RunVerify, {drawing, damaged, "--model", "Qx"}).code, 1);
  const CommandRun run = Command(cli::RunVerify, {drawing, damaged});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("damaged at offset 0"), std::string::npos) << run.err;
  EXPECT_TRUE(run.out.empty());
  // A device is no program (nor a drawing): refused at once, naming it.
  for (const cli::Arguments& args : {cli::Arguments{drawing, "/dev/null"}, cli::Arguments{"/dev/null", damaged}}) {
    const CommandRun device = Command(cli::RunVerify, args);
    EXPECT_EQ(device.code, 1);
    EXPECT_NE(device.err.find("/dev/null"), std::string::npos) << device.err;
    EXPECT_NE(device.err.find("not a regular file"), std::string::npos) << device.err;
  }
}

}  // namespace
}  // namespace varnholt
