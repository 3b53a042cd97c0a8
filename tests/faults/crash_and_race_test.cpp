// What a user is left with after the worst: a run killed at any file
// operation, a disk that fills at any write, links planted at every name
// we write, two runs at once, and a dry run asked beforehand. In every case
// `restore` (or the files as they stand) lose no line.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "commands/Preview.h"
#include "FaultScenario.h"
#include "platform/FolderLock.h"

namespace {

using namespace scenario;

// Runs `body` in a child process and gives its exit status (-1 when it was
// killed). The child leaves without running any of our destructors.
template <typename Body>
int InChild(Body body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int StatusOf(InstallOutcome outcome) { return static_cast<int>(outcome); }

// Files our temporary files or locks left behind in a folder.
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> found = FilesEndingIn(folder, ".tmp");
  for (const std::string& lock : FilesEndingIn(folder, "Quorvane.lock")) found.push_back(lock);
  return found;
}

// Fills the file system of `path` with a file there, then gives back
// `room` bytes of it.
void FillAllBut(const std::string& path, std::uintmax_t room) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  const std::string block(4096, 'f');
  while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
  }
  std::fclose(f);
  const std::uintmax_t size = std::filesystem::file_size(path);
  std::filesystem::resize_file(path, size > room ? size - room : 0);
}

class CrashWalk : public InstallUnderFaults {
 protected:
  // Restore after the kill, as a user would: it either puts back exactly
  // `expected` or refuses with the files already exactly `expected`.
  void RestoreAndExpect(Setup& run, const std::string& config, const std::string& models, long n) {
    run.host.messages.clear();
    const InstallOutcome restored = OnRestore(run.run, run.host.Request(), run.host);
    EXPECT_TRUE(restored == InstallOutcome::Completed || restored == InstallOutcome::CheckFailed)
        << "operation " << n << ": " << StatusOf(restored);
    EXPECT_EQ(run.Config(), config) << "operation " << n;
    EXPECT_EQ(run.Models(), models) << "operation " << n;
    // The restore took the locks over and swept what the kill left.
    EXPECT_EQ(Leftovers(run.tree.csl), std::vector<std::string>{}) << "operation " << n;
    EXPECT_EQ(Leftovers(run.tree.squawkBox), std::vector<std::string>{}) << "operation " << n;
  }
};

TEST_F(CrashWalk, AKilledFirstRunAlwaysRestoresToTheOriginals) {
  int killed = 0;
  for (long n = 1; n <= operations_ + 1; ++n) {
    Setup run;
    const int status = InChild([&] {
      plat::KillAtNthOperation(n);
      return StatusOf(run.Install());
    });
    if (status == -1) ++killed;
    RestoreAndExpect(run, kConfigBefore, kModelsBefore, n);
    for (const std::string& original : FilesEndingIn(run.tree.dir.path(), ".orig")) {
      const bool models = original.find("CSL_ICAO") != std::string::npos;
      EXPECT_EQ(ReadFile(original), models ? kModelsBefore : kConfigBefore) << original;
    }
    if (HasFailure()) break;
  }
  EXPECT_EQ(killed, operations_) << "every operation of the run was a place to die";
  std::printf("crash walk, first run: %d kills, each followed by a restore\n", killed);
}

