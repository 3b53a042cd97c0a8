// Linux equivalents of the Win32 file calls the engine uses.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FaultInjection.h"
#include "FileSystem.h"

namespace plat {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(*a);
    unsigned char cb = static_cast<unsigned char>(*b);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
    if (ca != cb) return false;
    if (ca == 0) return true;
  }
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The last folder the letter-case lookup listed, kept while the folder is
// unchanged: same identity, link count, size and change times. Making a
// texture folder looks its name up three times (current folder, attributes,
// creation); with this the parent, which may hold a thousand entries, is
// listed once. Our own changes update or forget it.
struct FolderListing {
  std::string folder;
  struct stat state {};
  std::vector<std::string> names;
};
FolderListing g_listing;

bool SameState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_nlink == b.st_nlink && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void ForgetListing() {
  g_listing.folder.clear();
  g_listing.names.clear();
}

// Whether the kept listing is that of `folder` as it is now.
bool ListingIsCurrent(const std::string& folder, struct stat* state) {
  if (stat(folder.c_str(), state) != 0) return false;
  return g_listing.folder == folder && SameState(g_listing.state, *state);
}

// The entry of `folder` whose name equals `name` but for ASCII case; of
// several, the smallest name, so that the choice does not depend on the
// order in which the folder lists them.
bool FindCaseVariant(const std::string& folder, const std::string& name, std::string* found) {
  const std::string where = folder.empty() ? "." : folder;
  struct stat state;
  if (!ListingIsCurrent(where, &state)) {
    ForgetListing();
    DIR* dir = opendir(where.c_str());
    if (!dir) return false;
    while (const dirent* entry = readdir(dir)) g_listing.names.push_back(entry->d_name);
    closedir(dir);
    g_listing.folder = where;
    g_listing.state = state;
  }
  bool any = false;
  for (const std::string& entry : g_listing.names) {
    if (!EqualsIgnoringCase(entry.c_str(), name.c_str())) continue;
    if (!any || std::strcmp(entry.c_str(), found->c_str()) < 0) *found = entry;
    any = true;
  }
  return any;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder == "/") return "/" + name;
  return folder + "/" + name;
}

bool HasWriteBits(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return true;
  return (st.st_mode & 0222) != 0;
}

std::string ParentOf(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creating or replacing an entry needs a writable folder; as root the
// kernel would allow it anyway, so the bits are checked here as well.
bool FolderAllowsChanges(const std::string& path) { return HasWriteBits(ParentOf(path)); }

}  // namespace

std::string NativePath(const char* path) {
  // Most paths name something that exists exactly as written.
  std::string asWritten(path);
  for (char& c : asWritten) {
    if (c == '\\') c = '/';
  }
  if (!asWritten.empty() && asWritten.find("//") == std::string::npos && asWritten.back() != '/' &&
      Exists(asWritten)) {
    return asWritten;
  }

  std::vector<std::string> names;
  for (const char* p = path;;) {
    while (IsSeparator(*p)) ++p;
    const char* start = p;
    while (*p && !IsSeparator(*p)) ++p;
    if (p == start) break;
    names.emplace_back(start, p);
  }
  const std::string root = IsSeparator(*path) ? "/" : "";
  std::vector<std::string> given;  // given[i]: the path up to names[i] as given
  for (const std::string& name : names) given.push_back(Join(given.empty() ? root : given.back(), name));

  // The longest part that exists as given keeps its names, and so does all
  // above it. Usually that is the whole path, or all but its last name, so
  // most paths cost one or two lstat calls and no folder listing.
  std::size_t kept = names.size();
  while (kept > 0 && !Exists(given[kept - 1])) --kept;
  std::string result = kept > 0 ? given[kept - 1] : root;
  bool resolving = true;
  for (std::size_t i = kept; i < names.size(); ++i) {
    const std::string& name = names[i];
    std::string candidate = Join(result, name);
    if (resolving && name != "." && name != ".." && !Exists(candidate)) {
      std::string variant;
      if (FindCaseVariant(result, name, &variant)) {
        candidate = Join(result, variant);
      } else {
        resolving = false;  // nothing further down can exist either
      }
    }
    result = candidate;
  }
  if (result.empty()) result = ".";
  return result;
}

