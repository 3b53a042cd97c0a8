#include "FileReplacement.h"

#include "Result.h"

namespace plat {

FileReplacement::~FileReplacement() { Abandon(); }

Result FileReplacement::Begin(const char* path) { return Begin(path, Options()); }

Result FileReplacement::Begin(const char* path, const Options& options) {
  Abandon();
  if (Result planned = PlanReplacement(path, options.links, &m_target); !planned) return planned;
  if (options.attributesOf) {
    ReplacementTarget like;
    if (PlanReplacement(options.attributesOf, LinkPolicy::Follow, &like)) m_target.attributes = like.attributes;
  }
  std::FILE* stream = nullptr;
  if (Result made = CreateTemporaryBeside(m_target.nativePath, m_target.attributes, &m_temp, &stream); !made) {
    return made;
  }
  m_file.Attach(stream, options.translation);
  m_durable = options.durable;
  m_active = true;
  return Result();
}

Result FileReplacement::Commit() {
  if (Result closed = Close(); !closed) return closed;
  return Swap();
}

Result FileReplacement::Close() {
  if (!m_active) return Result::Failure("");  // nothing to close: Begin failed or it ended
  if (!m_file.IsOpen()) return Result();
  const Result closed = m_file.Close(m_durable);
  if (!closed) Abandon();
  return closed;
}

Result FileReplacement::Swap() {
  if (!m_active || m_file.IsOpen()) return Result::Failure("");  // not begun, not closed, or ended
  if (Result moved = MoveFileOver(m_temp.c_str(), m_target.nativePath.c_str()); !moved) {
    Abandon();
    return moved;
  }
  RestoreAttributes(m_target.nativePath, m_target.attributes);
  m_active = false;
  return Result();
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

Result ReplaceFile(const char* path, std::string_view bytes, FileReplacement::Options options) {
  FileReplacement out;
  if (Result begun = out.Begin(path, options); !begun) return begun;
  out.Write(bytes);
  return out.Commit();
}

}  // namespace plat