// A second run killed: restore puts back the start of the last run that
// kept its backups (the second, or the first when the second died before
// its own were whole), and keeps what it replaces as .before-restore.
TEST_F(CrashWalk, AKilledSecondRunRestoresALastRunsStartAndLosesNothing) {
  for (long n = 1; n <= operations_ + 1; n += 2) {
    Setup run;
    ASSERT_EQ(run.Install(), InstallOutcome::Completed);
    InChild([&] {
      plat::KillAtNthOperation(n);
      return StatusOf(run.Install());
    });
    const std::string killedConfig = run.Config();
    const std::string killedModels = run.Models();
    EXPECT_TRUE(AcceptableConfig(killedConfig, passConfig_) || killedConfig == completeConfig_) << n;
    run.host.messages.clear();
    const InstallOutcome restored = OnRestore(run.run, run.host.Request(), run.host);
    const bool toSecondStart = run.Config() == completeConfig_ && run.Models() == completeModels_;
    const bool toFirstStart = run.Config() == kConfigBefore && run.Models() == kModelsBefore;
    EXPECT_TRUE(toSecondStart || toFirstStart) << "operation " << n;
    if (restored == InstallOutcome::Completed && killedConfig != run.Config()) {
      EXPECT_EQ(ReadFile(run.tree.config() + ".before-restore"), killedConfig) << n;
    }
    if (restored == InstallOutcome::Completed && killedModels != run.Models()) {
      EXPECT_EQ(ReadFile(run.tree.models() + ".before-restore"), killedModels) << n;
    }
    EXPECT_EQ(ReadFile(run.tree.config() + ".orig"), kConfigBefore);
    EXPECT_EQ(ReadFile(run.tree.models() + ".orig"), kModelsBefore);
    EXPECT_EQ(Leftovers(run.tree.csl), std::vector<std::string>{}) << n;
    if (HasFailure()) break;
  }
}

// A full disk at every operation in turn: each run either completes, or
// ends with both files whole (as before or as the pass leaves them) and a
// message that says why.
TEST_F(CrashWalk, AFullDiskAtAnyPointIsNamedAndLosesNothing) {
  for (long n = 1; n <= operations_; ++n) {
    Setup run;
    plat::FailNthOperation(n, ENOSPC);
    const InstallOutcome outcome = run.Install();
    plat::FailNthOperation(0);
    EXPECT_TRUE(AcceptableConfig(run.Config(), passConfig_)) << n;
    EXPECT_TRUE(AcceptableModels(run.Models(), passModels_)) << n;
    const std::string& text = run.host.LastMessage()->text;
    // The folder checks answer with their fixed texts.
    const bool folderCheck = text == kInvalidSquawkBoxText || text == kInvalidFsText || text == kNoConfigText;
    if ((outcome == InstallOutcome::CheckFailed && !folderCheck) || outcome == InstallOutcome::CompletedWithFailures) {
      EXPECT_NE(text.find("No space left on device"), std::string::npos) << "operation " << n << ":\n" << text;
    }
    if (HasFailure()) break;
  }
}

// Links at every name a run writes besides the user's two files, each
// pointing at a file of somebody else's.
TEST_F(CrashWalk, LinksAtOurNamesAreReplacedNeverFollowed) {
  Setup run;
  TempDir elsewhere;
  const std::string victim = elsewhere / "victim";
  WriteFile(victim, "not yours\n");
  MakeFolders(run.tree.csl + "/texture.ALP1");
  const std::vector<std::string> names = {
      run.tree.config() + ".bak",           run.tree.config() + ".orig",
      run.tree.config() + ".before-restore", run.tree.config() + ".tmp",
      run.tree.models() + ".bak",           run.tree.models() + ".orig",
      run.tree.models() + ".tmp",           run.tree.csl + "/Quorvane-backups.ini",
      run.tree.squawkBox + "/Quorvane-backups.ini", run.tree.csl + "/Quorvane.lock",
      run.tree.squawkBox + "/Quorvane.lock", run.tree.csl + "/texture.ALP1/csl.0af"};
  for (const std::string& name : names) ASSERT_EQ(symlink(victim.c_str(), name.c_str()), 0) << name;

  ASSERT_EQ(run.Install(), InstallOutcome::Completed) << run.host.LastMessage()->text;
  ASSERT_EQ(OnRestore(run.run, run.host.Request(), run.host), InstallOutcome::Completed) << run.host.LastMessage()->text;
  EXPECT_EQ(ReadFile(victim), "not yours\n");
  EXPECT_EQ(run.Config(), kConfigBefore);
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ALP1/csl.0af"), Texture("ALP1"));
  for (const std::string& name : names) {
    struct stat st;
    if (lstat(name.c_str(), &st) == 0 && name.find(".tmp") == std::string::npos) {
      EXPECT_FALSE(S_ISLNK(st.st_mode)) << name << " is still a link";
    }
  }
}

