// The copies a run keeps of the files it changes, their record, and the
// restore that puts them back: all or nothing, never from a copy that is
// not whole.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "backups/Backups.h"
#include "backups/Checksum.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "text/Text.h"
#include "TestSupport.h"
#include "platform/FaultInjection.h"

using namespace engine;

namespace {

TEST(Crc32, IsTheZipChecksum) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
  EXPECT_NE(Crc32("Aircraft.cfg"), Crc32("aircraft.cfg"));
  // Eight bytes a step, and the bytes after the last eight one by one: the
  // same sums as one byte a step.
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>(i * 37 + 11);
  for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 64u, 299u}) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < length; ++i) {
      crc ^= static_cast<unsigned char>(text[i]);
      for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    EXPECT_EQ(Crc32(std::string_view(text).substr(0, length)), crc ^ 0xFFFFFFFFu) << length;
  }
}

class BackupsTest : public ::testing::Test {
 protected:
  // As a run keeps them: the last-run copy pending until the run has
  // replaced the files.
  std::string Keep(const std::string& content, const RunStamp& run = NewRunStamp()) {
    WriteFile(file_, content);
    std::string failure;
    std::vector<PendingCopy> pending;
    EXPECT_TRUE(KeepBackups({{file_, content}}, run, &failure, &pending)) << failure;
    EXPECT_TRUE(SettleBackups(pending));
    return failure;
  }
  bool Check(Copy copy, std::string* failure, CheckedCopy* checked = nullptr) {
    CheckedCopy local;
    return CheckCopy(file_, copy, checked ? checked : &local, failure);
  }

  TempDir dir_;
  std::string file_ = dir_ / "Aircraft.cfg";
};

TEST_F(BackupsTest, TheOriginalIsKeptOnceAndTheLastRunEveryTime) {
  Keep("first\r\n");
  EXPECT_EQ(ReadFile(file_ + ".orig"), "first\r\n");
  EXPECT_EQ(ReadFile(file_ + ".bak"), "first\r\n");
  Keep("second\r\n");
  EXPECT_EQ(ReadFile(file_ + ".orig"), "first\r\n") << "never replaced";
  EXPECT_EQ(ReadFile(file_ + ".bak"), "second\r\n");

  std::string failure;
  CheckedCopy checked;
  ASSERT_TRUE(Check(Copy::Original, &failure, &checked)) << failure;
  EXPECT_EQ(checked.bytes.View(), "first\r\n");
  EXPECT_EQ(checked.record.of, "Aircraft.cfg");
  ASSERT_TRUE(Check(Copy::LastRun, &failure, &checked)) << failure;
  EXPECT_EQ(checked.bytes.View(), "second\r\n");
  const std::string record = ReadFile(dir_ / "Quorvane-backups.ini");
  EXPECT_NE(record.find("[Aircraft.cfg.bak]"), std::string::npos) << record;
  EXPECT_NE(record.find("Size=8"), std::string::npos) << record;
}

TEST_F(BackupsTest, ACopyThatIsNotWhatItsRecordSaysIsNeverTaken) {
  Keep("the whole file\r\n");
  std::string failure;
  for (const std::string& spoilt : {std::string(""), std::string("the whole"), std::string("the whole fil3\r\n")}) {
    WriteFile(file_ + ".bak", spoilt);
    EXPECT_FALSE(Check(Copy::LastRun, &failure)) << spoilt;
    EXPECT_NE(failure.find("Aircraft.cfg.bak does not hold the copy made on"), std::string::npos) << failure;
  }
  std::remove((file_ + ".bak").c_str());
  EXPECT_FALSE(Check(Copy::LastRun, &failure));
  EXPECT_NE(failure.find("was not found"), std::string::npos) << failure;
  // A copy that no record names, such as an earlier release's backup.
  WriteFile(file_ + ".before-restore", "anything\r\n");
  EXPECT_FALSE(Check(Copy::BeforeRestore, &failure));
  EXPECT_NE(failure.find("is not named in"), std::string::npos) << failure;
}

