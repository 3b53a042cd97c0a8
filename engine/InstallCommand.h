#pragma once

#include "DryRun.h"

namespace engine {

class InstallHost;
struct InstallRun;

enum class InstallOutcome {
  Cancelled,              // the user said Cancel at the confirmation
  CheckFailed,            // a check failed or a file cannot be processed safely; nothing changed
  Completed,              // everything was done
  CompletedWithFailures,  // the run finished, but something failed (listed to the user)
};

// The Install command: confirms, checks the folders, the selection and the
// configuration file, removes what earlier runs installed, installs every
// selected airline in list order, sorts the model list and reports.
InstallOutcome OnInstall(InstallRun& run, InstallHost& host, DryRun* dryRun = nullptr);

// The same checks (but for the selection), then only the removal pass:
// takes out every entry this tool or an earlier release installed.
InstallOutcome OnRemove(InstallRun& run, InstallHost& host, DryRun* dryRun = nullptr);

// Puts the configuration file and the model list back from the backups the
// last run kept ("<name>.bak"); a missing backup is reported and that file
// is left alone.
InstallOutcome OnRestore(InstallRun& run, InstallHost& host);

}  // namespace engine
