#pragma once

#include <string>

#include "staging/StagedFiles.h"
#include "platform/TextFile.h"

namespace engine {

class ConfigLineTable;
class ModelListTable;
struct DryRun;
struct InstallContext;

// What a command does before it works on either file: reads both, checks
// that each fits its table and can be replaced, and loads the tables.
// False, with the refusal for the user in *refusal (and both tables
// empty), when the command must end with nothing changed.
bool PrepareToChange(const InstallContext& context, ConfigLineTable& configLines, ModelListTable& modelList,
                     FoundFiles* found, std::string* refusal);

// Copies both files, as found, into the dry run's scratch folder, and
// fills in the dry run's paths: the command's result goes to the copies.
// False, with the refusal, when they could not be written.
bool CopyForDryRun(const InstallContext& context, const FoundFiles& found, DryRun* dryRun, std::string* refusal);

// The text of a refusal that names a file and why it cannot be processed
// safely ("... Nothing has been changed.").
std::string CannotProcess(const char* path, const std::string& why);

}  // namespace engine
