// A command of ours killed at any one of its file operations, then the next
// start: whatever the operation and the command, the user finds both files
// as they were before the command or both as the command finishes them,
// never a section cut or the two out of step; also when the kill comes
// while the start repairs an earlier one. Runs natively (fork) and under
// Wine (crash_child.exe, ended by TerminateProcess).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "staging/FileSwap.h"
#include "CrashChild.h"
#include "FaultScenario.h"
#include "platform/FolderLock.h"

namespace {

using namespace scenario;
using crash::Command;

struct Files {
  std::string config;
  std::string models;
  bool operator==(const Files& other) const { return config == other.config && models == other.models; }
  bool operator!=(const Files& other) const { return !(*this == other); }
};

class CrashWalkOfEveryCommand : public InstallUnderFaults {
 protected:
  static crash::Job JobFor(const Setup& s, Command command) {
    return crash::Job{command, s.tree.fs, s.tree.squawkBox, s.tree.catalogue, kEntries, kSelected};
  }
  static engine::InstallRequest RequestOf(const Setup& s) {
    engine::InstallRequest request;
    request.fsFolder = s.tree.fs;
    request.squawkBoxFolder = s.tree.squawkBox;
    return request;
  }
  static Files FilesOf(const Setup& s) { return Files{s.Config(), s.Models()}; }
  // Remove and restore start from an installed tree.
  static void Prepare(Setup& s, Command command) {
    if (command != Command::Install) {
      ASSERT_EQ(s.Install(), InstallOutcome::Completed);
    }
  }
  static bool HasRecord(const Setup& s) {
    return engine::HasInterruptedRun(engine::ConfigFolderOf(s.tree.fs), s.tree.squawkBox);
  }
  // What a run of ours may leave for a moment: temporary files, locks and
  // its record. None is left once a command has run to its end.
  static std::vector<std::string> Traces(const Setup& s) {
    std::vector<std::string> found = FilesEndingIn(s.tree.dir.path(), ".tmp");
    for (const char* name : {"Quorvane.lock", engine::kIntentRecordName}) {
      for (const std::string& path : FilesEndingIn(s.tree.dir.path(), name)) found.push_back(path);
    }
    return found;
  }

  // The tree's two folders as a kill left them, kept aside and put back.
  static void Keep(const Setup& s, const TempDir& aside) {
    std::filesystem::copy(s.tree.fs, aside / "FS2002", std::filesystem::copy_options::recursive);
    std::filesystem::copy(s.tree.squawkBox, aside / "SquawkBox", std::filesystem::copy_options::recursive);
  }
  static void PutBack(const TempDir& aside, const Setup& s) {
    for (const std::string* folder : {&s.tree.fs, &s.tree.squawkBox}) std::filesystem::remove_all(*folder);
    std::filesystem::copy(aside / "FS2002", s.tree.fs, std::filesystem::copy_options::recursive);
    std::filesystem::copy(aside / "SquawkBox", s.tree.squawkBox, std::filesystem::copy_options::recursive);
  }

