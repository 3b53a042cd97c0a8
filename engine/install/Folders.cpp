#include "install/Folders.h"

#include <cstring>
#include <vector>

#include <string>

#include "text/Capacities.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

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

bool HoldsMarkerFile(const char* folder, const char* markerFile) {
  if (plat::GetPathKind(folder) != plat::PathKind::Folder) return false;
  const std::string path = std::string(folder) + "\\" + markerFile;
  plat::TextFile marker;
  return static_cast<bool>(marker.Open(path.c_str(), plat::TextFile::Mode::Read));
}

namespace {

// The working copy of a path that EnsureFolderPath walks: one trailing
// backslash off for the first look, then one on, so that every folder of
// the path ends at a separator.
struct FolderWalk {
  char work[kFolderWalkSize] = {};
  std::size_t length = 0;
  bool fits = false;
  bool exists = false;  // the whole path is a folder already
  bool nameTaken = false;  // something else has its name
  std::vector<std::size_t> missing;  // the separators after each folder to make, in order

  explicit FolderWalk(const char* path) {
    if (!CopyText(work, path)) return;
    length = std::strlen(work);
    if (length > 0 && work[length - 1] == '\\') work[--length] = '\0';
    fits = true;
  }

  // Makes the path's last folder straight away, before any look: true when
  // that worked or its name is taken already, folder or file; *made is
  // what making it came to.
  bool MakeLastOrFindItTaken(plat::Result* made) const {
    if (length == 0) return false;
    *made = plat::CreateFolder(work);
    return *made || plat::GetPathKind(work) != plat::PathKind::Missing;
  }

  // Looks at the whole path and, unless it is a folder, puts the trailing
  // separator on for the walk.
  void Look() {
    const plat::PathKind kind = plat::GetPathKind(work);
    if (kind == plat::PathKind::Folder) {
      exists = true;
      return;
    }
    nameTaken = kind != plat::PathKind::Missing;
    if (length == 0 || work[length - 1] != '\\') {
      if (length + 1 >= sizeof work) {
        fits = false;
        return;
      }
      work[length++] = '\\';
      work[length] = '\0';
    }
  }

  // The walk tests the text before each separator from its start on and
  // creates what is missing. Since a folder below a missing one is missing
  // too, it looks for the deepest one that exists from the end and creates
  // each after it in turn: the same folders made, and the same one named
  // when making fails, as testing each from the top, but one look instead
  // of a dozen when only the last folder is missing, as for a new texture.
  void FindMissing() {
    std::vector<std::size_t> separators;
    for (std::size_t i = WalkStart(work, length); i < length; ++i) {
      if (IsSeparator(work[i])) separators.push_back(i);
    }
    // The text before the last separator is the whole path, just looked
    // at: a name that exists, file or folder, is passed over.
    if (nameTaken) return;
    std::size_t firstMissing = separators.empty() ? 0 : separators.size() - 1;
    for (; firstMissing > 0; --firstMissing) {
      const FolderPrefix prefix(work, separators[firstMissing - 1]);
      if (plat::GetPathKind(work) != plat::PathKind::Missing) break;
    }
    missing.assign(separators.begin() + static_cast<std::ptrdiff_t>(firstMissing), separators.end());
  }

  std::string Prefix(std::size_t separator) const { return std::string(work, separator); }
};

}  // namespace

FolderPathResult EnsureFolderPath(const char* path, const std::function<bool(const char*)>& askFirst) {
  // Without a question to ask, the folder is made first and looked at only
  // if that fails: a new texture folder costs one look, not three. A name
  // that is taken, folder or file, ends the command as it would have.
  FolderPathResult result;
  FolderWalk walk(path);
  if (!walk.fits) return result;
  plat::Result madeLast;
  if (!askFirst && walk.MakeLastOrFindItTaken(&madeLast)) {
    result.exists = true;
    return result;
  }
  walk.Look();
  if (!walk.fits) {
    result.failure = madeLast;
    return result;
  }
  if (walk.exists) {
    result.exists = true;
    return result;
  }
  if (askFirst && !askFirst(path)) return result;
  walk.FindMissing();
  for (std::size_t separator : walk.missing) {
    const std::string folder = walk.Prefix(separator);
    if (const plat::Result made = plat::CreateFolder(folder.c_str()); !made) {
      result.notMade = folder;
      result.failure = made;
      return result;
    }
  }
  result.exists = true;
  return result;
}

FolderPathPlan PlanFolderPath(const char* path) {
  FolderPathPlan plan;
  FolderWalk walk(path);
  if (walk.fits) walk.Look();
  plan.fits = walk.fits;
  if (!walk.fits || walk.exists) return plan;
  walk.FindMissing();
  if (walk.missing.empty()) return plan;
  // Below the first new folder everything is ours to make.
  const std::string first = walk.Prefix(walk.missing.front());
  const std::string::size_type cut = first.find_last_of("\\/");
  const std::string parent = cut == std::string::npos ? "." : first.substr(0, cut);
  plan.failure = plat::CanCreateIn(parent.c_str());
  if (!plan.failure) plan.cannotCreate = first;
  return plan;
}

}  // namespace engine
