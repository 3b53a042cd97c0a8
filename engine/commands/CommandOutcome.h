#pragma once

namespace engine {

// How a command ended.
enum class InstallOutcome {
  Cancelled,              // the user said Cancel at the confirmation
  CheckFailed,            // a check failed or a file cannot be processed safely; nothing changed
  Completed,              // everything was done
  CompletedWithFailures,  // the run finished, but something failed (listed to the user)
};

}  // namespace engine
