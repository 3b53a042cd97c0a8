#pragma once

#include <string>
#include <string_view>

#include "TextFile.h"

namespace plat {

// Gives a file a whole new content without ever leaving it half-written or
// empty: the text goes to "<path>.tmp" in the same folder, and that file
// takes the place of the original only once it is completely on disk. Until
// Commit() succeeds the original stays exactly as it was; a replacement that
// is abandoned or fails leaves no temporary file behind.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False when the temporary file cannot be created or the file is read-only.
  bool Begin(const char* path, TextFile::Translation translation = TextFile::Translation::Text);
  void Write(const char* text) { m_file.Write(text); }
  void Write(std::string_view bytes) { m_file.Write(bytes.data(), bytes.size()); }
  bool Commit();

 private:
  void Abandon();

  std::string m_path;
  std::string m_temp;
  TextFile m_file;
  bool m_active = false;
};

}  // namespace plat
