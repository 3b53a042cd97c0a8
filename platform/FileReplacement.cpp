#include "FileReplacement.h"

#include "FileSystem.h"

namespace plat {

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const char* path, TextFile::Translation translation) {
  Abandon();
  const PathInfo target = InspectPath(path);
  if (target.readOnly || target.kind == PathKind::Folder) return false;
  m_path = path;
  m_temp = m_path + ".tmp";
  if (!m_file.Open(m_temp.c_str(), TextFile::Mode::Write, translation)) {
    // A failed open may still have created the file.
    if (GetPathKind(m_temp.c_str()) == PathKind::File) RemoveFile(m_temp.c_str());
    return false;
  }
  m_active = true;
  return true;
}

bool FileReplacement::Commit() {
  if (!m_active) return false;
  bool ok = m_file.Close(/*durable=*/true) && MoveFileOver(m_temp.c_str(), m_path.c_str());
  if (!ok) {
    Abandon();
    return false;
  }
  m_active = false;
  return true;
}

void FileReplacement::Abandon() {
  if (!m_active) return;
  m_active = false;
  if (m_file.IsOpen()) m_file.Close();
  // Removal is retried once: an injected fault must not leave the file.
  if (!RemoveFile(m_temp.c_str()) && GetPathKind(m_temp.c_str()) != PathKind::Missing) {
    RemoveFile(m_temp.c_str());
  }
}

}  // namespace plat
