#pragma once

#include "RunReport.h"

namespace engine {

// The first time a run changes a whole file, the original is kept beside
// it as "<path>.bak" (replacing an older one). False, with the failure
// reported once, when the copy cannot be made; the file must then stay as
// it is for the rest of the run.
bool BackUpOnce(const char* path, RunReport::Backup* backup, RunReport& report);

struct InstallRun;

// Rewrites the run's configuration file from its ConfigLines: one blank
// line before every "[" line, no other blank lines, empty slots left out.
bool WriteConfigLines(InstallRun& run);

}  // namespace engine
