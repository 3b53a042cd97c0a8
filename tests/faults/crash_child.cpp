// The command a crash test runs in a process of its own on Windows, ended
// at its nth file operation as Task Manager ends a program:
//   crash_child N COMMAND FS_FOLDER SQUAWKBOX_FOLDER CATALOGUE [ENTRY SELECTED]...
// Exits with the command's outcome (crash::Run), 137 when it was ended, 2
// when the arguments make no job.

#include <cstdlib>
#include <string>
#include <vector>

#include "CrashChild.h"
#include "platform/FaultInjection.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::vector<std::string> arguments(argv + 2, argv + argc);
  crash::Job job;
  if (!crash::JobOf(arguments, &job)) return 2;
  plat::KillAtNthOperation(std::atol(argv[1]));
  return crash::Run(job);
}