// A file of someone else's at the original's name is left alone, and the
// original is kept under the next free name; even one that holds the same
// bytes is not taken over, since its maker may change it.
TEST_F(BackupsTest, AnOriginalThatIsNotOursIsLeftAloneUnlessItIsTheSameFile) {
  WriteFile(file_ + ".orig", "the user's own\r\n");
  Keep("now\r\n");
  EXPECT_EQ(ReadFile(file_ + ".orig"), "the user's own\r\n");
  std::string failure;
  CheckedCopy checked;
  ASSERT_TRUE(Check(Copy::Original, &failure, &checked)) << "kept under another name: " << failure;
  EXPECT_EQ(checked.path, file_ + ".orig-2");
  EXPECT_EQ(checked.bytes.View(), "now\r\n");

  std::remove((file_ + ".orig").c_str());
  std::remove((file_ + ".orig-2").c_str());
  std::remove((dir_ / "Quorvane-backups.ini").c_str());
  WriteFile(file_ + ".orig", "now\r\n");
  Keep("now\r\n");
  EXPECT_TRUE(Check(Copy::Original, &failure)) << failure;
  EXPECT_EQ(ReadFile(file_ + ".orig"), "now\r\n");
}

TEST_F(BackupsTest, CopiesKeepTheModeOfTheFile) {
#ifdef _WIN32
  GTEST_SKIP() << "permission bits are Linux's; Windows keeps attributes";
#endif
  WriteFile(file_, "private\r\n");
  ASSERT_EQ(chmod(file_.c_str(), 0600), 0);
  std::string failure;
  ASSERT_TRUE(KeepBackups({{file_, "private\r\n"}}, NewRunStamp(), &failure)) << failure;
  struct stat st;
  ASSERT_EQ(stat((file_ + ".bak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  ASSERT_EQ(stat((file_ + ".orig").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// Users copy their files by hand to the names we use ("Aircraft.cfg.bak"
// is a favourite). Such a file is never written over or removed: our copy
// takes the next free name, and keeps it while it stays ours; a copy of
// ours that the user writes over becomes theirs.
TEST_F(BackupsTest, NamesTakenByOtherFilesAreNeverWrittenOrRemoved) {
  const std::vector<std::pair<std::string, std::string>> theirs = {
      {file_ + ".orig", "an old hand copy\r\n"},
      {file_ + ".bak", "yesterday's hand copy\r\n"},
      {file_ + ".bak-2", "another program's\r\n"},
      {file_ + ".before-restore", "a copy of the user's\r\n"}};
  for (const auto& [path, bytes] : theirs) WriteFile(path, bytes);
  std::vector<PendingCopy> pending;
  WriteFile(file_, "first\r\n");
  std::string failure;
  ASSERT_TRUE(KeepBackups({{file_, "first\r\n"}}, NewRunStamp(), &failure, &pending)) << failure;
  for (const auto& [path, bytes] : theirs) EXPECT_EQ(ReadFile(path), bytes) << "until the run is done";
  ASSERT_TRUE(SettleBackups(pending));
  EXPECT_EQ(ReadFile(file_ + ".bak-3"), "first\r\n");
  EXPECT_EQ(ReadFile(file_ + ".orig-2"), "first\r\n");
  Keep("second\r\n");
  EXPECT_EQ(ReadFile(file_ + ".bak-3"), "second\r\n") << "a copy of ours is used again";
  EXPECT_EQ(ReadFile(file_ + ".orig-2"), "first\r\n");
  EXPECT_FALSE(FileExists(file_ + ".bak-4"));

  WriteFile(file_ + ".bak-3", "the user's own now\r\n");
  Keep("third\r\n");
  EXPECT_EQ(ReadFile(file_ + ".bak-3"), "the user's own now\r\n");
  EXPECT_EQ(ReadFile(file_ + ".bak-4"), "third\r\n");
  CheckedCopy checked;
  ASSERT_TRUE(Check(Copy::LastRun, &failure, &checked)) << failure;
  EXPECT_EQ(checked.path, file_ + ".bak-4");
  ASSERT_TRUE(Check(Copy::Original, &failure, &checked)) << failure;
  EXPECT_EQ(checked.bytes.View(), "first\r\n");
  for (const auto& [path, bytes] : theirs) EXPECT_EQ(ReadFile(path), bytes) << path;
  const std::string record = ReadFile(dir_ / "Quorvane-backups.ini");
  EXPECT_EQ(record.find("[Aircraft.cfg.bak-3]"), std::string::npos) << "no longer ours:\n" << record;
}

#ifndef _WIN32
// The record is written before the copies: a run killed anywhere while it
// keeps them leaves nothing of ours that a later run would take for a
// file of someone else's and step around.
TEST_F(BackupsTest, AKillWhileCopiesAreKeptLeavesNoCopyOfOursUnrecorded) {
  // A run's keeping: the copies, then, the files replaced, the settling.
  const auto keep = [](const std::string& file, const std::string& content) {
    std::string failure;
    std::vector<PendingCopy> pending;
    const bool kept = KeepBackups({{file, content}}, NewRunStamp(), &failure, &pending);
    SettleBackups(pending);
    return kept;
  };
  long operations = 0;
  {
    TempDir probe;
    const std::string file = probe / "Aircraft.cfg";
    ASSERT_TRUE(keep(file, "first\r\n"));
    plat::FailNthOperation(0);
    ASSERT_TRUE(keep(file, "second\r\n"));
    operations = plat::OperationCount();
  }
  for (long n = 1; n <= operations; ++n) {
    TempDir dir;
    const std::string file = dir / "Aircraft.cfg";
    ASSERT_TRUE(keep(file, "first\r\n"));
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      plat::KillAtNthOperation(n);
      keep(file, "second\r\n");
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(keep(file, "third\r\n")) << n;
    EXPECT_EQ(ReadFile(file + ".bak"), "third\r\n") << "operation " << n;
    EXPECT_EQ(ReadFile(file + ".orig"), "first\r\n") << "operation " << n;
    EXPECT_FALSE(FileExists(file + ".bak-2")) << "operation " << n;
    EXPECT_FALSE(FileExists(file + ".orig-2")) << "operation " << n;
  }
}
#endif

// Restore through the command, on a whole tree.
class RestoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.UseCatalogue(run_);
    host_.UseTree(tree_, {"Alpha"});
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  }
  InstallOutcome Install() { return OnInstall(run_, host_.Request(), host_); }
  // Both files as at the start, and no copy kept.
  void TearDownFiles() {
    for (const std::string& folder : {tree_.csl, tree_.squawkBox}) {
      for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.is_regular_file()) std::filesystem::remove(entry.path());
      }
    }
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  }
  InstallOutcome Restore(RestoreFrom from = RestoreFrom::LastRun) { return OnRestore(run_, host_.Request(), host_, from); }
  std::string Config() const { return ReadFile(tree_.config()); }
  std::string Models() const { return ReadFile(tree_.models()); }
  std::string LastText() const { return host_.LastMessage() ? host_.LastMessage()->text : ""; }

  static constexpr const char* kConfig = "[fltsim.0]\r\nTitle=Mine\r\nsim=x\r\n";
  static constexpr const char* kModels = "Mine,X\r\n";
  InstallTree tree_;
  InstallRun run_;
  FakeHost host_;
};

