// Dry runs, removal and restore through the real quorvane-cli.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "TestSupport.h"

namespace {

class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(SAMPLE_DIR "/fs2002", dir_ / "FS2002", std::filesystem::copy_options::recursive);
    std::filesystem::copy(SAMPLE_DIR "/squawkbox", dir_ / "SquawkBox", std::filesystem::copy_options::recursive);
    // An earlier run's entries, so that removal has something to take out.
    WriteFile(Models(), ReadFile(Models()) + "Old Run (QUORVANE),B738,OLD\r\nEnd without line break,X");
    WriteFile(Config(), ReadFile(Config()) + "\r\n[fltsim.3]\r\ntitle=old run\r\nquorvane=x\r\n");
  }

  int Run(const std::string& args, const std::string& outFile = "out") {
    std::string command = "cd '" + dir_.path() + "' && XDG_CONFIG_HOME=config '" QUORVANE_CLI "' " + args +
                          " --fs FS2002 --squawkbox SquawkBox </dev/null >" + outFile + " 2>err";
    return RunShellCommand(command);
  }
  std::string Install() { return "install --catalogue '" SAMPLE_DIR "/catalogue'"; }
  std::string Config() const { return dir_ / "FS2002/aircraft/csl/Aircraft.cfg"; }
  std::string Models() const { return dir_ / "SquawkBox/CSL_ICAO.csv"; }

  // Every file of both folders, byte for byte.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const char* folder : {"FS2002", "SquawkBox"}) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_ / folder)) {
        files[entry.path().string()] = entry.is_regular_file() ? ReadFile(entry.path().string()) : "<folder>";
      }
    }
    return files;
  }

  // Applies the part of a dry run's output that concerns one file.
  std::string PatchedCopy(const std::string& original, const std::string& diffFile) {
    WriteFile(dir_ / "copy", ReadFile(original));
    std::string command = "cd '" + dir_.path() + "' && awk -v f='" + original +
                          "' '/^--- /{on=($2==f)} on' " + diffFile + " > part && patch -s --binary copy part";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return ReadFile(dir_ / "copy");
  }

  TempDir dir_;
};

TEST_F(PreviewTest, DryRunChangesNothingAndItsDiffIsWhatTheRealRunWrites) {
  const auto before = Snapshot();
  EXPECT_EQ(Run(Install() + " --dry-run", "preview"), 0) << ReadFile(dir_ / "err");
  EXPECT_EQ(Snapshot(), before);
  const std::string preview = ReadFile(dir_ / "preview");
  EXPECT_NE(preview.find("create " + (dir_ / "FS2002/aircraft/csl/texture.SKA738/csl.0af")), std::string::npos);
  EXPECT_NE(preview.rfind("Congratulation !!!!"), std::string::npos);
  EXPECT_LT(preview.find("create "), preview.find("Congratulation")) << "the report comes last";

#ifdef _WIN32
  GTEST_SKIP() << "patch(1) and awk(1) are tools of the Linux side";
#endif
  const std::string configAfterPatch = PatchedCopy(Config(), "preview");
  const std::string modelsAfterPatch = PatchedCopy(Models(), "preview");
  ASSERT_EQ(Run(Install() + " --yes"), 0);
  EXPECT_EQ(ReadFile(Config()), configAfterPatch);
  EXPECT_EQ(ReadFile(Models()), modelsAfterPatch);

  // A second preview knows the textures are there now.
  EXPECT_EQ(Run(Install() + " --dry-run", "again"), 0);
  EXPECT_NE(ReadFile(dir_ / "again").find("replace "), std::string::npos);
}

TEST_F(PreviewTest, DryRunReturnsWhatTheRealRunWould) {
  std::filesystem::remove(dir_ / "FS2002/FS2002.exe");
  EXPECT_EQ(Run(Install() + " --dry-run", "preview"), 1);
  EXPECT_NE(ReadFile(dir_ / "err").find("Invalid FS 2002 directory"), std::string::npos);
}

TEST_F(PreviewTest, RemoveTakesOutEveryKnownEntryAndRestoreBringsTheRunBack) {
  const auto original = Snapshot();
  ASSERT_EQ(Run(Install() + " --yes"), 0) << ReadFile(dir_ / "err");
  const std::string installedConfig = ReadFile(Config());
  const std::string installedModels = ReadFile(Models());

  EXPECT_EQ(Run("remove --dry-run", "preview"), 0);
  EXPECT_EQ(ReadFile(Config()), installedConfig);
  EXPECT_EQ(ReadFile(Models()), installedModels);

  ASSERT_EQ(Run("remove --yes"), 0) << ReadFile(dir_ / "err");
  EXPECT_NE(ReadFile(dir_ / "out").find("have been removed"), std::string::npos);
  EXPECT_EQ(ReadFile(Config()).find("quorvane="), std::string::npos);
  EXPECT_EQ(ReadFile(Config()).find("~kst146"), std::string::npos);
  const std::string models = ReadFile(Models());
  EXPECT_EQ(models.find("(QUORVANE)"), std::string::npos);
  EXPECT_EQ(models.find("Kestrel Airways : BAe146"), std::string::npos);
  EXPECT_NE(models.find("End without line break,X\r\n"), std::string::npos);
  EXPECT_TRUE(FileExists(dir_ / "FS2002/aircraft/csl/texture.SKA738/csl.0af")) << "texture folders stay";

  // The backups were made by the remove run, so restore gives its start.
  ASSERT_EQ(Run("restore --yes"), 0) << ReadFile(dir_ / "err");
  EXPECT_EQ(ReadFile(Config()), installedConfig);
  EXPECT_EQ(ReadFile(Models()), installedModels);
}

TEST_F(PreviewTest, RestoreAfterInstallGivesBackTheFilesFromBeforeTheRun) {
  const std::string config = ReadFile(Config());
  const std::string models = ReadFile(Models());
  ASSERT_EQ(Run(Install() + " --yes"), 0);
  ASSERT_NE(ReadFile(Config()), config);
  ASSERT_EQ(Run("restore --yes"), 0);
  EXPECT_EQ(ReadFile(Config()), config);
  EXPECT_EQ(ReadFile(Models()), models);
  EXPECT_FALSE(FileExists(Models() + ".tmp"));

  // All or nothing: without one of the two backups, neither file is touched.
  std::filesystem::remove(Models() + ".bak");
  WriteFile(Models(), "changed\r\n");
  WriteFile(Config(), "changed too\r\n");
  EXPECT_EQ(Run("restore --yes"), 1);
  EXPECT_NE(ReadFile(dir_ / "err").find("CSL_ICAO.csv.bak was not found"), std::string::npos);
  EXPECT_EQ(ReadFile(Config()), "changed too\r\n");
  EXPECT_EQ(ReadFile(Models()), "changed\r\n");
}

}  // namespace
