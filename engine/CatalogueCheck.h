#pragma once

#include <string>
#include <vector>

namespace engine {

struct InstallRun;

// Looks at Airlines.dat the way a repaint-package author needs it looked
// at: everything that would keep an airline from being listed or installed
// soundly. One finding a line; none when the catalogue is clean.
std::vector<std::string> CheckCatalogue(const InstallRun& run);

}  // namespace engine
