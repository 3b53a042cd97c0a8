#pragma once

#include <string>

#include "Result.h"

namespace plat {

// Marks a folder as being worked on by this process, so that a second run
// of ours leaves it alone: a file "Quorvane.lock" in the folder, created
// new and holding who made it, kept locked (flock on Linux; on Windows the
// file stays open without sharing writes) and removed on Release. A lock
// whose process has gone (killed, crashed) is taken over: its file can be
// locked again.
class FolderLock {
 public:
  static constexpr const char* kFileName = "Quorvane.lock";

  FolderLock() = default;
  ~FolderLock() { Release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  enum class Outcome { Taken, HeldByAnother, Failed };

  // `holder` is what a second run is told about this one ("quorvane-cli
  // install, started ..."). HeldByAnother gives, in *heldBy, what the
  // running one wrote; Failed gives the system's reason in *failure.
  Outcome Take(const char* folder, const std::string& holder, std::string* heldBy, Result* failure);
  void Release();
  // Whether the lock taken was left by a run that ended without releasing
  // it (killed, or the machine went down): what it was writing may be
  // left in temporary files.
  bool TookOver() const { return m_taken && m_tookOver; }

  // Whether another live process holds the folder's lock, without taking
  // or creating anything: what a dry run asks.
  static bool IsHeld(const char* folder, std::string* heldBy);

 private:
  std::string m_path;
#ifdef _WIN32
  void* m_handle = nullptr;
#else
  int m_fd = -1;
#endif
  bool m_taken = false;
  bool m_tookOver = false;
};

}  // namespace plat
