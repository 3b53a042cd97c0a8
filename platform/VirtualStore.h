#pragma once

#include <string>

// Windows Vista and later give a program without a manifest that runs
// without elevation a copy of its own of every file it changes under the
// protected folders of the system drive (Program Files, Program Files
// (x86), the Windows folder, ProgramData): the writes go to
// %LOCALAPPDATA%\VirtualStore\<the path without the drive>, and the reads
// find that copy before the real file. FS2002 is such a program too, so it
// reads the copies as long as both run the same way. What to do about it is
// the engine's to decide; these two tell what is so.

namespace plat {

// Whether Windows redirects this process's writes that way: false on
// Windows 98 to XP, for a program run as administrator, with User Account
// Control off, and everywhere but on Windows.
bool IsVirtualized();

// The full path of this user's VirtualStore copy of the file or folder, or
// "" when there is none: the path is not on the system drive, the system
// keeps no VirtualStore (%LOCALAPPDATA% is not set), or nothing is there.
// Always "" on Linux.
std::string VirtualStoreCopy(const char* path);

}  // namespace plat