TEST_F(RestoreTest, GivesBackTheRunsStartAndKeepsTheFilesAsTheyWere) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string installed = Config();
  WriteFile(tree_.config(), installed + "hand=edit\r\n");  // an edit made after the run
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), kConfig);
  EXPECT_EQ(Models(), kModels);
  EXPECT_EQ(LastText(), kRestoredText);
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore"), installed + "hand=edit\r\n") << "no edit is lost";
  // The confirmation names what is replaced.
  const std::string& confirmation = host_.messages[host_.messages.size() - 2].text;
  EXPECT_EQ(confirmation.rfind(kConfirmText, 0), 0u);
  EXPECT_NE(confirmation.find(tree_.config() + " from Aircraft.cfg.bak"), std::string::npos) << confirmation;
  EXPECT_NE(confirmation.find(tree_.models() + " from CSL_ICAO.csv.bak"), std::string::npos) << confirmation;
}

TEST_F(RestoreTest, TheOriginalOutlivesLaterRunsAndAMissingFileIsMadeAgain) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  std::remove(tree_.config().c_str());
  ASSERT_EQ(Restore(RestoreFrom::Original), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), kConfig);
  EXPECT_EQ(Models(), kModels);
  EXPECT_EQ(LastText(), kRestoredOriginalText);
}

TEST_F(RestoreTest, CancelOrABadCopyChangesNothing) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string config = Config();
  const std::string models = Models();
  host_.confirmAnswer = Answer::Cancel;
  EXPECT_EQ(Restore(), InstallOutcome::Cancelled);
  host_.confirmAnswer = Answer::Ok;
  // A backup cut short, as a full disk left the old in-place copies.
  WriteFile(tree_.models() + ".bak", "Mi");
  EXPECT_EQ(Restore(), InstallOutcome::CheckFailed);
  EXPECT_NE(LastText().find("CSL_ICAO.csv.bak does not hold the copy"), std::string::npos) << LastText();
  EXPECT_NE(LastText().find("Nothing has been changed."), std::string::npos);
  EXPECT_EQ(Config(), config) << "all or nothing: the good backup is not used alone";
  EXPECT_EQ(Models(), models);
  EXPECT_FALSE(FileExists(tree_.config() + ".before-restore"));
}

