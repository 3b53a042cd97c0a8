// What a command does when Windows keeps VirtualStore copies of the two
// files, with the platform's answers given by the test: the run is refused
// before anything changes when it is not virtualized, and names where the
// files are when it is.

#include <gtest/gtest.h>

#include <map>

#include "backups/Backups.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "run/RedirectedFiles.h"
#include "TestSupport.h"
#include "platform/FileSystem.h"

using namespace engine;

namespace {

// Copies by file name ("Aircraft.cfg"), so that the tests need not spell
// the paths as the commands make them.
class FakeRedirection : public FileRedirection {
 public:
  bool virtualized = false;
  std::map<std::string, std::string> copies;

  bool ProcessIsVirtualized() const override { return virtualized; }
  std::string CopyOf(const char* path) const override {
    const auto found = copies.find(NameOf(path));
    return found == copies.end() ? std::string() : found->second;
  }
};

class RedirectedFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.UseCatalogue(run_);
    run_.redirection = &redirection_;
    host_.UseTree(tree_, {"Alpha"});
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  }

  // Nothing in either folder changed: no lock, no backup, no texture.
  void ExpectUntouched(const char* what) {
    EXPECT_EQ(ReadFile(tree_.config()), kConfig) << what;
    EXPECT_EQ(ReadFile(tree_.models()), kModels) << what;
    EXPECT_FALSE(FileExists(tree_.config() + ".bak")) << what;
    EXPECT_FALSE(FileExists(tree_.models() + ".orig")) << what;
    EXPECT_FALSE(FileExists(tree_.csl + WithSeparators("/texture.ALP1"))) << what;
    EXPECT_FALSE(FileExists(tree_.squawkBox + WithSeparators("/Quorvane.lock"))) << what;
  }
  std::string LastText() const { return host_.LastMessage() ? host_.LastMessage()->text : ""; }

  static constexpr const char* kConfig = "[fltsim.0]\r\ntitle=Mine\r\n";
  static constexpr const char* kModels = "Mine,X\r\n";
  const std::string storeConfig_ = "C:\\Users\\Anna\\AppData\\Local\\VirtualStore\\FS2002\\Aircraft.cfg";
  const std::string storeModels_ = "C:\\Users\\Anna\\AppData\\Local\\VirtualStore\\SquawkBox\\CSL_ICAO.csv";
  InstallTree tree_;
  InstallRun run_;
  FakeHost host_;
  FakeRedirection redirection_;
};

TEST_F(RedirectedFilesTest, RunAsAdministratorBesideACopyChangesNothingAndSaysWhatToDo) {
  redirection_.copies["CSL_ICAO.csv"] = storeModels_;
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  const std::string text = LastText();
  EXPECT_EQ(host_.LastMessage()->kind, MessageKind::Failure);
  EXPECT_NE(text.find("Windows keeps a second copy of this file for your user account:\n  " +
                      plat::DisplayPath(run_.context.modelListPath) + "\n  copy: " + storeModels_ + "\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("not with \"Run as administrator\""), std::string::npos) << text;
  EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
  EXPECT_EQ(text.find("Aircraft.cfg"), std::string::npos) << "the configuration file has no copy:\n" << text;
  EXPECT_TRUE(host_.waitBoxTexts.empty());
  ExpectUntouched("install");

  // Both files with copies: both named, in the plural.
  redirection_.copies["Aircraft.cfg"] = storeConfig_;
  host_.messages.clear();
  EXPECT_EQ(OnRemove(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  EXPECT_NE(LastText().find("copy: " + storeConfig_), std::string::npos) << LastText();
  EXPECT_NE(LastText().find("copy: " + storeModels_), std::string::npos) << LastText();
  EXPECT_NE(LastText().find("read the copies"), std::string::npos) << LastText();
  ExpectUntouched("remove");

  // Restore asks nothing before it refuses: the copies decide first.
  host_.messages.clear();
  EXPECT_EQ(OnRestore(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(LastText().find("copy: " + storeConfig_), std::string::npos) << LastText();
  ExpectUntouched("restore");

  // The dry run refuses as the real run does.
  FakeHost preview = host_;
  preview.messages.clear();
  DryRun dryRun;
  EXPECT_EQ(OnInstall(run_, preview.Request(), preview, &dryRun), InstallOutcome::CheckFailed);
  ExpectUntouched("dry run");
}

TEST_F(RedirectedFilesTest, AVirtualizedRunWorksAndNamesWhereWindowsKeepsTheFiles) {
  redirection_.virtualized = true;
  redirection_.copies["Aircraft.cfg"] = storeConfig_;
  redirection_.copies["CSL_ICAO.csv"] = storeModels_;
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed);
  EXPECT_EQ(host_.LastMessage()->kind, MessageKind::Success);
  EXPECT_EQ(LastText(), std::string(kSuccessText) +
                            "\n\nWindows keeps the changed files for your user account in its VirtualStore folder:\n"
                            "  " + storeConfig_ + "\n  " + storeModels_ +
                            "\nFS2002 and SquawkBox read them there when they are started the usual way (not as "
                            "administrator).");
  EXPECT_NE(ReadFile(tree_.models()).find("Alpha (QUORVANE)"), std::string::npos);

  // Without copies (files outside the protected folders) nothing is added.
  redirection_.copies.clear();
  EXPECT_EQ(OnRemove(run_, host_.Request(), host_), InstallOutcome::Completed);
  EXPECT_EQ(LastText(), kRemovedText);
}

TEST_F(RedirectedFilesTest, CheckNamesTheCopiesAsProblemOrNote) {
  redirection_.copies["Aircraft.cfg"] = storeConfig_;
  InstallRequest request;
  request.fsFolder = tree_.fs;
  request.squawkBoxFolder = tree_.squawkBox;
  FileCheck check;
  std::string refusal;
  ASSERT_TRUE(CheckFilesOf(run_, request, &check, &refusal)) << refusal;
  ASSERT_FALSE(check.problems.empty());
  EXPECT_EQ(check.problems[0].rfind("Aircraft.cfg: Windows keeps a second copy of this file for your user account at " +
                                        storeConfig_ + ";",
                                    0),
            0u)
      << check.problems[0];
  EXPECT_TRUE(check.notes.empty());

  redirection_.virtualized = true;
  ASSERT_TRUE(CheckFilesOf(run_, request, &check, &refusal)) << refusal;
  for (const std::string& problem : check.problems) {
    EXPECT_EQ(problem.find("VirtualStore"), std::string::npos) << problem;
  }
  ASSERT_EQ(check.notes.size(), 1u);
  EXPECT_NE(check.notes[0].find("Aircraft.cfg: Windows keeps your user account's copy of this file at " + storeConfig_),
            std::string::npos)
      << check.notes[0];
}

}  // namespace
