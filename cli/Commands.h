#pragma once

#include "CliOptions.h"

namespace cli {

// Exit statuses of quorvane-cli.
enum ExitStatus : int {
  kExitSuccess = 0,
  kExitNothingChanged = 1,
  kExitUsage = 2,
  kExitFinishedWithFailures = 3,
  kExitCancelled = 4,
};

// Runs a parsed command and returns its exit status.
int RunCommand(const CliOptions& options);

}  // namespace cli