// Two installs on one tree at the same moment, many times: one waits for
// nothing and runs, the other runs after it or is told that a run is
// working; the files always end as one complete run leaves them.
TEST_F(CrashWalk, TwoRunsAtOnceNeverMixTheirWork) {
  constexpr int kTrials = 25;
  int refused = 0;
  for (int trial = 0; trial < kTrials; ++trial) {
    Setup run;
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 2; ++i) {
      const pid_t child = fork();
      if (child == 0) {
        char go = 0;
        if (read(start[0], &go, 1) != 1) _exit(90);
        const InstallOutcome outcome = run.Install();
        const std::string text = run.host.LastMessage() ? run.host.LastMessage()->text : "";
        if (outcome == InstallOutcome::CheckFailed && text.find("Another Quorvane run is working") == std::string::npos) {
          _exit(91);  // refused for another reason
        }
        _exit(StatusOf(outcome));
      }
      children.push_back(child);
    }
    ASSERT_EQ(write(start[1], "gg", 2), 2);
    close(start[0]);
    close(start[1]);
    int completed = 0;
    for (pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      ASSERT_TRUE(WIFEXITED(status)) << "trial " << trial;
      const int code = WEXITSTATUS(status);
      ASSERT_TRUE(code == StatusOf(InstallOutcome::Completed) || code == StatusOf(InstallOutcome::CheckFailed))
          << "trial " << trial << ": " << code;
      completed += code == StatusOf(InstallOutcome::Completed);
      refused += code == StatusOf(InstallOutcome::CheckFailed);
    }
    EXPECT_GE(completed, 1) << "trial " << trial;
    EXPECT_EQ(run.Config(), completeConfig_) << "trial " << trial;
    EXPECT_EQ(run.Models(), completeModels_) << "trial " << trial;
    EXPECT_EQ(Leftovers(run.tree.dir.path()), std::vector<std::string>{}) << "trial " << trial;
    if (HasFailure()) break;
  }
  std::printf("two runs at once: %d trials, %d runs told another was working\n", kTrials, refused);
}

// A dry run ends as the real run would, on the tree each case spoils.
TEST_F(CrashWalk, ADryRunEndsAsTheRealRunWould) {
  struct Case {
    const char* what;
    void (*spoil)(const Setup&);
  };
  const Case cases[] = {
      {"nothing wrong", [](const Setup&) {}},
      {"read-only Aircraft.cfg", [](const Setup& s) { chmod(s.tree.config().c_str(), 0444); }},
      {"read-only CSL_ICAO.csv", [](const Setup& s) { chmod(s.tree.models().c_str(), 0444); }},
      {"read-only aircraft\\csl", [](const Setup& s) { chmod(s.tree.csl.c_str(), 0555); }},
      {"read-only SquawkBox folder", [](const Setup& s) { chmod(s.tree.squawkBox.c_str(), 0555); }},
      {"a file named texture.CHL3", [](const Setup& s) { WriteFile(s.tree.csl + "/texture.CHL3", "x"); }},
      {"a read-only texture folder",
       [](const Setup& s) {
         MakeFolders(s.tree.csl + "/texture.ECH5");
         chmod((s.tree.csl + "/texture.ECH5").c_str(), 0555);
       }},
      {"no texture source", [](const Setup& s) { std::remove((s.tree.catalogue + "/CHL3.dat").c_str()); }},
      {"csl.0af is a folder", [](const Setup& s) { MakeFolders(s.tree.csl + "/texture.ALP1/csl.0af"); }},
      {"a zero byte in the model list",
       [](const Setup& s) { WriteFile(s.tree.models(), std::string("a,1\r\n\0b,2\r\n", 11)); }},
  };
  for (const Case& c : cases) {
    Setup dry;
    c.spoil(dry);
    const auto before = std::make_pair(dry.Config(), dry.Models());
    const Preview preview = PreviewCommand(dry.run, dry.host.Request(), dry.host, PreviewedCommand::Install);
    EXPECT_EQ(std::make_pair(dry.Config(), dry.Models()), before) << c.what;
    Setup real;
    c.spoil(real);
    EXPECT_EQ(StatusOf(preview.outcome), StatusOf(real.Install())) << c.what;
  }
  // Another run holding a folder: both are told so.
  Setup dry;
  plat::FolderLock other;
  std::string heldBy;
  plat::Result failure;
  ASSERT_EQ(other.Take(dry.tree.csl.c_str(), "a test", &heldBy, &failure), plat::FolderLock::Outcome::Taken);
  EXPECT_EQ(PreviewCommand(dry.run, dry.host.Request(), dry.host, PreviewedCommand::Install).outcome, InstallOutcome::CheckFailed);
  EXPECT_NE(dry.host.LastMessage()->text.find("(a test, process "), std::string::npos) << dry.host.LastMessage()->text;
  EXPECT_EQ(dry.Install(), InstallOutcome::CheckFailed);
}

