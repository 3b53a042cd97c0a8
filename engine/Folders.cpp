#include "Folders.h"

#include <cstring>
#include <vector>

#include <string>

#include "Capacities.h"
#include "FileSystem.h"
#include "InstallHost.h"
#include "Messages.h"
#include "Text.h"
#include "TextFile.h"

namespace engine {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the walk of EnsureFolderPath starts testing folders.
std::size_t WalkStart(const char* path, std::size_t len) {
  if (len >= 2 && path[1] == '\\') {
    // \\server\share\...: the share itself is the first folder tested.
    std::size_t p = 2;
    while (p < len && path[p] != '\\') ++p;
    if (p >= len) return len;
    ++p;
    while (p < len && path[p] != '\\') ++p;
    return p;
  }
  if (len >= 2 && path[1] == ':') return 3;  // the drive root is never tested
  return 1;
}

// Cuts a path at one of its separators while it lives, for a look at the
// folder that the text before it names.
class FolderPrefix {
 public:
  FolderPrefix(char* path, std::size_t separator)
      : m_at(path + separator), m_separator(path[separator]) {
    *m_at = '\0';
  }
  ~FolderPrefix() { *m_at = m_separator; }
  FolderPrefix(const FolderPrefix&) = delete;
  FolderPrefix& operator=(const FolderPrefix&) = delete;

 private:
  char* m_at;
  char m_separator;
};

}  // namespace

void GetModuleFolder(char* buf) {
  plat::ModuleFileName(buf, kModulePathLimit);
  char* cut = buf;
  for (char* p = buf; *p; ++p) {
    if (IsSeparator(*p)) cut = p + 1;
  }
  *cut = '\0';
}

bool HoldsMarkerFile(const char* folder, const char* markerFile) {
  if (plat::GetPathKind(folder) != plat::PathKind::Folder) return false;
  const std::string path = std::string(folder) + "\\" + markerFile;
  plat::TextFile marker;
  return marker.Open(path.c_str(), plat::TextFile::Mode::Read);
}

int EnsureFolderPath(InstallHost& host, const char* path, int ask) {
  char work[kFolderWalkSize] = {};
  if (!CopyText(work, path)) return 0;
  std::size_t len = std::strlen(work);
  if (len > 0 && work[len - 1] == '\\') work[--len] = '\0';

  if (plat::GetPathKind(work) == plat::PathKind::Folder) return 1;

  if (len == 0 || work[len - 1] != '\\') {
    if (len + 1 >= sizeof work) return 0;
    work[len++] = '\\';
    work[len] = '\0';
  }

  if (ask && host.ShowMessage(MessageKind::AskCreateFolder, kAskCreateFolderText, path) != Answer::Yes) {
    return 0;
  }

  // The walk tests the text before each separator from its start on and
  // creates what is missing. Since a folder below a missing one is missing
  // too, it looks for the deepest one that exists from the end and creates
  // each after it in turn: the same folders made, and the same one named
  // when making fails, as testing each from the top, but one look instead
  // of a dozen when only the last folder is missing, as for a new texture.
  std::vector<std::size_t> separators;
  for (std::size_t i = WalkStart(work, len); i < len; ++i) {
    if (IsSeparator(work[i])) separators.push_back(i);
  }
  std::size_t firstMissing = separators.size();
  for (; firstMissing > 0; --firstMissing) {
    const FolderPrefix prefix(work, separators[firstMissing - 1]);
    if (plat::GetPathKind(work) != plat::PathKind::Missing) break;
  }
  for (std::size_t j = firstMissing; j < separators.size(); ++j) {
    const FolderPrefix prefix(work, separators[j]);
    if (!plat::CreateFolder(work)) {
      host.ShowMessage(MessageKind::FolderFailure, kCannotCreateFolderText, work);
      return 0;
    }
  }
  return 1;
}

}  // namespace engine