TEST_F(RestoreTest, BackupsOfTwoRunsAreNotMixed) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string firstModelsBackup = ReadFile(tree_.models() + ".bak");
  const std::string firstRecord = ReadFile(tree_.squawkBox + "/Quorvane-backups.ini");
  WriteFile(tree_.models(), Models() + "Hand,edit\r\n");  // so that the second run changes the files
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  // As a run killed between its two backups would leave them.
  WriteFile(tree_.models() + ".bak", firstModelsBackup);
  WriteFile(tree_.squawkBox + "/Quorvane-backups.ini", firstRecord);
  const std::string config = Config();
  EXPECT_EQ(Restore(), InstallOutcome::CheckFailed);
  EXPECT_NE(LastText().find("made by different runs"), std::string::npos) << LastText();
  EXPECT_EQ(Config(), config);
}

TEST_F(RestoreTest, AFailurePartWayLeavesBothFilesAsTheyWere) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string config = Config();
  const std::string models = Models();
  long operations = 0;
  {
    plat::FailNthOperation(0);
    ASSERT_EQ(Restore(), InstallOutcome::Completed);
    operations = plat::OperationCount();
    WriteFile(tree_.config(), config);
    WriteFile(tree_.models(), models);
  }
  for (long n = 1; n <= operations; ++n) {
    plat::FailNthOperation(n);
    const InstallOutcome outcome = Restore();
    plat::FailNthOperation(0);
    const bool restored = Config() == kConfig && Models() == kModels;
    const bool untouched = Config() == config && Models() == models;
    EXPECT_TRUE(restored || untouched) << "operation " << n;
    if (outcome == InstallOutcome::Completed) {
      EXPECT_TRUE(restored) << n;
    } else if (outcome == InstallOutcome::CheckFailed) {
      EXPECT_TRUE(untouched) << n << ": " << LastText();
    }
    WriteFile(tree_.config(), config);
    WriteFile(tree_.models(), models);
  }
}

// What the window offers follows what the commands would meet: nothing
// before a run, both kinds of copy after one, nothing to undo once the
// files hold the copies, a damaged copy left for restore to explain, and a
// restore offered where a live file has gone.
TEST_F(RestoreTest, FolderChoicesFollowWhatTheCommandsWouldMeet) {
  const auto choices = [&] {
    InstallRequest request;
    request.fsFolder = host_.fsFolder;
    request.squawkBoxFolder = host_.squawkBoxFolder;
    return LookAtFolders(request);
  };
  FolderChoices fresh = choices();
  EXPECT_TRUE(fresh.foldersValid);
  EXPECT_EQ(fresh.lastRun, KeptCopies::None);
  EXPECT_EQ(fresh.original, KeptCopies::None);
  EXPECT_TRUE(fresh.backupFolders.empty());

  ASSERT_EQ(Install(), InstallOutcome::Completed);
  FolderChoices installed = choices();
  EXPECT_EQ(installed.lastRun, KeptCopies::Restorable);
  EXPECT_EQ(installed.original, KeptCopies::Restorable);
  EXPECT_EQ(installed.backupFolders, (std::vector<std::string>{tree_.csl, tree_.squawkBox}));

  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(choices().lastRun, KeptCopies::Unchanged) << "the files hold what the copies hold";
  EXPECT_EQ(choices().original, KeptCopies::Unchanged);
  WriteFile(tree_.config(), kConfig + std::string("hand=edit\r\n"));
  EXPECT_EQ(choices().lastRun, KeptCopies::Restorable);

  WriteFile(tree_.models() + ".bak", "Mi");
  EXPECT_EQ(choices().lastRun, KeptCopies::Refused);
  EXPECT_EQ(choices().original, KeptCopies::Restorable);

  std::remove(tree_.config().c_str());
  FolderChoices missing = choices();
  EXPECT_FALSE(missing.foldersValid);
  EXPECT_EQ(missing.original, KeptCopies::Restorable) << "restore makes a missing file again";

  host_.fsFolder = tree_.squawkBox;
  FolderChoices wrong = choices();
  EXPECT_FALSE(wrong.foldersValid);
  EXPECT_EQ(wrong.lastRun, KeptCopies::None);
  EXPECT_EQ(wrong.original, KeptCopies::None);
  EXPECT_TRUE(wrong.backupFolders.empty());
  EXPECT_EQ(Config(), "<missing>") << "looking changes nothing";
}

