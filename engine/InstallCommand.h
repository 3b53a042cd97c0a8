#pragma once

class InstallHost;

enum class InstallOutcome {
  Cancelled,              // the user said Cancel at the confirmation
  CheckFailed,            // a check failed or a file cannot be processed safely; nothing changed
  Completed,              // everything was installed
  CompletedWithFailures,  // the run finished, but something failed (listed to the user)
};

// The Install command: confirms, checks the folders, the selection and the
// configuration file, removes what earlier runs installed, installs every
// selected airline in list order, sorts the model list and reports.
InstallOutcome OnInstall(InstallHost& host);
