#pragma once

#include <string>

#include "staging/StagedFiles.h"
#include "platform/TextFile.h"

namespace engine {

struct DryRun;
struct InstallRun;

// What a command does before it works on either file: reads both, checks
// that each fits its table and can be replaced, and loads the run's
// tables. A dry run makes the same checks on the real files, then copies
// them into its scratch folder, and the run's paths name the copies from
// then on. False, with the refusal for the user in *refusal, when the
// command must end with nothing changed.
bool PrepareToChange(InstallRun& run, DryRun* dryRun, FoundFiles* found, std::string* refusal);

// The text of a refusal that names a file and why it cannot be processed
// safely ("... Nothing has been changed.").
std::string CannotProcess(const char* path, const std::string& why);

}  // namespace engine