PathKind GetPathKind(const char* path) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0) return PathKind::Missing;
  return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
}

bool SetCurrentFolder(const char* path) {
  if (*path == '\0') return false;
  return chdir(NativePath(path).c_str()) == 0;
}

bool CreateFolder(const char* path) {
  if (detail::InjectFault(FileOp::CreateFolder)) return false;
  std::string native = NativePath(path);
  if (!FolderAllowsChanges(native)) return false;
  // A listing of the parent taken just before stays true with the new name.
  const std::string parent = ParentOf(native);
  struct stat before;
  const bool keep = ListingIsCurrent(parent, &before);
  const bool made = mkdir(native.c_str(), 0777) == 0;
  struct stat after;
  if (made && keep && stat(parent.c_str(), &after) == 0) {
    g_listing.names.push_back(native.substr(native.find_last_of('/') + 1));
    g_listing.state = after;
  } else {
    ForgetListing();
  }
  return made;
}

bool CopyFileOver(const char* source, const char* target) {
  if (detail::InjectFault(FileOp::Copy)) return false;
  std::string from = NativePath(source);
  std::string to = NativePath(target);
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat st;
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode) || GetPathKind(target) == PathKind::Folder ||
      IsReadOnly(target) || !FolderAllowsChanges(to)) {
    close(in);
    return false;
  }
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  ForgetListing();
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = true;
  char buf[65536];
  for (;;) {
    ssize_t n = read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        ok = false;
        break;
      }
      done += w;
    }
    if (!ok) break;
  }
  close(in);
  if (close(out) != 0) ok = false;
  return ok;
}

bool MoveFileOver(const char* source, const char* target) {
  if (detail::InjectFault(FileOp::Rename)) return false;
  std::string from = NativePath(source);
  std::string to = NativePath(target);
  if (IsReadOnly(target) || !FolderAllowsChanges(to)) return false;
  const bool moved = rename(from.c_str(), to.c_str()) == 0;
  ForgetListing();
  return moved;
}

bool RemoveFile(const char* path) {
  if (detail::InjectFault(FileOp::Remove)) return false;
  const bool removed = unlink(NativePath(path).c_str()) == 0;
  ForgetListing();
  return removed;
}

bool GetFileSize(const char* path, std::uint64_t* size) {
  struct stat st;
  if (stat(NativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  *size = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool TruncateFile(const char* path, std::uint64_t size) {
  if (detail::InjectFault(FileOp::Truncate)) return false;
  return truncate(NativePath(path).c_str(), static_cast<off_t>(size)) == 0;
}

std::size_t ModuleFileName(char* buf, std::size_t cap) {
  if (cap == 0) return 0;
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n < 0) n = 0;
  std::size_t len = static_cast<std::size_t>(n);
  if (len > cap - 1) len = cap - 1;
  std::memcpy(buf, path, len);
  buf[len] = '\0';
  return len;
}

bool IsReadOnly(const char* path) {
  std::string native = NativePath(path);
  return Exists(native) && !HasWriteBits(native);
}

bool MayWrite(const char* path) {
  std::string native = NativePath(path);
  return !(Exists(native) && !HasWriteBits(native)) && FolderAllowsChanges(native);
}

bool CreateTempFolder(std::string* path) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return false;
  *path = buf.data();
  return true;
}

bool RemoveFolder(const char* path) {
  const bool removed = rmdir(NativePath(path).c_str()) == 0;
  ForgetListing();
  return removed;
}

namespace detail {
void FolderEntriesChanged() { ForgetListing(); }
}  // namespace detail

std::string AbsolutePath(const char* path) {
  if (!*path || IsSeparator(*path)) return path;
  char cwd[4096];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return Join(cwd, path);
}

std::string ProfileLocation(const char* fileName) {
  for (const char* p = fileName; *p; ++p) {
    if (IsSeparator(*p)) return fileName;
  }
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config) {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    folder = std::string(home && *home ? home : ".") + "/.config";
  }
  return folder + "/" + fileName;
}

}  // namespace plat
