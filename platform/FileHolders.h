#pragma once

#include <string>
#include <vector>

namespace plat {

#ifdef _WIN32
// Which programs hold the files open, as the Restart Manager of Windows
// Vista and later tells: "Notepad (process 1234), Windows Explorer
// (process 877)". Empty where it cannot tell: on Windows 98, ME, 2000 and
// XP (which lack it), where it knows of none, or where it fails.
std::string ProgramsHolding(const std::vector<std::string>& paths);
#endif

}  // namespace plat
