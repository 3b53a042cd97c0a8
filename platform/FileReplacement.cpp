#include "FileReplacement.h"

#include "FileSystem.h"

namespace plat {

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const char* path, TextFile::Translation translation) {
  Abandon();
  const PathInfo target = InspectPath(path);
  if (target.readOnly || target.kind == PathKind::Folder) return false;
  path_ = path;
  temp_ = path_ + ".tmp";
  if (!file_.Open(temp_.c_str(), TextFile::Mode::Write, translation)) {
    // A failed open may still have created the file.
    if (GetPathKind(temp_.c_str()) == PathKind::File) RemoveFile(temp_.c_str());
    return false;
  }
  active_ = true;
  return true;
}

bool FileReplacement::Commit() {
  if (!active_) return false;
  bool ok = file_.Close(/*durable=*/true) && MoveFileOver(temp_.c_str(), path_.c_str());
  if (!ok) {
    Abandon();
    return false;
  }
  active_ = false;
  return true;
}

void FileReplacement::Abandon() {
  if (!active_) return;
  active_ = false;
  if (file_.IsOpen()) file_.Close();
  // Removal is retried once: an injected fault must not leave the file.
  if (!RemoveFile(temp_.c_str()) && GetPathKind(temp_.c_str()) != PathKind::Missing) {
    RemoveFile(temp_.c_str());
  }
}

}  // namespace plat
