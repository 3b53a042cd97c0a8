// Files that another program holds open without allowing them to be
// deleted, as an antivirus or the search indexer does right after we wrote
// them: a second process (hold_file.exe) holds them. Wine refuses to
// replace or rename over a file that is open at all ("access denied"),
// even when it is shared for deletion, and refuses to delete or open for
// deletion one that is not shared so ("sharing violation"); its Restart
// Manager knows no programs.

#include <windows.h>
// <windows.h> makes the name ReplaceFile stand for ReplaceFileA; here it
// is the file layer's plat::ReplaceFile.
#undef ReplaceFile

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/FaultInjection.h"
#include "platform/FileHolders.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "HeldFile.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "platform/Result.h"
#include "TestSupport.h"

using namespace engine;
using qvtest::HeldFile;

namespace {

constexpr unsigned kAMoment = 200;
constexpr unsigned kLongerThanTheRetries = 10000;

plat::FileReplacement::Options Binary() {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  return options;
}

bool HasTemporaries(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  ::FindClose(search);
  return true;
}

// The reason names the holder exactly when Windows can tell who it is.
void ExpectReasonOfAHeldFile(const std::string& reason, const std::string& path, const HeldFile& held) {
  EXPECT_NE(reason.find("tried again for 2 seconds"), std::string::npos) << reason;
  const std::string holders = plat::ProgramsHolding({path});
  if (holders.empty()) {
    EXPECT_EQ(reason.find("it is open in"), std::string::npos) << reason;
  } else {
    EXPECT_NE(reason.find("it is open in "), std::string::npos) << reason;
    EXPECT_NE(reason.find("(process " + std::to_string(held.ProcessId()) + ")"), std::string::npos) << reason;
  }
}

TEST(HeldFileTest, ReplaceRenameAndDeleteWaitForAMomentaryHolder) {
  TempDir dir;
  const std::string target = dir / "Aircraft.cfg";
  const std::string source = dir / "new.txt";

  WriteFile(target, "old");
  {
    HeldFile held(target, kAMoment);
    ASSERT_TRUE(held.Holds());
    const plat::Result replaced = plat::ReplaceFile(target.c_str(), "replaced", Binary());
    EXPECT_TRUE(replaced) << replaced.Reason();
    EXPECT_TRUE(held.WaitUntilReleased());
  }
  EXPECT_EQ(ReadFile(target), "replaced");

  WriteFile(source, "renamed");
  {
    HeldFile held(source, kAMoment);
    ASSERT_TRUE(held.Holds());
    const plat::Result moved = plat::MoveFileOver(source.c_str(), target.c_str());
    EXPECT_TRUE(moved) << moved.Reason();
  }
  EXPECT_EQ(ReadFile(target), "renamed");
  EXPECT_FALSE(FileExists(source));

  {
    HeldFile held(target, kAMoment);
    ASSERT_TRUE(held.Holds());
    const plat::Result replaceable = plat::CanReplace(target.c_str());
    EXPECT_TRUE(replaceable) << replaceable.Reason();
    const plat::Result removed = plat::RemoveFile(target.c_str());
    EXPECT_TRUE(removed) << removed.Reason();
  }
  EXPECT_FALSE(FileExists(target));
  EXPECT_FALSE(HasTemporaries(dir.path()));
}

TEST(HeldFileTest, AHolderThatStaysMakesEachOperationFailCleanly) {
  TempDir dir;
  const std::string target = dir / "CSL_ICAO.csv";
  WriteFile(target, "old");
  HeldFile held(target, kLongerThanTheRetries);
  ASSERT_TRUE(held.Holds());

  const plat::Result replaced = plat::ReplaceFile(target.c_str(), "new", Binary());
  EXPECT_FALSE(replaced);
  ExpectReasonOfAHeldFile(replaced.Reason(), target, held);
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_FALSE(HasTemporaries(dir.path())) << "the new content's temporary file is gone";

  const plat::Result replaceable = plat::CanReplace(target.c_str());
  EXPECT_FALSE(replaceable);
  ExpectReasonOfAHeldFile(replaceable.Reason(), target, held);
  const plat::Result removed = plat::RemoveFile(target.c_str());
  EXPECT_FALSE(removed);
  ExpectReasonOfAHeldFile(removed.Reason(), target, held);
  EXPECT_EQ(ReadFile(target), "old");
}

class HeldUserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.UseCatalogue(run_);
    host_.UseTree(tree_, {"Alpha"});
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  }

  static constexpr const char* kConfig = "[fltsim.0]\r\ntitle=Mine\r\n";
  static constexpr const char* kModels = "Mine,X\r\n";
  InstallTree tree_;
  InstallRun run_;
  FakeHost host_;
};

