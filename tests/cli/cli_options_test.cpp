#include <gtest/gtest.h>

#include "CliOptions.h"

using namespace cli;

namespace {

bool Parse(std::vector<std::string> args, CliOptions* options, std::string* error = nullptr) {
  std::string ignored;
  return ParseArguments(args, options, error ? error : &ignored);
}

TEST(CliOptions, InstallTakesEveryOption) {
  CliOptions o;
  ASSERT_TRUE(Parse({"install", "--fs", "/fs", "--squawkbox=/sb", "--catalogue", "/cat", "--airline", "A : B",
                     "--airline=C", "--yes"},
                    &o));
  EXPECT_EQ(o.command, CliCommand::Install);
  EXPECT_TRUE(o.hasFs);
  EXPECT_EQ(o.fs, "/fs");
  EXPECT_TRUE(o.hasSquawkBox);
  EXPECT_EQ(o.squawkBox, "/sb");
  EXPECT_EQ(o.catalogue, "/cat");
  EXPECT_EQ(o.airlines, (std::vector<std::string>{"A : B", "C"}));
  EXPECT_TRUE(o.yes);
  ASSERT_TRUE(Parse({"install", "--fs="}, &o));
  EXPECT_TRUE(o.hasFs) << "an empty folder is still a given folder";
  EXPECT_FALSE(o.hasSquawkBox);
}

TEST(CliOptions, UsageErrorsAreCaught) {
  CliOptions o;
  std::string error;
  EXPECT_FALSE(Parse({}, &o, &error));
  EXPECT_FALSE(Parse({"remove-all"}, &o, &error));
  EXPECT_NE(error.find("unknown command"), std::string::npos);
  EXPECT_FALSE(Parse({"list", "--fs", "/x"}, &o, &error)) << "list takes no folders";
  EXPECT_FALSE(Parse({"install", "--fs"}, &o, &error));
  EXPECT_NE(error.find("needs a value"), std::string::npos);
  EXPECT_FALSE(Parse({"install", "--yes=no"}, &o, &error));
  EXPECT_FALSE(Parse({"install", "stray"}, &o, &error));
}

TEST(CliOptions, RemoveAndRestoreTakeOnlyTheirOptions) {
  CliOptions o;
  ASSERT_TRUE(Parse({"remove", "--fs", "/fs", "--dry-run", "--yes"}, &o));
  EXPECT_EQ(o.command, CliCommand::Remove);
  EXPECT_TRUE(o.dryRun);
  EXPECT_FALSE(Parse({"remove", "--airline", "A"}, &o));
  ASSERT_TRUE(Parse({"restore", "--squawkbox", "/sb", "--yes"}, &o));
  EXPECT_EQ(o.command, CliCommand::Restore);
  EXPECT_FALSE(Parse({"restore", "--dry-run"}, &o)) << "a restore has nothing to preview";
  ASSERT_TRUE(Parse({"install", "--dry-run"}, &o));
  EXPECT_TRUE(o.dryRun);
}

TEST(CliOptions, HelpAndVersion) {
  CliOptions o;
  ASSERT_TRUE(Parse({"--help"}, &o));
  EXPECT_EQ(o.command, CliCommand::Help);
  ASSERT_TRUE(Parse({"install", "--fs", "x", "--help"}, &o));
  EXPECT_EQ(o.command, CliCommand::Help);
  ASSERT_TRUE(Parse({"--version"}, &o));
  EXPECT_EQ(o.command, CliCommand::Version);
  for (const char* command : {"list", "install", "check", "remove", "restore"}) {
    EXPECT_NE(std::string(UsageText()).find(std::string("  ") + command), std::string::npos) << command;
  }
}

}  // namespace
