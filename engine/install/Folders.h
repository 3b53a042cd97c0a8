#pragma once

#include <cstddef>
#include <string>

#include "platform/Result.h"

namespace engine {

class InstallHost;

// The files by which the two folders are known.
inline constexpr char kFsMarker[] = "FS2002.exe";
inline constexpr char kSquawkBoxMarker[] = "CSL_ICAO.csv";

// Whether the folder exists and its marker file (FS2002.exe, CSL_ICAO.csv)
// opens for reading in it: how the folder the user named is known to be
// the right one.
bool HoldsMarkerFile(const char* folder, const char* markerFile);

// Makes sure the folder exists, creating missing parents one by one. With
// `ask` set the user is asked first. 1 when the folder exists at the end,
// 0 when the user declined, the path is too long, or creating failed;
// *failure (where given) then holds the system's reason, if it gave one.
int EnsureFolderPath(InstallHost& host, const char* path, int ask, plat::Result* failure = nullptr);

// What EnsureFolderPath (without asking) would meet, found without making
// anything: whether the path fits its buffer, and the first folder it
// would fail to make (empty when it would make them all).
struct FolderPathPlan {
  bool fits = false;
  std::string cannotCreate;
  plat::Result failure;  // why it cannot be made
};
FolderPathPlan PlanFolderPath(const char* path);

}  // namespace engine