TEST_F(HeldUserFileTest, AnInstallWaitsForAMomentaryHolder) {
  HeldFile held(tree_.models(), kAMoment);
  ASSERT_TRUE(held.Holds());
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed) << host_.LastMessage()->text;
  EXPECT_EQ(host_.LastMessage()->text, kSuccessText);
  EXPECT_NE(ReadFile(tree_.models()).find("Alpha (QUORVANE),ALP1"), std::string::npos);
}

TEST_F(HeldUserFileTest, AnInstallWhileAFileStaysHeldChangesNothingAndNamesIt) {
  HeldFile held(tree_.config(), kLongerThanTheRetries);
  ASSERT_TRUE(held.Holds());
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  const std::string text = host_.LastMessage()->text;
  EXPECT_EQ(host_.LastMessage()->kind, MessageKind::Failure);
  EXPECT_NE(text.find(std::string("The file\n") + run_.context.configPath + "\ncannot be processed safely"),
            std::string::npos)
      << text;
  ExpectReasonOfAHeldFile(text, run_.context.configPath, held);
  EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
  EXPECT_EQ(ReadFile(tree_.config()), kConfig);
  EXPECT_EQ(ReadFile(tree_.models()), kModels);
  EXPECT_FALSE(FileExists(tree_.config() + ".bak"));
  EXPECT_FALSE(FileExists(tree_.models() + ".bak"));
  EXPECT_FALSE(FileExists(tree_.csl + "\\Quorvane.lock"));
  EXPECT_FALSE(HasTemporaries(tree_.csl));
}

// A program that takes hold of the model list at the moment the run swaps
// it in, after every check at the start passed. Held for a moment, the
// replace waits for it and the run ends whole; held longer, the
// configuration file, replaced just before, is put back, and nothing has
// changed.
std::unique_ptr<HeldFile> g_holder;
std::string g_heldPath;
unsigned g_heldFor = 0;
void TakeHoldNow() { g_holder = std::make_unique<HeldFile>(g_heldPath, g_heldFor); }

TEST_F(HeldUserFileTest, AFileTakenHoldOfWhileTheRunSwapsItIn) {
  const auto reset = [&] {
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  };
  // Counted on a second run, which reads the copies the first one kept.
  ASSERT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed);
  reset();
  plat::FailNthOperation(0);
  ASSERT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed);
  const long operations = plat::OperationCount();
  const std::string config = ReadFile(tree_.config());
  const std::string models = ReadFile(tree_.models());
  // The operation that replaces the model list: the one whose failure
  // names it so.
  long replace = 0;
  for (long n = operations; n > 0 && replace == 0; --n) {
    reset();
    plat::FailNthOperation(n);
    OnInstall(run_, host_.Request(), host_);
    plat::FailNthOperation(0);
    if (host_.LastMessage()->text.find("CSL_ICAO.csv could not be replaced") != std::string::npos) replace = n;
  }
  ASSERT_GT(replace, 0);

  reset();
  g_heldPath = tree_.models();
  g_heldFor = kAMoment;
  plat::RunAtNthOperation(replace, TakeHoldNow);
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed) << host_.LastMessage()->text;
  ASSERT_TRUE(g_holder && g_holder->Holds());
  EXPECT_EQ(ReadFile(tree_.config()), config);
  EXPECT_EQ(ReadFile(tree_.models()), models);
  g_holder.reset();

  reset();
  g_heldFor = kLongerThanTheRetries;
  plat::RunAtNthOperation(replace, TakeHoldNow);
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  plat::FailNthOperation(0);
  ASSERT_TRUE(g_holder && g_holder->Holds());
  const std::string text = host_.LastMessage()->text;
  EXPECT_NE(text.find(tree_.models() + " could not be replaced ("), std::string::npos) << text;
  ExpectReasonOfAHeldFile(text, tree_.models(), *g_holder);
  EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
  g_holder.reset();
  EXPECT_EQ(ReadFile(tree_.config()), kConfig);
  EXPECT_EQ(ReadFile(tree_.models()), kModels);
  EXPECT_FALSE(FileExists(tree_.csl + "\\Quorvane-unfinished-run.ini"));
  EXPECT_FALSE(FileExists(tree_.squawkBox + "\\Quorvane-unfinished-run.ini"));
  EXPECT_FALSE(HasTemporaries(tree_.csl));
  EXPECT_FALSE(HasTemporaries(tree_.squawkBox));
}

}  // namespace
