#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/Result.h"

namespace engine {

// The files by which the two folders are known.
inline constexpr char kFsMarker[] = "FS2002.exe";
inline constexpr char kSquawkBoxMarker[] = "CSL_ICAO.csv";

// Whether the folder exists and its marker file (FS2002.exe, CSL_ICAO.csv)
// opens for reading in it: how the folder the user named is known to be
// the right one.
bool HoldsMarkerFile(const char* folder, const char* markerFile);

// What EnsureFolderPath came to.
struct FolderPathResult {
  bool exists = false;     // the folder is there at the end
  std::string notMade;     // the folder whose making failed; empty when none did
  plat::Result failure;    // the system's reason, where it gave one
  explicit operator bool() const { return exists; }
};

// Makes sure the folder exists, creating missing parents one by one.
// `askFirst`, where given, is asked (with the path) before anything is
// made, and only when the folder is missing: false declines. Not there at
// the end when the user declined, the path is too long, or making a
// folder failed.
FolderPathResult EnsureFolderPath(const char* path, const std::function<bool(const char*)>& askFirst = {});

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
