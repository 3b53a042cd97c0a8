#pragma once

namespace engine {

struct InstallRun;

// Rewrites the run's configuration file from its ConfigLines: one blank
// line before every "[" line, no other blank lines, empty slots left out.
// False, with the file unchanged and the reason in plat::LastErrorText(),
// when it cannot be written.
bool WriteConfigLines(InstallRun& run);

}  // namespace engine
