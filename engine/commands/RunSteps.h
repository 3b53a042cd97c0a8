#pragma once

#include <functional>
#include <string>
#include <vector>

#include "install/AirlineInstall.h"

namespace engine {

struct DryRun;
struct InstallRun;
struct TextureWrite;

// The steps of the commands that change both files, on the run the
// command owns. Each hands the capabilities below only what they use.

struct RemovalResult {
  // The command ends here with both files as they were; `refusal` says why.
  bool refused = false;
  std::string refusal;
  // The command ends here after a change it could not take back; what is
  // wrong is in the run's report.
  bool stopped = false;
};

// Takes out of the configuration file and the model list every entry an
// earlier run installed and rewrites both, the configuration file in
// lower case, without blank lines but one before each header, its
// sections numbered whole, the model list sorted. The result is built
// aside (run.staged), from both files read and checked (PrepareToChange),
// and goes, in a dry run, to its scratch copies; the command swaps it in
// at its end (CommitStaged).
RemovalResult StageRemoval(InstallRun& run, DryRun* dryRun = nullptr);

// The pass as a step of its own: StageRemoval, then both files backed up
// and swapped in together; they change together or not at all.
RemovalResult RemoveEarlierEntries(InstallRun& run, DryRun* dryRun = nullptr);

// What AddAirline works on in the run: its paths, catalogue, staged files
// and report.
AirlineWork AirlineWorkOf(InstallRun& run, std::vector<TextureWrite>* plannedTextures,
                          std::function<void(int)> scanProgress);

// One airline installed on its own, as tools and tests call it: staged
// from the files as they are and swapped in at once, without backups.
// What fails goes to the run's report.
void InstallAirline(InstallRun& run, const char* description);

}  // namespace engine
