// The Win32 calls themselves.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Ascii.h"
#include "FaultInjection.h"
#include "FileHolders.h"
#include "FileSystem.h"
#include "FolderLock.h"
#include "Result.h"

namespace plat {
namespace {

// Closes the file when the scope ends.
class ScopedFileHandle {
 public:
  explicit ScopedFileHandle(HANDLE handle) : m_handle(handle) {}
  ~ScopedFileHandle() {
    if (IsValid()) CloseHandle(m_handle);
  }
  ScopedFileHandle(const ScopedFileHandle&) = delete;
  ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;

  bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return m_handle; }

 private:
  HANDLE m_handle;
};

// SetFilePointer rather than SetFilePointerEx, which Windows 98 and ME lack.
// A result of INVALID_SET_FILE_POINTER is also the low half of some large
// offsets, so only the error code tells a failure.
bool SeekFromStart(HANDLE file, std::uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(file, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
}

// Windows 98 and ME export MoveFileExA but do not implement it. There the
// target goes first and the file is moved after it: for a moment no file
// has the target's name, but the source still holds the whole content.
bool MoveByDeleteAndMove(const char* source, const char* target) {
  if (GetFileAttributesA(target) != INVALID_FILE_ATTRIBUTES && !DeleteFileA(target)) return false;
  return MoveFileA(source, target) != 0;
}

// MoveFileExA with MOVEFILE_REPLACE_EXISTING and `flags`, or the above
// where it is not implemented.
bool MoveReplacing(const char* source, const char* target, DWORD flags) {
  if (MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | flags)) return true;
  return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && MoveByDeleteAndMove(source, target);
}

// Another program often opens a file for a moment: an antivirus or the
// search indexer right after we wrote it, a sync client, Explorer drawing
// its icon. While it holds the file without allowing it to be deleted,
// replacing, renaming or deleting it fails with a sharing violation, and
// a file whose deletion is still pending answers "access denied". So every
// replace, rename and delete here (and CanReplace, the check before a run)
// tries again while that is the answer: the first time after 10 ms, then
// after twice the wait before, at most 500 ms, until 2 seconds of waiting
// have passed in all (10, 20, 40, 80, 160, 320, 500, 500, 370 ms: ten
// tries). A file that is really protected or held for longer fails after
// those 2 seconds, with the system's reason and, where Windows can tell,
// the program that holds it. No other place waits or tries again.
constexpr DWORD kFirstWait = 10;
constexpr DWORD kLongestWait = 500;
constexpr DWORD kAllWaiting = 2000;

bool MayBeHeldForAMoment(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Runs `attempt` (a Win32 call that leaves its reason in GetLastError)
// again while it fails as above. Gives its last result; after a failure
// GetLastError() holds the last reason.
template <typename Attempt>
bool RetryWhileHeld(Attempt attempt) {
  DWORD waited = 0;
  DWORD wait = kFirstWait;
  while (!attempt()) {
    const DWORD error = GetLastError();
    if (!MayBeHeldForAMoment(error) || waited >= kAllWaiting) {
      SetLastError(error);
      return false;
    }
    const DWORD pause = std::min(wait, kAllWaiting - waited);
    Sleep(pause);
    waited += pause;
    wait = std::min(wait * 2, kLongestWait);
  }
  return true;
}

// The reason of the call on `path` (and `other`) that failed after
// RetryWhileHeld, with the programs that hold them where Windows can tell.
Result FailedWhileHeld(const char* path, const char* other = nullptr) {
  const DWORD error = GetLastError();
  const Result failed = Result::FromWin32(error);
  if (!MayBeHeldForAMoment(error)) return failed;
  std::vector<std::string> files{path};
  if (other) files.push_back(other);
  const std::string holders = ProgramsHolding(files);
  std::string reason = failed.Reason();
  if (!holders.empty()) reason += "; it is open in " + holders;
  return Result::Failure(reason + "; tried again for 2 seconds");
}

bool DeleteRetrying(const char* path) {
  return RetryWhileHeld([path] { return DeleteFileA(path) != 0; });
}

// CreateFileA with FILE_ATTRIBUTE_NORMAL. Windows 98 and ME know neither
// FILE_SHARE_DELETE nor the DELETE access right and refuse them with
// ERROR_INVALID_PARAMETER; there the file is opened without them. On those
// systems no program can delete or rename a file that is open anyway.
HANDLE OpenFile(const char* path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool asksForDelete = (share & FILE_SHARE_DELETE) || (access & DELETE);
  if (file != INVALID_HANDLE_VALUE || !asksForDelete || GetLastError() != ERROR_INVALID_PARAMETER) return file;
  return CreateFileA(path, access & ~static_cast<DWORD>(DELETE), share & ~static_cast<DWORD>(FILE_SHARE_DELETE),
                     nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string NativePath(const char* path) { return path; }

PathKind GetPathKind(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

PathInfo InspectPath(const char* path) {
  PathInfo info;
  info.nativePath = path;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(path, GetFileExInfoStandard, &data)) {
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.kind = folder ? PathKind::Folder : PathKind::File;
    info.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (!folder) info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  return info;
}

bool MayWrite(const PathInfo& path) { return !path.readOnly; }

namespace {

// The reason of the Win32 call that just failed.
Result Failed() { return Result::FromWin32(GetLastError()); }

}  // namespace

Result CreateFolder(const char* path) {
  if (const int fault = detail::InjectFault(FileOp::CreateFolder)) return Result::FromErrno(fault);
  return CreateDirectoryA(path, nullptr) != 0 ? Result() : Failed();
}

namespace {

// The copy of CopyBeside: *temp gets the new file, *to the target.
Result CopyToTemporary(const char* source, const char* target, std::string* temp, ReplacementTarget* to) {
  if (Result planned = PlanReplacement(target, LinkPolicy::Replace, to); !planned) return planned;
  // A temporary name that is free now; CopyFileA with bFailIfExists makes
  // the file new, never one that was put there meanwhile.
  std::FILE* reserved = nullptr;
  if (Result made = CreateTemporaryBeside(to->nativePath, to->attributes, temp, &reserved); !made) return made;
  std::fclose(reserved);
  if (!DeleteRetrying(temp->c_str())) return FailedWhileHeld(temp->c_str());
  if (!CopyFileA(source, temp->c_str(), TRUE)) return Failed();
  // CopyFileA gives the copy the source's attributes. A read-only source (a
  // catalogue from a CD, or unpacked read-only) would leave a read-only
  // copy, over which the next run's copy fails.
  const DWORD attributes = GetFileAttributesA(temp->c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesA(temp->c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  return Result();
}

}  // namespace

Result CopyFileOver(const char* source, const char* target) {
  if (const int fault = detail::InjectFault(FileOp::Copy)) return Result::FromErrno(fault);
  std::string temp;
  ReplacementTarget to;
  if (Result copied = CopyToTemporary(source, target, &temp, &to); !copied) return copied;
  if (!RetryWhileHeld([&] { return MoveReplacing(temp.c_str(), to.nativePath.c_str(), 0); })) {
    const Result failed = FailedWhileHeld(to.nativePath.c_str(), temp.c_str());
    DeleteRetrying(temp.c_str());
    return failed;
  }
  return Result();
}

Result CopyBeside(const char* source, const char* target, std::string* temp) {
  if (const int fault = detail::InjectFault(FileOp::Copy)) return Result::FromErrno(fault);
  ReplacementTarget to;
  return CopyToTemporary(source, target, temp, &to);
}

Result SyncFolder(const char*) {
  if (const int fault = detail::InjectFault(FileOp::Flush)) return Result::FromErrno(fault);
  return Result();
}

Result MoveFileOver(const char* source, const char* target) {
  if (const int fault = detail::InjectFault(FileOp::Rename)) return Result::FromErrno(fault);
  if (RetryWhileHeld([&] { return MoveReplacing(source, target, MOVEFILE_WRITE_THROUGH); })) return Result();
  return FailedWhileHeld(target, source);
}

Result RemoveFile(const char* path) {
  if (const int fault = detail::InjectFault(FileOp::Remove)) return Result::FromErrno(fault);
  return DeleteRetrying(path) ? Result() : FailedWhileHeld(path);
}

Result TruncateFile(const char* path, std::uint64_t size) {
  if (const int fault = detail::InjectFault(FileOp::Truncate)) return Result::FromErrno(fault);
  HANDLE opened = INVALID_HANDLE_VALUE;
  if (!RetryWhileHeld([&] {
        opened = OpenFile(path, GENERIC_WRITE, 0, OPEN_EXISTING);
        return opened != INVALID_HANDLE_VALUE;
      })) {
    return FailedWhileHeld(path);
  }
  ScopedFileHandle file(opened);
  return SeekFromStart(file.Get(), size) && SetEndOfFile(file.Get()) ? Result() : Failed();
}

std::size_t ModuleFileName(char* buf, std::size_t cap) {
  if (cap == 0) return 0;
  DWORD n = GetModuleFileNameA(nullptr, buf, static_cast<DWORD>(cap));
  if (n >= cap) n = static_cast<DWORD>(cap - 1);  // older systems leave it unterminated
  buf[n] = '\0';
  return n;
}

Result CreateTempFolder(std::string* path) {
  char base[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof base, base);
  if (n == 0 || n >= sizeof base) return Failed();
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char name[MAX_PATH + 32];
    wsprintfA(name, "%squorvane-%lu-%u", base, GetCurrentProcessId(), GetTickCount() + attempt);
    if (CreateDirectoryA(name, nullptr)) {
      *path = name;
      return Result();
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return Failed();
  }
  return Result::FromWin32(ERROR_ALREADY_EXISTS);
}

Result RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0 ? Result() : Failed(); }

std::string AbsolutePath(const char* path) {
  if (!*path) return path;
  char full[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return path;
  return full;
}

std::string ProfileLocation(const char* fileName) {
  if (std::strpbrk(fileName, "\\/:")) return fileName;
  char folder[MAX_PATH + 1];
  UINT n = GetWindowsDirectoryA(folder, sizeof folder);
  if (n == 0 || n >= sizeof folder) return fileName;
  std::string result(folder);
  if (result.back() != '\\') result += '\\';
  return result + fileName;
}

Result PlanReplacement(const char* path, LinkPolicy, ReplacementTarget* target) {
  *target = ReplacementTarget{path, {}};
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return Result();  // a new file
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return Result::FromWin32(ERROR_DIRECTORY);
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    return Result::FromWin32(ERROR_ACCESS_DENIED);
  }
  target->attributes = KeptAttributes{true, attributes, 0, 0};
  return Result();
}

Result CreateTemporaryBeside(const std::string& nativePath, const KeptAttributes&, std::string* tempPath,
                             std::FILE** stream) {
  if (const int fault = detail::InjectFault(FileOp::Open)) return Result::FromErrno(fault);
  const std::string stem = nativePath + ".quorvane-" + std::to_string(GetCurrentProcessId()) + "-";
  const unsigned long long first = detail::TemporaryNumber();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = stem + std::to_string(first + static_cast<unsigned long long>(attempt)) + ".tmp";
    // CREATE_NEW: a name that is taken, by a file or a link, is never opened.
    HANDLE file = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      return Result::FromWin32(error);
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_BINARY);
    *stream = fd == -1 ? nullptr : _fdopen(fd, "wb");
    if (!*stream) {
      const Result failed = Result::FromErrno(errno);
      if (fd == -1) {
        CloseHandle(file);
      } else {
        _close(fd);
      }
      DeleteFileA(name.c_str());
      return failed;
    }
    *tempPath = name;
    return Result();
  }
  return Result::FromWin32(ERROR_FILE_EXISTS);
}

void RestoreAttributes(const std::string& nativePath, const KeptAttributes& attributes) {
  if (attributes.known) SetFileAttributesA(nativePath.c_str(), attributes.bits & ~FILE_ATTRIBUTE_READONLY);
}

void RemoveLeftoverTemporaries(const char* folder, bool inSubfolders) {
  WIN32_FIND_DATAA found;
  const std::string pattern = std::string(folder) + "\\*.quorvane-*.tmp";
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      // A file still open in a run of ours cannot be deleted, and stays.
      DeleteFileA((std::string(folder) + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  if (!inSubfolders) return;
  std::vector<std::string> subfolders;
  search = FindFirstFileA((std::string(folder) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    const DWORD kinds = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    if ((found.dwFileAttributes & kinds) == FILE_ATTRIBUTE_DIRECTORY && name != "." && name != "..") {
      subfolders.push_back(std::string(folder) + "\\" + name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  for (const std::string& subfolder : subfolders) RemoveLeftoverTemporaries(subfolder.c_str(), false);
}

Result CanReplace(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    return Result::FromWin32(ERROR_ACCESS_DENIED);
  }
  if (attributes == INVALID_FILE_ATTRIBUTES) return Result();
  // Asking for delete access fails when another program holds the file
  // open without allowing it to be replaced: a sharing violation now, not
  // half-way through the run. A program that holds it for a moment only
  // is waited for, as the replacement itself would wait.
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!RetryWhileHeld([&] {
        file = OpenFile(path, GENERIC_READ | GENERIC_WRITE | DELETE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
        return file != INVALID_HANDLE_VALUE;
      })) {
    return FailedWhileHeld(path);
  }
  CloseHandle(file);
  return Result();
}

bool IsLink(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

Result CanCreateIn(const char* folder) {
  const DWORD attributes = GetFileAttributesA(folder);
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Result::FromWin32(ERROR_DIRECTORY);
  }
  return Result();
}

std::string DisplayPath(const char* path) { return path; }

unsigned long ProcessId() { return GetCurrentProcessId(); }

bool FileState::operator==(const FileState& other) const {
  return exists == other.exists && device == other.device && identity == other.identity && size == other.size &&
         modified == other.modified && changed == other.changed;
}

namespace {

std::int64_t Nanoseconds(const FILETIME& time) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(ticks) * 100;  // 100 ns ticks since 1601
}

FileState StateOfHandle(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) return FileState();
  FileState state;
  state.exists = true;
  state.device = info.dwVolumeSerialNumber;
  state.identity = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  state.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  state.modified = Nanoseconds(info.ftLastWriteTime);
  state.changed = Nanoseconds(info.ftCreationTime);
  return state;
}

}  // namespace

FileState StateOf(const char* path) {
  HANDLE file = OpenFile(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return FileState();
  const FileState state = StateOfHandle(file);
  CloseHandle(file);
  return state;
}

bool IsRecent(const FileState& state) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const std::int64_t latest = state.modified > state.changed ? state.modified : state.changed;
  return latest > Nanoseconds(now) - 2000000000LL;
}

namespace detail {
FileState StateOfStream(std::FILE* stream) {
  return StateOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}
}  // namespace detail

bool IsSameFolder(const char* a, const char* b) {
  return FoldCase(AbsolutePath(a)) == FoldCase(AbsolutePath(b));
}

namespace {

std::string LockPathIn(const char* folder) { return std::string(folder) + "\\" + FolderLock::kFileName; }

std::string HolderIn(const std::string& path) {
  HANDLE file = OpenFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         OPEN_EXISTING);
  std::string text;
  if (file != INVALID_HANDLE_VALUE) {
    char buf[1024];
    DWORD got = 0;
    if (ReadFile(file, buf, sizeof buf, &got, nullptr)) text.assign(buf, got);
    CloseHandle(file);
  }
  std::string::size_type first = text.find('\n');
  std::string::size_type second = first == std::string::npos ? first : text.find('\n', first + 1);
  std::string holder = second == std::string::npos ? "another run" : text.substr(first + 1, second - first - 1);
  if (!holder.empty() && holder.back() == '\r') holder.pop_back();
  const std::string::size_type process = text.find("process=");
  if (process != std::string::npos) {
    holder += ", process " + text.substr(process + 8, text.find_first_of("\r\n", process) - process - 8);
  }
  return holder;
}

}  // namespace

FolderLock::Outcome FolderLock::Take(const char* folder, const std::string& holder, std::string* heldBy,
                                     Result* failure) {
  Release();
  const std::string path = LockPathIn(folder);
  // Open without sharing writes: while this run has it, a second one
  // cannot open it for writing. A file left by a run that ended without
  // removing it opens again and is taken over.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool leftBehind = file != INVALID_HANDLE_VALUE && GetLastError() == ERROR_ALREADY_EXISTS;
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) {
      *heldBy = HolderIn(path);
      return Outcome::HeldByAnother;
    }
    *failure = Result::FromWin32(error);
    return Outcome::Failed;
  }
  const std::string text = "Quorvane is working on this folder; this file goes when it ends.\r\n" + holder +
                           "\r\nprocess=" + std::to_string(GetCurrentProcessId()) + "\r\n";
  DWORD written = 0;
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(file) ||
      !WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size()) {
    *failure = Failed();
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return Outcome::Failed;
  }
  m_handle = file;
  m_path = path;
  m_taken = true;
  m_tookOver = leftBehind;
  return Outcome::Taken;
}

void FolderLock::Release() {
  if (!m_taken) return;
  CloseHandle(static_cast<HANDLE>(m_handle));
  // A second run that opened it in the meantime keeps it: the delete then
  // fails, as it should.
  DeleteFileA(m_path.c_str());
  m_handle = nullptr;
  m_taken = false;
}

bool FolderLock::IsHeld(const char* folder, std::string* heldBy) {
  const std::string path = LockPathIn(folder);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
  *heldBy = HolderIn(path);
  return true;
}

namespace detail {
std::FILE* OpenExistingStream(const char*, bool, PathInfo*) { return nullptr; }

std::FILE* OpenStream(const PathInfo& path, const char* how) { return std::fopen(path.nativePath.c_str(), how); }
}  // namespace detail

}  // namespace plat