  // The command's files before and after a whole run, and its operations.
  struct Ends {
    Files before;
    Files finished;
    long operations = 0;
  };
  static Ends EndsOf(Command command) {
    Ends ends;
    Setup s;
    Prepare(s, command);
    ends.before = FilesOf(s);
    plat::FailNthOperation(0);
    EXPECT_EQ(crash::Run(JobFor(s, command)), static_cast<int>(InstallOutcome::Completed)) << crash::NameOf(command);
    ends.operations = plat::OperationCount();
    ends.finished = FilesOf(s);
    EXPECT_NE(ends.before, ends.finished) << crash::NameOf(command);
    return ends;
  }
};

TEST_F(CrashWalkOfEveryCommand, AKillAtAnyOperationThenTheNextStartLeavesBothFilesBeforeOrFinished) {
  for (Command command : {Command::Install, Command::Remove, Command::Restore}) {
    SCOPED_TRACE(crash::NameOf(command));
    const Ends ends = EndsOf(command);
    int kills = 0, before = 0, finished = 0, repaired = 0;
    for (long n = 1; n <= ends.operations; ++n) {
      Setup s;
      Prepare(s, command);
      const int status = crash::RunKilledAt(JobFor(s, command), n);
      ASSERT_NE(status, -2) << "the child process could not be started";
      kills += status == -1;
      const Files killed = FilesOf(s);
      const engine::Repair repair = engine::RepairOf(RequestOf(s));
      EXPECT_TRUE(repair.settled) << "operation " << n << ": " << repair.line;
      const Files now = FilesOf(s);
      EXPECT_TRUE(now == ends.before || now == ends.finished) << "operation " << n << ": " << repair.line;
      if (repair.found) {
        EXPECT_FALSE(repair.line.empty()) << "operation " << n;
        ++repaired;
      } else {
        EXPECT_EQ(now, killed) << "operation " << n;
      }
      before += now == ends.before;
      finished += now == ends.finished;
      EXPECT_FALSE(HasRecord(s)) << "operation " << n;

      // The command again: it runs to its end and leaves no trace.
      EXPECT_EQ(crash::Run(JobFor(s, command)), static_cast<int>(InstallOutcome::Completed)) << "operation " << n;
      EXPECT_EQ(FilesOf(s), ends.finished) << "operation " << n;
      EXPECT_EQ(Traces(s), std::vector<std::string>{}) << "operation " << n;
      if (HasFailure()) break;
    }
    EXPECT_EQ(kills, ends.operations) << "every operation was a place to die";
    std::printf("crash walk, %s: %ld kill points, then the next start: %d both as before, %d both finished "
                "(%d of them repaired, each told in one line)\n",
                crash::NameOf(command), ends.operations, before, finished, repaired);
  }
}

// The repair is killed in turn, at each of its operations, for each kind
// of state a kill leaves a record in (both files old, one replaced, both
// replaced with textures waiting); the start after it repairs.
TEST_F(CrashWalkOfEveryCommand, AKillWhileTheStartRepairsIsRepairedByTheStartAfter) {
  for (Command command : {Command::Install, Command::Remove, Command::Restore}) {
    SCOPED_TRACE(crash::NameOf(command));
    const Ends ends = EndsOf(command);
    std::map<std::string, long> pointOfState;  // one kill point for each state left with a record
    for (long n = 1; n <= ends.operations; ++n) {
      Setup s;
      Prepare(s, command);
      crash::RunKilledAt(JobFor(s, command), n);
      if (!HasRecord(s)) continue;
      const Files killed = FilesOf(s);
      const std::string state = killed == ends.before     ? "both old"
                                : killed == ends.finished ? "both new"
                                                          : "one replaced";
      pointOfState.emplace(state, n);
    }
    EXPECT_GE(pointOfState.size(), 2u) << "kills between the record and its removal";
    int repairKills = 0;
    for (const auto& [state, n] : pointOfState) {
      // The state the kill left, kept aside to start each repair from.
      Setup s;
      Prepare(s, command);
      crash::RunKilledAt(JobFor(s, command), n);
      TempDir aside;
      Keep(s, aside);
      plat::FailNthOperation(0);
      ASSERT_TRUE(engine::RepairOf(RequestOf(s)).settled);
      const long repairOperations = plat::OperationCount();
      for (long m = 1; m <= repairOperations; ++m) {
        PutBack(aside, s);
        repairKills += crash::RunKilledAt(JobFor(s, Command::Repair), m) == -1;
        const engine::Repair repair = engine::RepairOf(RequestOf(s));
        EXPECT_TRUE(repair.settled) << state << ", repair killed at " << m << ": " << repair.line;
        const Files now = FilesOf(s);
        EXPECT_TRUE(now == ends.before || now == ends.finished) << state << ", repair killed at " << m;
        EXPECT_FALSE(HasRecord(s)) << state << ", repair killed at " << m;
        if (HasFailure()) break;
      }
      std::printf("crash walk, %s killed with %s: the repair killed at each of its %ld operations, "
                  "then repaired by the next start\n",
                  crash::NameOf(command), state.c_str(), repairOperations);
    }
    EXPECT_GT(repairKills, 0);
  }
}

// The tree as an install killed between replacing the configuration file
// and the model list leaves it: the first operation that leaves the one
// file new and the other old.
class StoppedBetweenTheTwoFiles : public CrashWalkOfEveryCommand {
 protected:
  void SetUp() override {
    CrashWalkOfEveryCommand::SetUp();
    ends_ = EndsOf(Command::Install);
    // The operation that replaces the model list: the one whose failure
    // names it so.
    for (long n = ends_.operations; n > 0 && stopped_ == 0; --n) {
      Setup s;
      plat::FailNthOperation(n);
      s.Install();
      plat::FailNthOperation(0);
      if (s.host.LastMessage()->text.find("CSL_ICAO.csv could not be replaced") != std::string::npos) stopped_ = n;
    }
    ASSERT_GT(stopped_, 0);
    Setup s;
    Stop(s);
    ASSERT_EQ(s.Config(), ends_.finished.config);
    ASSERT_EQ(s.Models(), ends_.before.models);
  }
  void Stop(Setup& s) { crash::RunKilledAt(JobFor(s, Command::Install), stopped_); }

