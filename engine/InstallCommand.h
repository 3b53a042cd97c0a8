#pragma once

#include <string>
#include <vector>

class InstallHost;

enum class InstallOutcome {
  Cancelled,              // the user said Cancel at the confirmation
  CheckFailed,            // a check failed or a file cannot be processed safely; nothing changed
  Completed,              // everything was done
  CompletedWithFailures,  // the run finished, but something failed (listed to the user)
};

// A texture file that a run writes (or, in a dry run, would write).
struct TextureWrite {
  std::string target;
  bool replaces = false;  // a file of that name is there already
};

// Makes a command work on copies of the configuration file and the model
// list in `scratchFolder` instead of the real ones: no texture is copied,
// no folder created and no backup written. After the command the paths of
// both real files and both copies are filled in (empty when the checks
// ended the command first), with the textures it would have written.
struct DryRun {
  std::string scratchFolder;
  std::string configPath;
  std::string modelListPath;
  std::string scratchConfigPath;
  std::string scratchModelListPath;
  std::vector<TextureWrite> textures;
};

// The Install command: confirms, checks the folders, the selection and the
// configuration file, removes what earlier runs installed, installs every
// selected airline in list order, sorts the model list and reports.
InstallOutcome OnInstall(InstallHost& host, DryRun* dryRun = nullptr);

// The same checks (but for the selection), then only the removal pass:
// takes out every entry this tool or an earlier release installed.
InstallOutcome OnRemove(InstallHost& host, DryRun* dryRun = nullptr);

// Puts the configuration file and the model list back from the backups the
// last run kept ("<name>.bak"); a missing backup is reported and that file
// is left alone.
InstallOutcome OnRestore(InstallHost& host);
