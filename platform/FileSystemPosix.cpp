// Linux equivalents of the Win32 file calls the engine uses.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Ascii.h"
#include "FaultInjection.h"
#include "FileSystem.h"
#include "FolderLock.h"
#include "Result.h"

namespace plat {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// Folder listings made by the letter-case lookup, the one asked for last
// first, each kept while its folder is unchanged: same identity, link count, size and
// change times. Making a texture folder and copying into it looks names up
// in aircraft\csl, which may hold a thousand entries, and in the new folder,
// in turn; with these kept each is listed once. Our own changes to a folder
// update or forget its listing, since change times may not move between two
// changes close together. The one asked for longest ago makes room for a
// new one, so that aircraft\csl, asked for at every airline, stays while
// each airline's own folder comes and goes.
struct FolderListing {
  std::string folder;
  struct stat state {};
  // Each entry's name in lower case, then as it is; in order, so that the
  // entries of a name in any case are found together by a binary search.
  std::vector<std::pair<std::string, std::string>> entries;

  void Add(std::string name) {
    std::pair<std::string, std::string> entry(FoldCase(name), std::move(name));
    entries.insert(std::lower_bound(entries.begin(), entries.end(), entry), std::move(entry));
  }
  // A whole folder's names at once, sorted once.
  void AddAll(std::vector<std::string> names) {
    for (std::string& name : names) entries.emplace_back(FoldCase(name), std::move(name));
    std::sort(entries.begin(), entries.end());
  }
};
constexpr std::size_t kKeptListings = 4;
std::vector<FolderListing> g_listings;

bool SameState(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_nlink == b.st_nlink && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

FolderListing* KeptListing(const std::string& folder) {
  const auto found = std::find_if(g_listings.begin(), g_listings.end(),
                                  [&folder](const FolderListing& listing) { return listing.folder == folder; });
  if (found == g_listings.end()) return nullptr;
  std::rotate(g_listings.begin(), found, found + 1);
  return &g_listings.front();
}

void ForgetListing(const std::string& folder) {
  for (auto it = g_listings.begin(); it != g_listings.end(); ++it) {
    if (it->folder == folder) {
      g_listings.erase(it);
      return;
    }
  }
}

FolderListing& KeepListing(FolderListing listing) {
  ForgetListing(listing.folder);
  g_listings.insert(g_listings.begin(), std::move(listing));
  if (g_listings.size() > kKeptListings) g_listings.pop_back();
  return g_listings.front();
}

std::string ParentOf(const std::string& path) {
  std::string::size_type slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// An entry was added to or removed from the folder holding `path`.
void EntryChanged(const std::string& path) { ForgetListing(ParentOf(path)); }

// The kept listing of `folder` if it is still true of the folder's state.
FolderListing* CurrentListing(const std::string& folder, const struct stat& state) {
  FolderListing* listing = KeptListing(folder);
  return listing && SameState(listing->state, state) ? listing : nullptr;
}

// The entry of a listing whose name equals `name` but for ASCII case; of
// several, the smallest name, so that the choice does not depend on the
// order in which the folder lists them.
bool FindInListing(const FolderListing& listing, const std::string& name, std::string* found) {
  const std::string folded = FoldCase(name);
  auto first = std::lower_bound(listing.entries.begin(), listing.entries.end(), folded,
                                [](const auto& entry, const std::string& key) { return entry.first < key; });
  // Sorted by the whole pair: the first of equal lower-case names is the
  // smallest name.
  if (first == listing.entries.end() || first->first != folded) return false;
  *found = first->second;
  return true;
}

// The same for a folder, listed unless its kept listing is current.
bool FindCaseVariant(const std::string& folder, const std::string& name, std::string* found) {
  const std::string where = folder.empty() ? "." : folder;
  struct stat state;
  if (stat(where.c_str(), &state) != 0) return false;
  FolderListing* listing = CurrentListing(where, state);
  if (!listing) {
    DIR* dir = opendir(where.c_str());
    if (!dir) return false;
    FolderListing made{where, state, {}};
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
    made.AddAll(std::move(names));
    closedir(dir);
    listing = &KeepListing(std::move(made));
  }
  return FindInListing(*listing, name, found);
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder == "/") return "/" + name;
  return folder + "/" + name;
}

std::string WithSlashes(const char* path) {
  std::string converted(path);
  for (char& c : converted) {
    if (c == '\\') c = '/';
  }
  return converted;
}

// A path that, when it exists, is opened as written: no empty names and
// no separator at the end.
bool IsPlain(const std::string& path) {
  return !path.empty() && path.find("//") == std::string::npos && path.back() != '/';
}

// The name of a path that is not found as written: each name that does not
// exist is looked for in any letter case. `complete` tells whether every
// name was found, so that the path may exist.
std::string ResolveCase(const char* path, bool* complete) {
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
  // above it. Usually that is all but the last name, so most paths cost two
  // lstat calls and a look at a listing already made.
  std::size_t kept = names.size();
  while (kept > 0 && !Exists(given[kept - 1])) --kept;
  std::string result = kept > 0 ? given[kept - 1] : root;
  *complete = true;
  for (std::size_t i = kept; i < names.size(); ++i) {
    const std::string& name = names[i];
    std::string candidate = Join(result, name);
    // The first name past the kept part was just found missing as given.
    if (*complete && name != "." && name != ".." && (i == kept || !Exists(candidate))) {
      std::string variant;
      if (FindCaseVariant(result, name, &variant)) {
        candidate = Join(result, variant);
      } else {
        *complete = false;  // nothing further down can exist either
      }
    }
    result = candidate;
  }
  if (result.empty()) result = ".";
  return result;
}

// A path's native name and what it names; one stat when it exists as
// written, which most paths do.
struct LookedUp {
  std::string native;
  bool exists = false;
  struct stat st {};
  bool parentSeen = false;  // parentSt holds the folder's state, taken on the way
  struct stat parentSt {};
};

// A path not found as written whose folder, as written, has a current
// listing kept: the name is looked for in that listing alone. False when
// no such listing is kept.
bool LookUpInKeptListing(LookedUp* found) {
  const std::string::size_type slash = found->native.find_last_of('/');
  if (slash == std::string::npos) return false;
  const std::string parent = ParentOf(found->native);
  const std::string name = found->native.substr(slash + 1);
  if (name == "." || name == ".." || !KeptListing(parent)) return false;
  struct stat state;
  if (stat(parent.c_str(), &state) != 0) return false;
  found->parentSeen = true;
  found->parentSt = state;
  const FolderListing* listing = CurrentListing(parent, state);
  if (!listing) return false;
  std::string variant;
  if (!FindInListing(*listing, name, &variant)) return true;  // missing in every letter case
  found->native = Join(parent, variant);
  found->exists = stat(found->native.c_str(), &found->st) == 0;
  return true;
}

// `missingAsWritten`: the caller has just found nothing at the path as
// written.
LookedUp LookUp(const char* path, bool missingAsWritten = false) {
  LookedUp found;
  found.native = WithSlashes(path);
  if (IsPlain(found.native)) {
    if (!missingAsWritten && stat(found.native.c_str(), &found.st) == 0) {
      found.exists = true;
      return found;
    }
    if (LookUpInKeptListing(&found)) return found;
  }
  bool complete = false;
  found.native = ResolveCase(path, &complete);
  found.exists = complete && stat(found.native.c_str(), &found.st) == 0;
  return found;
}

bool HasWriteBits(const struct stat& st) { return (st.st_mode & 0222) != 0; }

bool IsReadOnly(const LookedUp& path) { return path.exists && !HasWriteBits(path.st); }

// A folder or a read-only file in a target's place is never replaced;
// false then, with the reason.
Result MayReplaceWhatIsThere(const LookedUp& target) {
  if (target.exists && S_ISDIR(target.st.st_mode)) {
    return Result::FromErrno(EISDIR);
  }
  if (IsReadOnly(target)) {
    return Result::FromErrno(EACCES);
  }
  return Result();
}

// Creating or replacing an entry needs a writable folder; as root the
// kernel would allow it anyway, so the bits are checked here as well.
bool FolderAllowsChanges(const std::string& path) {
  struct stat st;
  return stat(ParentOf(path).c_str(), &st) != 0 || HasWriteBits(st);
}

bool MayWrite(const LookedUp& path) {
  if (IsReadOnly(path)) return false;
  return path.parentSeen ? HasWriteBits(path.parentSt) : FolderAllowsChanges(path.native);
}

PathKind KindOf(const LookedUp& path) {
  if (!path.exists) return PathKind::Missing;
  return S_ISDIR(path.st.st_mode) ? PathKind::Folder : PathKind::File;
}

// Copies what is left of `in` to `out`: inside the kernel where the file
// systems allow it, else through a buffer.
// `size` is the source's size when it was looked at: a copy that has
// moved that much is done without a further call to meet the end.
bool CopyContents(int in, int out, off_t size) {
  for (off_t copied = 0;;) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (n == 0) return true;
    if (n > 0) {
      copied += n;
      if (copied == size) return true;
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
    break;
  }
  char buf[65536];
  for (;;) {
    ssize_t n = read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n == 0;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
}

}  // namespace

std::string NativePath(const char* path) { return LookUp(path).native; }

PathKind GetPathKind(const char* path) { return KindOf(LookUp(path)); }

PathInfo InspectPath(const char* path) {
  const LookedUp found = LookUp(path);
  PathInfo info;
  info.nativePath = found.native;
  info.kind = KindOf(found);
  info.readOnly = IsReadOnly(found);
  if (info.kind == PathKind::File) info.size = static_cast<std::uint64_t>(found.st.st_size);
  return info;
}

// Writing a file that is there needs no change of its folder.
bool MayWrite(const PathInfo& path) {
  return !path.readOnly && (path.kind != PathKind::Missing || FolderAllowsChanges(path.nativePath));
}

namespace {

// The name of a folder to make, found with one look at a parent that
// exists as written and whose listing is kept and current: the listing
// tells that no entry has the name in any letter case. False where the
// path must be looked up (the listing gives no answer); *taken when the
// name is in use.
bool LookUpNewName(const char* path, LookedUp* found, bool* taken) {
  *taken = false;
  found->native = WithSlashes(path);
  if (!IsPlain(found->native) || found->native.find('/') == std::string::npos) return false;
  const std::string parent = ParentOf(found->native);
  if (!KeptListing(parent) || stat(parent.c_str(), &found->parentSt) != 0) return false;
  found->parentSeen = true;
  const FolderListing* listing = CurrentListing(parent, found->parentSt);
  if (!listing) return false;
  std::string variant;
  *taken = FindInListing(*listing, found->native.substr(found->native.find_last_of('/') + 1), &variant);
  return true;
}

}  // namespace

Result CreateFolder(const char* path) {
  if (const int fault = detail::InjectFault(FileOp::CreateFolder)) return Result::FromErrno(fault);
  LookedUp found;
  bool taken = false;
  if (!LookUpNewName(path, &found, &taken)) {
    found = LookUp(path);
    taken = found.exists;
  }
  if (taken) {
    return Result::FromErrno(EEXIST);
  }
  const std::string& native = found.native;
  const std::string parent = ParentOf(native);
  struct stat before = found.parentSt;
  if (!found.parentSeen && stat(parent.c_str(), &before) != 0) {
    return Result::FromErrno(errno);
  }
  if (!HasWriteBits(before)) {
    return Result::FromErrno(EACCES);
  }
  FolderListing* listing = CurrentListing(parent, before);
  if (mkdir(native.c_str(), 0777) != 0) {
    return Result::FromErrno(errno);
  }
  // A listing of the parent taken just before stays true with the new
  // name, and the new folder's own listing is known without reading it.
  struct stat after;
  if (listing && stat(parent.c_str(), &after) == 0) {
    listing->Add(native.substr(native.find_last_of('/') + 1));
    listing->state = after;
  } else {
    ForgetListing(parent);
  }
  struct stat made;
  if (stat(native.c_str(), &made) == 0) {
    FolderListing empty{native, made, {}};
    empty.Add(".");
    empty.Add("..");
    KeepListing(std::move(empty));
  }
  return Result();
}

namespace {

// A new temporary file beside `nativePath` (see CreateTemporaryBeside), as
// the descriptor *fd. folderTakes: whether the folder's permission bits let
// us add an entry, as the caller has seen.
Result CreateTemporaryFile(const std::string& nativePath, const KeptAttributes& like, bool folderTakes,
                           std::string* tempPath, int* fd) {
  if (!folderTakes) return Result::FromErrno(EACCES);
  const mode_t mode = like.known ? static_cast<mode_t>(like.bits & 07777) : 0666;
  const std::string stem = nativePath + ".quorvane-" + std::to_string(ProcessId()) + "-";
  const unsigned long long first = detail::TemporaryNumber();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = stem + std::to_string(first + static_cast<unsigned long long>(attempt)) + ".tmp";
    // O_NOFOLLOW with O_EXCL: a name that is taken, even by a link to
    // somewhere else, is never opened.
    const int made = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (made < 0 && errno == EEXIST) continue;
    if (made < 0) return Result::FromErrno(errno);
    EntryChanged(name);
    if (like.known) {
      // The owner first: a change of owner may clear some mode bits.
      if (fchown(made, static_cast<uid_t>(like.owner), static_cast<gid_t>(like.group)) != 0) {
        // Only root may give a file away; the file is then ours.
      }
      if (fchmod(made, mode) != 0) {
      }
    }
    *tempPath = name;
    *fd = made;
    return Result();
  }
  return Result::FromErrno(EEXIST);
}

KeptAttributes AttributesOf(const struct stat& st) {
  return KeptAttributes{true, static_cast<unsigned long>(st.st_mode & 07777), static_cast<unsigned long>(st.st_uid),
                        static_cast<unsigned long>(st.st_gid)};
}

}  // namespace

namespace {

// The copy of CopyBeside; *to gets what the target's look saw.
Result CopyToTemporary(const char* source, const char* target, std::string* temp, LookedUp* to) {
  // The source opened as written and looked at through its descriptor:
  // one walk of its path instead of two; only a name not found as written
  // is looked up in other letter case.
  LookedUp from;
  from.native = WithSlashes(source);
  int in = IsPlain(from.native) ? open(from.native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
  if (in >= 0 && fstat(in, &from.st) == 0) {
    from.exists = true;
  } else {
    if (in >= 0) close(in);
    from = LookUp(source);
    in = KindOf(from) == PathKind::File ? open(from.native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1;
    if (in < 0 && KindOf(from) == PathKind::File) {
      return Result::FromErrno(errno);
    }
  }
  if (KindOf(from) != PathKind::File) {
    if (in >= 0) close(in);
    return Result::FromErrno(from.exists ? EISDIR : ENOENT);
  }
  // As PlanReplacement with LinkPolicy::Replace, with the folder's state
  // the look at the target saw on its way.
  *to = LookUp(target);
  if (Result may = MayReplaceWhatIsThere(*to); !may) {
    close(in);
    return may;
  }
  const KeptAttributes attributes = to->exists ? AttributesOf(to->st) : KeptAttributes();
  const bool folderTakes = to->parentSeen ? HasWriteBits(to->parentSt) : FolderAllowsChanges(to->native);
  int out = -1;
  if (Result made = CreateTemporaryFile(to->native, attributes, folderTakes, temp, &out); !made) {
    close(in);
    return made;
  }
  Result copied;
  if (!CopyContents(in, out, from.st.st_size)) copied = Result::FromErrno(errno);
  close(in);
  if (close(out) != 0 && copied) copied = Result::FromErrno(errno);
  if (!copied) {
    unlink(temp->c_str());
    EntryChanged(*temp);
  }
  return copied;
}

}  // namespace

Result CopyFileOver(const char* source, const char* target) {
  if (const int fault = detail::InjectFault(FileOp::Copy)) return Result::FromErrno(fault);
  std::string temp;
  LookedUp to;
  if (Result copied = CopyToTemporary(source, target, &temp, &to); !copied) return copied;
  Result moved;
  if (rename(temp.c_str(), to.native.c_str()) != 0) {
    moved = Result::FromErrno(errno);
    unlink(temp.c_str());
  }
  EntryChanged(temp);
  EntryChanged(to.native);
  return moved;
}

Result CopyBeside(const char* source, const char* target, std::string* temp) {
  if (const int fault = detail::InjectFault(FileOp::Copy)) return Result::FromErrno(fault);
  LookedUp to;
  return CopyToTemporary(source, target, temp, &to);
}

Result SyncFolder(const char* folder) {
  if (const int fault = detail::InjectFault(FileOp::Flush)) return Result::FromErrno(fault);
  const int fd = open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    return Result::FromErrno(errno);
  }
  Result synced;
  if (fsync(fd) != 0 && errno != EINVAL) synced = Result::FromErrno(errno);  // some file systems sync no folders
  close(fd);
  return synced;
}

Result MoveFileOver(const char* source, const char* target) {
  if (const int fault = detail::InjectFault(FileOp::Rename)) return Result::FromErrno(fault);
  const std::string from = NativePath(source);
  const LookedUp to = LookUp(target);
  if (!MayWrite(to)) {
    return Result::FromErrno(EACCES);
  }
  Result moved;
  if (rename(from.c_str(), to.native.c_str()) != 0) moved = Result::FromErrno(errno);
  EntryChanged(from);
  EntryChanged(to.native);
  return moved;
}

Result RemoveFile(const char* path) {
  if (const int fault = detail::InjectFault(FileOp::Remove)) return Result::FromErrno(fault);
  const std::string native = NativePath(path);
  Result removed;
  if (unlink(native.c_str()) != 0) removed = Result::FromErrno(errno);
  EntryChanged(native);
  return removed;
}

Result TruncateFile(const char* path, std::uint64_t size) {
  if (const int fault = detail::InjectFault(FileOp::Truncate)) return Result::FromErrno(fault);
  if (truncate(NativePath(path).c_str(), static_cast<off_t>(size)) == 0) return Result();
  return Result::FromErrno(errno);
}

Result PlanReplacement(const char* path, LinkPolicy policy, ReplacementTarget* target) {
  const LookedUp found = LookUp(path);
  if (Result may = MayReplaceWhatIsThere(found); !may) return may;
  *target = ReplacementTarget{found.native, {}};
  // A new file of its own takes the place of whatever has the name; only a
  // link to be followed needs a look at the name itself.
  if (policy == LinkPolicy::Replace) {
    if (found.exists) target->attributes = AttributesOf(found.st);
    return Result();
  }
  struct stat link;
  const bool isLink = lstat(found.native.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  if (isLink) {
    if (link.st_uid != geteuid() && link.st_uid != 0) {
      return Result::Failure("it is a link that another user made");
    }
    char* resolved = realpath(found.native.c_str(), nullptr);
    if (!resolved) {
      return Result::FromErrno(errno);
    }
    target->nativePath = resolved;
    std::free(resolved);
  }
  if (found.exists) target->attributes = AttributesOf(found.st);
  return Result();
}

Result CreateTemporaryBeside(const std::string& nativePath, const KeptAttributes& like, std::string* tempPath,
                             std::FILE** stream) {
  if (const int fault = detail::InjectFault(FileOp::Open)) return Result::FromErrno(fault);
  int fd = -1;
  if (Result made = CreateTemporaryFile(nativePath, like, FolderAllowsChanges(nativePath), tempPath, &fd); !made) {
    return made;
  }
  *stream = fdopen(fd, "wb");
  if (*stream) return Result();
  const Result failed = Result::FromErrno(errno);
  close(fd);
  unlink(tempPath->c_str());
  return failed;
}

void RestoreAttributes(const std::string&, const KeptAttributes&) {}

namespace {
// "<name>.quorvane-<digits>-<digits>.tmp", as CreateTemporaryBeside names them.
bool IsOurTemporary(const std::string& name) {
  const std::string::size_type at = name.rfind(".quorvane-");
  if (at == std::string::npos || name.size() < 4 || name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
  const std::string numbers = name.substr(at + 10, name.size() - 4 - (at + 10));
  const std::string::size_type dash = numbers.find('-');
  if (dash == std::string::npos || dash == 0 || dash + 1 == numbers.size()) return false;
  return numbers.find_first_not_of("0123456789-") == std::string::npos && numbers.find('-', dash + 1) == std::string::npos;
}
}  // namespace

void RemoveLeftoverTemporaries(const char* folder, bool inSubfolders) {
  const std::string native = NativePath(folder);
  DIR* dir = opendir(native.c_str());
  if (!dir) return;
  std::vector<std::string> found;
  std::vector<std::string> subfolders;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (IsOurTemporary(name)) {
      found.push_back(Join(native, name));
    } else if (inSubfolders && name != "." && name != "..") {
      struct stat st;
      const std::string path = Join(native, name);
      if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) subfolders.push_back(path);
    }
  }
  closedir(dir);
  for (const std::string& path : found) {
    unlink(path.c_str());
    EntryChanged(path);
  }
  for (const std::string& subfolder : subfolders) RemoveLeftoverTemporaries(subfolder.c_str(), false);
}

Result CanReplace(const char* path) {
  const LookedUp found = LookUp(path);
  if (IsReadOnly(found)) {
    return Result::FromErrno(EACCES);
  }
  const std::string folder = ParentOf(found.native);
  if (!FolderAllowsChanges(found.native)) {
    return Result::FromErrno(EACCES);
  }
  if (access(folder.c_str(), W_OK | X_OK) != 0) {
    return Result::FromErrno(errno);
  }
  return Result();
}

bool IsLink(const char* path) {
  struct stat st;
  return lstat(NativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

Result CanCreateIn(const char* folder) {
  const LookedUp found = LookUp(folder);
  if (!found.exists || !S_ISDIR(found.st.st_mode)) {
    return Result::FromErrno(found.exists ? ENOTDIR : ENOENT);
  }
  if (!HasWriteBits(found.st)) {
    return Result::FromErrno(EACCES);
  }
  if (access(found.native.c_str(), W_OK | X_OK) != 0) {
    return Result::FromErrno(errno);
  }
  return Result();
}

std::string DisplayPath(const char* path) { return NativePath(path); }

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

bool FileState::operator==(const FileState& other) const {
  return exists == other.exists && device == other.device && identity == other.identity && size == other.size &&
         modified == other.modified && changed == other.changed;
}

namespace {
constexpr std::int64_t kNanoseconds = 1000000000;

FileState StateFrom(const struct stat& st) {
  FileState state;
  state.exists = true;
  state.device = static_cast<std::uint64_t>(st.st_dev);
  state.identity = static_cast<std::uint64_t>(st.st_ino);
  state.size = static_cast<std::uint64_t>(st.st_size);
  state.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * kNanoseconds + st.st_mtim.tv_nsec;
  state.changed = static_cast<std::int64_t>(st.st_ctim.tv_sec) * kNanoseconds + st.st_ctim.tv_nsec;
  return state;
}
}  // namespace

FileState StateOf(const char* path) {
  const LookedUp found = LookUp(path);
  return found.exists ? StateFrom(found.st) : FileState();
}

bool IsRecent(const FileState& state) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * kNanoseconds + now.tv_nsec;
  const std::int64_t latest = std::max(state.modified, state.changed);
  return latest > nowNs - 2 * kNanoseconds;
}

namespace detail {
std::FILE* OpenExistingStream(const char* path, bool forAppend, PathInfo* info) {
  const std::string native = WithSlashes(path);
  if (!IsPlain(native)) return nullptr;
  const int fd = open(native.c_str(), (forAppend ? O_RDWR | O_APPEND : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return nullptr;
  }
  info->nativePath = native;
  info->kind = S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::File;
  info->readOnly = !HasWriteBits(st);
  info->size = info->kind == PathKind::File ? static_cast<std::uint64_t>(st.st_size) : 0;
  std::FILE* stream = info->kind == PathKind::File ? fdopen(fd, forAppend ? "a+b" : "rb") : nullptr;
  if (!stream) close(fd);
  return stream;
}

FileState StateOfStream(std::FILE* stream) {
  struct stat st;
  return fstat(fileno(stream), &st) == 0 ? StateFrom(st) : FileState();
}
}  // namespace detail

bool IsSameFolder(const char* a, const char* b) {
  const LookedUp first = LookUp(a);
  const LookedUp second = LookUp(b);
  if (!first.exists || !second.exists) return first.native == second.native;
  return first.st.st_dev == second.st.st_dev && first.st.st_ino == second.st.st_ino;
}

namespace {

std::string LockPathIn(const char* folder) {
  return NativePath((std::string(folder) + "/" + FolderLock::kFileName).c_str());
}

std::string ContentsOf(int fd) {
  std::string text;
  char buf[512];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, buf, sizeof buf, at);
    if (n <= 0 || text.size() > 4096) break;
    text.append(buf, static_cast<std::size_t>(n));
    at += n;
  }
  return text;
}

// What a lock file says of its holder: the line after the first, and the
// process.
std::string HolderOf(const std::string& contents) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < contents.size()) {
    std::string::size_type end = contents.find('\n', start);
    if (end == std::string::npos) end = contents.size();
    lines.push_back(contents.substr(start, end - start));
    start = end + 1;
  }
  std::string holder = lines.size() > 1 ? lines[1] : "another run";
  if (lines.size() > 2 && lines[2].compare(0, 8, "process=") == 0) holder += ", process " + lines[2].substr(8);
  return holder;
}

unsigned long ProcessOf(const std::string& contents) {
  const std::string::size_type at = contents.find("\nprocess=");
  return at == std::string::npos ? 0 : std::strtoul(contents.c_str() + at + 9, nullptr, 10);
}

bool IsAlive(unsigned long process) { return process != 0 && (kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM); }

// Whether the descriptor is still the file at `path`: a lock file removed
// and made anew between our open and our lock is not the lock any more.
bool IsStillAt(int fd, const std::string& path) {
  struct stat open, named;
  return fstat(fd, &open) == 0 && lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

bool WriteWhole(int fd, const std::string& text) {
  if (ftruncate(fd, 0) != 0) return false;
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FolderLock::Outcome FolderLock::Take(const char* folder, const std::string& holder, std::string* heldBy,
                                     Result* failure) {
  Release();
  const std::string path = LockPathIn(folder);
  // As everywhere here, a folder whose bits deny writing takes no new file,
  // even for root.
  if (!FolderAllowsChanges(path)) {
    *failure = Result::FromErrno(EACCES);
    return Outcome::Failed;
  }
  for (int attempt = 0; attempt < 20; ++attempt) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    const bool created = fd >= 0;
    if (created) {
      EntryChanged(path);
    } else {
      if (errno != EEXIST) {
        *failure = Result::FromErrno(errno);
        return Outcome::Failed;
      }
      fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
      if (fd < 0 && errno == ELOOP) {
        unlink(path.c_str());  // a link at our name is replaced, never followed
        EntryChanged(path);
        continue;
      }
      if (fd < 0 && errno == ENOENT) continue;  // released meanwhile
      if (fd < 0) {
        *failure = Result::FromErrno(errno);
        return Outcome::Failed;
      }
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int error = errno;
      const std::string contents = ContentsOf(fd);
      // Where a file system has no flock, the file made new is the lock,
      // and a lock of a process that is gone is taken over.
      const bool noLocks = error != EWOULDBLOCK && error != EINTR;
      if (!noLocks || (!created && IsAlive(ProcessOf(contents)))) {
        close(fd);
        *heldBy = HolderOf(contents);
        return Outcome::HeldByAnother;
      }
    }
    if (!IsStillAt(fd, path)) {
      close(fd);
      continue;
    }
    const std::string text = "Quorvane is working on this folder; this file goes when it ends.\n" + holder +
                             "\nprocess=" + std::to_string(getpid()) + "\n";
    if (!WriteWhole(fd, text)) {
      *failure = Result::FromErrno(errno);
      if (created) unlink(path.c_str());
      close(fd);
      return Outcome::Failed;
    }
    m_fd = fd;
    m_path = path;
    m_taken = true;
    m_tookOver = !created;
    return Outcome::Taken;
  }
  *failure = Result::FromErrno(EAGAIN);
  return Outcome::Failed;
}

void FolderLock::Release() {
  if (!m_taken) return;
  // Removed while still locked, so that no other run can lock the file and
  // then lose it; one that opened it before sees that it moved on.
  if (IsStillAt(m_fd, m_path)) unlink(m_path.c_str());
  EntryChanged(m_path);
  close(m_fd);
  m_fd = -1;
  m_taken = false;
}

bool FolderLock::IsHeld(const char* folder, std::string* heldBy) {
  const std::string path = LockPathIn(folder);
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  const std::string contents = ContentsOf(fd);
  bool held = false;
  if (flock(fd, LOCK_SH | LOCK_NB) != 0) {
    held = errno == EWOULDBLOCK || IsAlive(ProcessOf(contents));
  } else {
    flock(fd, LOCK_UN);
  }
  close(fd);
  if (held) *heldBy = HolderOf(contents);
  return held;
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

Result CreateTempFolder(std::string* path) {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) return Result::FromErrno(errno);
  *path = buf.data();
  return Result();
}

Result RemoveFolder(const char* path) {
  const std::string native = NativePath(path);
  Result removed;
  if (rmdir(native.c_str()) != 0) removed = Result::FromErrno(errno);
  EntryChanged(native);
  ForgetListing(native);
  return removed;
}

namespace detail {
std::FILE* OpenStream(const PathInfo& path, const char* how) {
  std::FILE* file = std::fopen(path.nativePath.c_str(), how);
  if (how[0] != 'r' && path.kind == PathKind::Missing) EntryChanged(path.nativePath);
  return file;
}
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