TEST_F(RestoreTest, ShowsTheWaitBoxWhileItWorks) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  host_.waitBoxTexts.clear();
  host_.progress.clear();
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(host_.waitBoxTexts, (std::vector<std::string>{kWaitRestoringText, "<close>"}));
  ASSERT_EQ(host_.progress.size(), 3u);
  EXPECT_TRUE(host_.progress[0].isRange);
  EXPECT_EQ(host_.progress[2].a, 1) << "full once the files are back";
}

// Each restore keeps what it replaces under a name of its own, so a hand
// edit put aside by one restore outlives the next.
TEST_F(RestoreTest, EachRestoreKeepsWhatItReplacesWithoutLosingAnEarlierOne) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string installed = Config();
  WriteFile(tree_.config(), installed + "first=edit\r\n");
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  WriteFile(tree_.config(), std::string(kConfig) + "second=edit\r\n");
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), kConfig);
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore"), installed + "first=edit\r\n");
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore-2"), std::string(kConfig) + "second=edit\r\n");
  const std::string& confirmation = host_.messages[host_.messages.size() - 2].text;
  EXPECT_NE(confirmation.find("kept as Aircraft.cfg.before-restore-2."), std::string::npos) << confirmation;
  // Nothing to put back: nothing kept either.
  ASSERT_EQ(Restore(), InstallOutcome::Completed);
  EXPECT_FALSE(FileExists(tree_.config() + ".before-restore-3"));
  EXPECT_FALSE(FileExists(tree_.models() + ".before-restore-2"));
}

// At most ten copies of a file are kept: the oldest goes only while every
// line it holds is in the file or another copy; else restore says what to
// do and changes nothing.
TEST_F(RestoreTest, TheOldestCopyGoesOnlyWhenItsLinesAreKeptElsewhere) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string installed = Config();
  const auto restoreAfterEdit = [&](const std::string& edit) {
    WriteFile(tree_.config(), installed + "hand=1\r\n" + edit);
    return Restore();
  };
  for (int i = 1; i <= kMostBeforeRestore; ++i) {
    ASSERT_EQ(restoreAfterEdit(i == 1 ? "" : "mine=" + std::to_string(i) + "\r\n"), InstallOutcome::Completed) << i;
  }
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore"), installed + "hand=1\r\n");
  ASSERT_EQ(restoreAfterEdit("mine=11\r\n"), InstallOutcome::Completed) << LastText();
  EXPECT_FALSE(FileExists(tree_.config() + ".before-restore")) << "its lines are all in the next copy";
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore-11"), installed + "hand=1\r\nmine=11\r\n");

  const std::string edited = installed + "hand=1\r\nmine=12\r\n";
  EXPECT_EQ(restoreAfterEdit("mine=12\r\n"), InstallOutcome::CheckFailed);
  EXPECT_NE(LastText().find("10 copies of Aircraft.cfg are kept already"), std::string::npos) << LastText();
  EXPECT_NE(LastText().find(tree_.config() + ".before-restore-2, holds lines that no other copy holds (such as "
                                            "\"mine=2\")"),
            std::string::npos)
      << LastText();
  EXPECT_EQ(Config(), edited);
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore-2"), installed + "hand=1\r\nmine=2\r\n");
  EXPECT_FALSE(FileExists(tree_.config() + ".before-restore-12"));

  std::remove((tree_.config() + ".before-restore-2").c_str());  // the user moved it away
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(ReadFile(tree_.config() + ".before-restore-12"), edited);
}

