#pragma once

#include <string>
#include <vector>

#include "checks/FileCheck.h"
#include "commands/InstallCommand.h"

namespace engine {

class InstallHost;
struct InstallRequest;
struct InstallRun;

enum class PreviewedCommand { Install, Remove };

// What a command would change, found by running it on scratch copies of
// the configuration file and the model list in a temporary folder that is
// removed afterwards. Nothing in the FS2002 or SquawkBox folder changes.
struct Preview {
  InstallOutcome outcome = InstallOutcome::CheckFailed;
  std::string diff;                   // unified diff of both files, old to new
  std::vector<TextureWrite> textures; // targets named as the system names them
  std::string configPath;             // the real files the command looked at (empty when a check ended it)
  std::string modelListPath;
  // The look of CheckUserFiles at both files as the command would leave
  // them (its problems; earlierEntries lists what the next install would
  // take out); only when configPath is not empty.
  FileCheck check;
};

Preview PreviewCommand(InstallRun& run, const InstallRequest& request, InstallHost& host,
                       PreviewedCommand command);

// The report of a dry run comes in two parts, with the command's final
// message between them. First the changes: the diff, then one line per
// texture ("create <path>" or "replace <path>").
std::string PreviewChanges(const Preview& preview);
// Then, for a command that got as far as the files, the check of both
// files as the command would leave them; else nothing.
std::string PreviewCheck(const Preview& preview, PreviewedCommand command);

}  // namespace engine