  Ends ends_;
  long stopped_ = 0;
};

TEST_F(StoppedBetweenTheTwoFiles, TheNextCommandSaysFirstWhatItFoundAndDid) {
  for (Command command : {Command::Install, Command::Remove, Command::Restore}) {
    SCOPED_TRACE(crash::NameOf(command));
    Setup s;
    Stop(s);
    InstallOutcome outcome = InstallOutcome::CheckFailed;
    switch (command) {
      case Command::Install: outcome = s.Install(); break;
      case Command::Remove: outcome = OnRemove(s.run, s.host.Request(), s.host); break;
      default: outcome = OnRestore(s.run, s.host.Request(), s.host); break;
    }
    // The stopped install was the first to change the files: once it is
    // taken back, no run has, and restore has nothing to put back.
    EXPECT_EQ(outcome, command == Command::Restore ? InstallOutcome::CheckFailed : InstallOutcome::Completed)
        << s.host.LastMessage()->text;
    const auto repaired = std::find_if(s.host.messages.begin(), s.host.messages.end(),
                                       [](const FakeHost::Message& m) { return m.kind == MessageKind::Repaired; });
    ASSERT_NE(repaired, s.host.messages.end());
    EXPECT_EQ(repaired - s.host.messages.begin(), command == Command::Install ? 1 : 0) << "before anything else";
    EXPECT_EQ(repaired->text.rfind("Quorvane took back the install of ", 0), 0u) << repaired->text;
    EXPECT_NE(repaired->text.find(", which had stopped before its end: "), std::string::npos) << repaired->text;
    EXPECT_NE(repaired->text.find(": Aircraft.cfg and CSL_ICAO.csv are as they were before it."), std::string::npos)
        << repaired->text;
    EXPECT_EQ(repaired->text.find('\n'), std::string::npos) << "one line";
  }
}

// Without the copies to take it back from, the run is finished from what
// waits whole beside the files.
TEST_F(StoppedBetweenTheTwoFiles, WithoutItsCopiesTheRunIsFinishedInstead) {
  Setup s;
  Stop(s);
  // The copies the run kept wait beside the files until it is done.
  for (const std::string& copy : FilesEndingIn(s.tree.dir.path(), ".tmp")) {
    if (copy.find(".bak.quorvane-") != std::string::npos) std::remove(copy.c_str());
  }
  const engine::Repair repair = engine::RepairOf(RequestOf(s));
  EXPECT_TRUE(repair.settled);
  EXPECT_EQ(repair.line.rfind("Quorvane finished the install of ", 0), 0u) << repair.line;
  EXPECT_EQ(FilesOf(s), ends_.finished);
  EXPECT_FALSE(HasRecord(s));
}

// A file the user changed after the stop is left as it is, and named.
TEST_F(StoppedBetweenTheTwoFiles, AFileChangedAfterTheStopIsLeftAsItIs) {
  Setup s;
  Stop(s);
  const std::string edited = s.Config() + "hand=edit\r\n";
  WriteFile(s.tree.config(), edited);
  const engine::Repair repair = engine::RepairOf(RequestOf(s));
  EXPECT_TRUE(repair.settled);
  EXPECT_NE(repair.line.find("(Aircraft.cfg changed after the stop and is left as it is)"), std::string::npos)
      << repair.line;
  EXPECT_EQ(s.Config(), edited);
  EXPECT_EQ(s.Models(), ends_.before.models);
  EXPECT_FALSE(HasRecord(s));
}

// A run that still works holds the folders: its record is its own.
TEST_F(StoppedBetweenTheTwoFiles, ARunThatStillWorksIsLeftToIt) {
  Setup s;
  Stop(s);
  const Files stopped = FilesOf(s);
  plat::FolderLock running;
  std::string heldBy;
  plat::Result failure;
  std::remove((s.tree.csl + kSeparator + "Quorvane.lock").c_str());
  ASSERT_EQ(running.Take(s.tree.csl.c_str(), "a run that works", &heldBy, &failure), plat::FolderLock::Outcome::Taken);
  const engine::Repair repair = engine::RepairOf(RequestOf(s));
  EXPECT_TRUE(repair.found);
  EXPECT_TRUE(repair.settled);
  EXPECT_TRUE(repair.line.empty()) << repair.line;
  EXPECT_EQ(FilesOf(s), stopped);
  EXPECT_TRUE(HasRecord(s));
  running.Release();
  EXPECT_TRUE(engine::RepairOf(RequestOf(s)).settled);
  EXPECT_EQ(FilesOf(s), ends_.before);
}

TEST_F(CrashWalkOfEveryCommand, ARecordThatNamesNothingIsRemovedAndSaidSo) {
  Setup s;
  WriteFile(s.tree.squawkBox + kSeparator + engine::kIntentRecordName, "[Run]\r\nCommand=install\r\n");
  const Files before = FilesOf(s);
  const engine::Repair repair = engine::RepairOf(RequestOf(s));
  EXPECT_TRUE(repair.settled);
  EXPECT_NE(repair.line.find("which named no file it could use"), std::string::npos) << repair.line;
  EXPECT_FALSE(HasRecord(s));
  EXPECT_EQ(FilesOf(s), before);
}

}  // namespace
