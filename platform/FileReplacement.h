#pragma once

#include <string>
#include <string_view>

#include "FileSystem.h"
#include "TextFile.h"

namespace plat {

// Gives a file a whole new content without ever leaving it half-written or
// empty: the text goes to a new temporary file of our own in the same
// folder, and that file takes the place of the original only once it is
// complete. Until Commit() succeeds the original stays exactly as it was; a
// replacement that is abandoned or fails leaves no temporary file behind.
// The new file keeps the old one's permission bits and owner (on Windows
// its attributes).
class FileReplacement {
 public:
  struct Options {
    TextFile::Translation translation = TextFile::Translation::Text;
    // Whether the new content is on the disk before it takes the file's
    // place. Every file a user keeps is; our texture copies need not be.
    bool durable = true;
    // The user's own files follow a link to what it points to; the files
    // we make replace whatever stands at their name.
    LinkPolicy links = LinkPolicy::Follow;
    // The file whose permission bits and owner the new one gets (a backup
    // gets those of the file it keeps); null: those of the file replaced.
    const char* attributesOf = nullptr;
  };

  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // A failure when the file may not be replaced (see PlanReplacement) or
  // no temporary file can be made.
  Result Begin(const char* path);
  Result Begin(const char* path, const Options& options);
  void Write(const char* text) { m_file.Write(text); }
  void Write(std::string_view bytes) { m_file.Write(bytes.data(), bytes.size()); }
  Result Commit();

  // Commit in two steps, for files that are to change together: Close()
  // ends the writing (on the disk, with `durable`) and leaves the whole
  // new content in its temporary file; Swap() then puts it in the file's
  // place. Until Swap() the original stays as it was, and an abandoned
  // replacement removes its temporary file, unless Keep() left it for a
  // later run to find.
  Result Close();
  Result Swap();
  void Keep() { m_active = false; }
  // The file that is replaced (a followed link's target), and the
  // temporary file that holds its new content.
  const std::string& Target() const { return m_target.nativePath; }
  const std::string& Temporary() const { return m_temp; }
  void Abandon();

 private:

  ReplacementTarget m_target;
  std::string m_temp;
  TextFile m_file;
  bool m_durable = true;
  bool m_active = false;
};

// Replaces the file at `path` with `bytes` through a FileReplacement with
// the options given.
Result ReplaceFile(const char* path, std::string_view bytes, FileReplacement::Options options);

}  // namespace plat
