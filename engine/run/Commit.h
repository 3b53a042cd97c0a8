#pragma once

#include <string>

namespace engine {

class RunReport;
class StagedFiles;

// When a command keeps the files it replaces as backups (Backups.h).
enum class KeepCopies {
  WhenChanged,  // only when a file changes: a command that changes nothing keeps no copy either
  Always,       // also when nothing changes
  Never,        // one airline installed on its own, as the tests and tools call it
};

struct CommitResult {
  // The command ends with both files as they were; `refusal` says why.
  bool refused = false;
  std::string refusal;
  // What failed when it did, without what it means for the files (for a
  // caller that words its own report line).
  std::string failure;
};

// Swaps in what the command built aside: checks that nobody changed the
// files meanwhile, keeps the backups, and replaces the files that change
// and the texture copies as one change (FileSwap.h). A dry run writes its
// result to the paths it staged, its scratch copies, instead. A failure
// after a file changed, and textures that could not be put in place, go to
// the report.
CommitResult CommitStaged(StagedFiles& staged, RunReport& report, const char* command, bool dryRun,
                          KeepCopies copies);

}  // namespace engine
