#pragma once

#include <string>

#include "platform/Result.h"

namespace engine {

class ConfigLineTable;
struct InstallRun;

// The configuration file as the rewrite stores it, from its configLines:
// one blank line before every "[" line, no other blank lines, empty slots
// left out, every line end a CR LF.
std::string ConfigLinesText(const ConfigLineTable& lines);

// Rewrites the run's configuration file so. A failure, with the file
// unchanged, when it cannot be written.
plat::Result WriteConfigLines(InstallRun& run);

}  // namespace engine
