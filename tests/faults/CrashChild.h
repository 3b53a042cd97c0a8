// A command of the engine run in a process of its own and ended there, as
// a kill ends a program, at a chosen file operation: on Linux a fork of
// the test, on Windows crash_child.exe, which ends itself with
// TerminateProcess (the fault hooks' KillAtNthOperation).
#pragma once

#include <string>
#include <vector>

#include "commands/InstallCommand.h"

namespace crash {

enum class Command { Install, Remove, Restore, Original, Repair };

struct Job {
  Command command = Command::Install;
  std::string fsFolder;
  std::string squawkBoxFolder;
  std::string catalogue;
  std::vector<std::string> entries;
  std::vector<bool> selected;
};

const char* NameOf(Command command);

// Runs the job in this process with a host that answers OK; gives the
// command's outcome as a number (InstallOutcome; for a repair 0 when the
// files are settled, 1 when not).
int Run(const Job& job);

// Runs the job in a process of its own that a kill ends at its nth file
// operation (n = 0: never); -1 when it was ended so, else its exit status.
int RunKilledAt(const Job& job, long n);

// The job as crash_child.exe takes it on its command line, and back.
std::vector<std::string> ArgumentsOf(const Job& job);
bool JobOf(const std::vector<std::string>& arguments, Job* job);

}  // namespace crash
