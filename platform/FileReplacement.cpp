#include "FileReplacement.h"

#include "SystemError.h"

namespace plat {

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Begin(const char* path) { return Begin(path, Options()); }

bool FileReplacement::Begin(const char* path, const Options& options) {
  Abandon();
  if (!PlanReplacement(path, options.links, &m_target)) return false;
  if (options.attributesOf) {
    ReplacementTarget like;
    if (PlanReplacement(options.attributesOf, LinkPolicy::Follow, &like)) m_target.attributes = like.attributes;
  }
  std::FILE* stream = CreateTemporaryBeside(m_target.nativePath, m_target.attributes, &m_temp);
  if (!stream) return false;
  m_file.Attach(stream, options.translation);
  m_durable = options.durable;
  m_active = true;
  return true;
}

bool FileReplacement::Commit() { return Close() && Swap(); }

bool FileReplacement::Close() {
  if (!m_active) return false;
  if (!m_file.IsOpen() || m_file.Close(m_durable)) return true;
  const std::string reason = LastErrorText();
  Abandon();
  detail::SetLastErrorText(reason);  // the removal of the temporary file must not hide it
  return false;
}

bool FileReplacement::Swap() {
  if (!m_active || m_file.IsOpen()) return false;
  if (!MoveFileOver(m_temp.c_str(), m_target.nativePath.c_str())) {
    const std::string reason = LastErrorText();
    Abandon();
    detail::SetLastErrorText(reason);
    return false;
  }
  RestoreAttributes(m_target.nativePath, m_target.attributes);
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

bool ReplaceFile(const char* path, std::string_view bytes, FileReplacement::Options options) {
  FileReplacement out;
  if (!out.Begin(path, options)) return false;
  out.Write(bytes);
  return out.Commit();
}

}  // namespace plat
