// A full Install run with the Nth file operation failing, for every N the
// run has, and with files and folders that may not be changed: the user's
// files are never left half-written, and success is claimed only when
// everything was done.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FaultScenario.h"

namespace {

using namespace scenario;

TEST_F(InstallUnderFaults, EveryFailingOperationLeavesWholeFilesAndAnHonestMessage) {
  ASSERT_GT(operations_, 20) << "the fault-free run counted too few operations";
  int completedDespiteFault = 0;
  for (long n = 1; n <= operations_ + 1; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n) + " of " + std::to_string(operations_) + " fails");
    Setup run;
    plat::FailNthOperation(n);
    const InstallOutcome outcome = run.Install();
    const bool fired = plat::InjectedFaultFired();
    plat::FailNthOperation(0);
    EXPECT_EQ(fired, n <= operations_);

    const std::string config = run.Config();
    const std::string models = run.Models();
    EXPECT_TRUE(AcceptableConfig(config, passConfig_)) << config;
    EXPECT_TRUE(AcceptableModels(models, passModels_)) << models;
    EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
    for (const std::string& backup : FilesEndingIn(run.tree.dir.path(), ".bak")) {
      const std::string original = backup.find("CSL_ICAO") != std::string::npos ? kModelsBefore : kConfigBefore;
      EXPECT_EQ(ReadFile(backup), original) << backup;
    }

    ASSERT_NE(run.host.LastMessage(), nullptr);
    const FakeHost::Message& last = *run.host.LastMessage();
    switch (outcome) {
      case InstallOutcome::Completed:
        EXPECT_EQ(config, completeConfig_);
        EXPECT_EQ(models, completeModels_);
        EXPECT_TRUE(run.TexturesComplete());
        EXPECT_EQ(last.kind, MessageKind::Success);
        EXPECT_EQ(last.text, completeText_);
        EXPECT_EQ(last.text.rfind(kSuccessText, 0), 0u);
        EXPECT_NE(last.text.find("\n\nAircraft.cfg: 1 section was renumbered"), std::string::npos) << last.text;
        if (fired) ++completedDespiteFault;
        break;
      case InstallOutcome::CheckFailed:
        EXPECT_EQ(config, kConfigBefore);
        EXPECT_EQ(models, kModelsBefore);
        EXPECT_EQ(last.kind, MessageKind::Failure);
        EXPECT_FALSE(last.text.empty());
        break;
      case InstallOutcome::CompletedWithFailures:
        EXPECT_EQ(last.kind, MessageKind::Failure);
        EXPECT_EQ(last.text.rfind(kFinishedWithErrorsText, 0), 0u) << last.text;
        EXPECT_NE(last.text.find("\n- "), std::string::npos) << "no failure is listed:\n" << last.text;
        break;
      case InstallOutcome::Cancelled:
        ADD_FAILURE() << "cancelled although the host said OK";
        break;
    }
    if (::testing::Test::HasFailure()) break;  // one broken step tells enough
  }
  // A failed close of a file that was only read changes nothing; such
  // faults may pass unnoticed, but not many.
  EXPECT_LT(completedDespiteFault, operations_ / 2);
}

class InstallIntoProtectedFiles : public InstallUnderFaults {};

// A file that cannot be written keeps both files as they were: the model
// list is not rewritten alone, and no backup is made.
TEST_F(InstallIntoProtectedFiles, ReadOnlyConfigurationStopsTheRunBeforeAnythingChanges) {
  Setup run;
  ASSERT_EQ(chmod(run.tree.config().c_str(), 0444), 0);
  EXPECT_EQ(run.Install(), InstallOutcome::CheckFailed);
  EXPECT_EQ(run.Config(), kConfigBefore);
  EXPECT_EQ(run.Models(), kModelsBefore);
  EXPECT_FALSE(FileExists(run.tree.csl + "/texture.ALP1"));
  EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".bak"), std::vector<std::string>{});
  const std::string text = run.host.LastMessage()->text;
  // The system's own words: "Permission denied", "Access is denied".
  EXPECT_NE(text.find(run.tree.config() + "\ncannot be processed safely. It cannot be written ("), std::string::npos)
      << text;
  EXPECT_NE(text.find("denied)."), std::string::npos) << text;
  EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
  EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
}

TEST_F(InstallIntoProtectedFiles, ReadOnlySquawkBoxFolderStopsTheRunBeforeAnythingChanges) {
  if (!ReadOnlyFoldersAreEnforced()) GTEST_SKIP() << "Windows does not enforce a read-only folder";
  Setup run;
  ASSERT_EQ(chmod(run.tree.squawkBox.c_str(), 0555), 0);
  EXPECT_EQ(run.Install(), InstallOutcome::CheckFailed);
  EXPECT_EQ(run.Models(), kModelsBefore);
  EXPECT_EQ(run.Config(), kConfigBefore);
  EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
  EXPECT_FALSE(FileExists(run.tree.csl + "/Quorvane.lock")) << "the lock taken first is given up";
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find(run.tree.squawkBox + "\ncannot be locked for this run (Permission denied)"), std::string::npos)
      << text;
}

TEST_F(InstallIntoProtectedFiles, MissingTextureSourceIsReportedAndTheRestInstalled) {
  Setup run;
  ASSERT_EQ(std::remove((run.tree.catalogue + "/CHL3.dat").c_str()), 0);
  EXPECT_EQ(run.Install(), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(run.Config(), completeConfig_);
  EXPECT_EQ(run.Models(), completeModels_);
  EXPECT_FALSE(FileExists(run.tree.csl + "/texture.CHL3/csl.0af"));
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ECH5/csl.0af"), Texture("ECH5"));
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find("\"Charlie\": "), std::string::npos) << text;
  EXPECT_NE(text.find("CHL3.dat could not be copied"), std::string::npos) << text;
}

TEST_F(InstallIntoProtectedFiles, TextureTargetThatIsAFolderIsLeftAlone) {
  Setup run;
  MakeFolders(run.tree.csl + "/texture.ALP1/csl.0af");
  WriteFile(run.tree.csl + "/texture.ALP1/csl.0af/inside", "keep");
  EXPECT_EQ(run.Install(), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ALP1/csl.0af/inside"), "keep");
  EXPECT_EQ(run.Config(), completeConfig_);
  EXPECT_EQ(run.Models(), completeModels_);
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.BRV2/csl.0af"), Texture("BRV2"));
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find("\"Alpha\": "), std::string::npos) << text;
  EXPECT_NE(text.find("csl.0af"), std::string::npos) << text;
}

}  // namespace