// Copies made by hand at every name before the first run: the tool keeps
// its own beside them, and both kinds of restore (and the window, which
// asks LookAtFolders) find them.
TEST_F(RestoreTest, RestoreFindsOurCopiesBesideFilesMadeByHand) {
  const std::vector<std::string> names = {".orig", ".bak", ".before-restore"};
  for (const std::string& name : names) {
    WriteFile(tree_.config() + name, "[fltsim.0]\r\ntitle=hand copy" + name + "\r\n");
    WriteFile(tree_.models() + name, "Hand copy" + name + ",X\r\n");
  }
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string installedConfig = Config();
  const std::string installedModels = Models();
  WriteFile(tree_.config(), installedConfig + "hand=edit\r\n");
  ASSERT_EQ(Install(), InstallOutcome::Completed);

  InstallRequest request;
  request.fsFolder = host_.fsFolder;
  request.squawkBoxFolder = host_.squawkBoxFolder;
  EXPECT_EQ(LookAtFolders(request).original, KeptCopies::Restorable);
  EXPECT_EQ(LookAtFolders(request).lastRun, KeptCopies::Restorable);
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), installedConfig + "hand=edit\r\n");
  EXPECT_EQ(Models(), installedModels);
  ASSERT_EQ(Restore(RestoreFrom::Original), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), kConfig);
  EXPECT_EQ(Models(), kModels);
  for (const std::string& name : names) {
    EXPECT_EQ(ReadFile(tree_.config() + name), "[fltsim.0]\r\ntitle=hand copy" + name + "\r\n") << name;
    EXPECT_EQ(ReadFile(tree_.models() + name), "Hand copy" + name + ",X\r\n") << name;
  }
  EXPECT_EQ(ReadFile(tree_.config() + ".orig-2"), kConfig);
  EXPECT_EQ(ReadFile(tree_.models() + ".bak-2"), installedModels);
}

// A record and copies as the release before generations wrote them.
TEST_F(RestoreTest, ReadsTheRecordsOfTheEarlierRelease) {
  const std::string config = "[fltsim.0]\r\ntitle=before\r\n";
  const std::string models = "Before,X\r\n";
  const auto entry = [](const std::string& name, const std::string& of, const std::string& bytes) {
    return Printf("\n[%s]\nOf=%s\nSize=%zu\nCRC32=%08x\nRun=20261201-101010-42-1\nMade=2026-12-01 10:10:10\n",
                  name.c_str(), of.c_str(), bytes.size(), static_cast<unsigned>(Crc32(bytes)));
  };
  const std::string head =
      "; What Quorvane keeps of the files in this folder. A copy below is put\n"
      "; back only while its size and CRC-32 are the ones recorded here.\n";
  WriteFile(tree_.config() + ".bak", config);
  WriteFile(tree_.config() + ".orig", config);
  WriteFile(tree_.csl + "/Quorvane-backups.ini", head + entry("Aircraft.cfg.bak", "Aircraft.cfg", config) +
                                                     entry("Aircraft.cfg.orig", "Aircraft.cfg", config));
  WriteFile(tree_.models() + ".bak", models);
  WriteFile(tree_.models() + ".orig", models);
  WriteFile(tree_.squawkBox + "/Quorvane-backups.ini", head + entry("CSL_ICAO.csv.bak", "CSL_ICAO.csv", models) +
                                                           entry("CSL_ICAO.csv.orig", "CSL_ICAO.csv", models));
  ASSERT_EQ(Restore(), InstallOutcome::Completed) << LastText();
  EXPECT_EQ(Config(), config);
  EXPECT_EQ(Models(), models);
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  EXPECT_EQ(ReadFile(tree_.config() + ".orig"), config) << "the earlier release's original stays the original";
  EXPECT_EQ(ReadFile(tree_.config() + ".bak"), config);
  EXPECT_FALSE(FileExists(tree_.config() + ".orig-2"));
}

// A run that fails, wherever it fails, leaves the last run's copy as it
// was: restore still undoes the last run that changed the files.
TEST_F(RestoreTest, ARunThatFailsLeavesTheLastRunsCopyAsItWas) {
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const std::string edited = Config() + "hand=edit\r\n";
  const std::string models = Models();
  plat::FailNthOperation(0);
  WriteFile(tree_.config(), edited);
  ASSERT_EQ(Install(), InstallOutcome::Completed);
  const long operations = plat::OperationCount();
  for (long n = 1; n <= operations; ++n) {
    TearDownFiles();
    ASSERT_EQ(Install(), InstallOutcome::Completed);
    WriteFile(tree_.config(), edited);
    plat::FailNthOperation(n);
    const InstallOutcome outcome = Install();
    plat::FailNthOperation(0);
    const bool changed = Config() != edited;
    ASSERT_EQ(Restore(), InstallOutcome::Completed) << "operation " << n << ": " << LastText();
    // The files the last run that changed them found.
    EXPECT_EQ(Config(), changed ? edited : kConfig) << "operation " << n << ", " << static_cast<int>(outcome);
    EXPECT_EQ(Models(), changed ? models : kModels) << "operation " << n;
  }
}

}  // namespace