TEST_F(CrashWalk, ARewriteKeepsTheFilesModeAndOwner) {
  Setup run;
  ASSERT_EQ(chmod(run.tree.config().c_str(), 0600), 0);
  ASSERT_EQ(chmod(run.tree.models().c_str(), 0640), 0);
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(run.tree.config().c_str(), 4321, 4321), 0);
  }
  ASSERT_EQ(run.Install(), InstallOutcome::Completed);
  struct stat st;
  ASSERT_EQ(stat(run.tree.config().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  if (root) {
    EXPECT_EQ(st.st_uid, 4321u);
  }
  ASSERT_EQ(stat((run.tree.config() + ".bak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u) << "a backup is no easier to read than its file";
  ASSERT_EQ(stat(run.tree.models().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A real file system that fills up: a small tmpfs (root only), left with
// less and less room, an install each time, then restore once there is
// room again.
TEST_F(CrashWalk, ARealFullDiskThenRestoreLosesNothing) {
  TempDir mountPoint;
  if (geteuid() != 0 || mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0, "size=1m") != 0) {
    GTEST_SKIP() << "needs root and a tmpfs mount: " << std::strerror(errno);
  }
  Setup source;
  int failed = 0;
  int levels = 0;
  for (std::size_t room = 4096; room <= 96 * 1024; room += 4096, ++levels) {
    std::filesystem::remove_all(mountPoint.path() + "/t");
    std::filesystem::copy(source.tree.dir.path(), mountPoint.path() + "/t", std::filesystem::copy_options::recursive);
    FillAllBut(mountPoint.path() + "/filler", room);
    InstallRun run;
    source.tree.UseCatalogue(run);
    FakeHost host = source.host;
    host.fsFolder = mountPoint.path() + "/t/FS2002";
    host.squawkBoxFolder = mountPoint.path() + "/t/SquawkBox";
    const InstallOutcome outcome = OnInstall(run, host.Request(), host);
    if (outcome != InstallOutcome::Completed) {
      ++failed;
      EXPECT_NE(host.LastMessage()->text.find("No space left on device"), std::string::npos) << host.LastMessage()->text;
    }
    std::filesystem::remove(mountPoint.path() + "/filler");
    const std::string config = ReadFile(host.fsFolder + "/aircraft/csl/Aircraft.cfg");
    const std::string models = ReadFile(host.squawkBoxFolder + "/CSL_ICAO.csv");
    EXPECT_TRUE(AcceptableConfig(config, passConfig_)) << room;
    EXPECT_TRUE(AcceptableModels(models, passModels_)) << room;
    const InstallOutcome restored = OnRestore(run, host.Request(), host);
    const std::string configAfter = ReadFile(host.fsFolder + "/aircraft/csl/Aircraft.cfg");
    if (restored == InstallOutcome::Completed) {
      EXPECT_EQ(configAfter, kConfigBefore) << room;
      EXPECT_EQ(ReadFile(host.squawkBoxFolder + "/CSL_ICAO.csv"), kModelsBefore) << room;
    } else {
      EXPECT_EQ(configAfter, config) << room << ": a refused restore changes nothing";
    }
    if (HasFailure()) break;
  }
  umount(mountPoint.path().c_str());
  EXPECT_GT(failed, 0) << "the disk was never full enough";
  std::printf("real full disk: %d levels of free room, %d installs failed on it\n", levels, failed);
}

}  // namespace
