// GetTokenInformation is loaded at run time: advapi32.dll is not among the
// programs' imports, and asking for TokenVirtualizationEnabled is a question
// only Vista and later understand. On earlier systems it fails, and those
// do not virtualize.

#include <windows.h>

#include <string>

#include "Ascii.h"
#include "FileSystem.h"
#include "VirtualStore.h"

namespace plat {
namespace {

using OpenToken = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using TokenInformation = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);

// The value of TokenVirtualizationEnabled, which the headers declare only
// for Vista and later.
constexpr int kTokenVirtualizationEnabled = 24;

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string SystemDllPath(const char* name) {
  char folder[MAX_PATH + 1];
  const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  return std::string(folder) + "\\" + name;
}

std::string Environment(const char* name) {
  char value[MAX_PATH * 2];
  const DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
  return length == 0 || length >= sizeof value ? std::string() : std::string(value, length);
}

// "C:" of the Windows folder: virtualization covers the system drive only.
std::string SystemDrive() {
  char folder[MAX_PATH + 1];
  const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
  if (length < 2 || length >= MAX_PATH || folder[1] != ':') return std::string();
  return std::string(folder, 2);
}

}  // namespace

bool IsVirtualized() {
  const std::string path = SystemDllPath("advapi32.dll");
  HMODULE advapi = path.empty() ? nullptr : ::LoadLibraryA(path.c_str());
  if (!advapi) return false;
  const auto openToken = Find<OpenToken>(advapi, "OpenProcessToken");
  const auto tokenInformation = Find<TokenInformation>(advapi, "GetTokenInformation");
  DWORD enabled = 0;
  HANDLE token = nullptr;
  if (openToken && tokenInformation && openToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
    DWORD size = 0;
    if (!tokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(kTokenVirtualizationEnabled), &enabled,
                          sizeof enabled, &size)) {
      enabled = 0;
    }
    ::CloseHandle(token);
  }
  ::FreeLibrary(advapi);
  return enabled != 0;
}

std::string VirtualStoreCopy(const char* path) {
  const std::string store = Environment("LOCALAPPDATA");
  const std::string drive = SystemDrive();
  const std::string full = AbsolutePath(path);
  if (store.empty() || drive.empty() || full.size() < 4 || full[2] != '\\' ||
      FoldCase(full.substr(0, 2)) != FoldCase(drive)) {
    return std::string();
  }
  std::string copy = store;
  if (copy.back() != '\\') copy += '\\';
  copy += "VirtualStore" + full.substr(2);
  return GetPathKind(copy.c_str()) == PathKind::Missing ? std::string() : copy;
}

}  // namespace plat
