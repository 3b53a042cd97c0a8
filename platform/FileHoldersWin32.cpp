// The Restart Manager (rstrtmgr.dll) is loaded when it is asked for, from
// the system folder: the programs must start on systems that lack it, and
// a DLL of that name beside the program must not be the one loaded.

#include <windows.h>
#include <restartmanager.h>

#include <string>
#include <vector>

#include "FileHolders.h"

namespace plat {
namespace {

using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);
using EndSession = DWORD(WINAPI*)(DWORD);

// At most this many programs are named; more are counted.
constexpr UINT kMostNamed = 4;

class RestartManager {
 public:
  RestartManager() {
    char path[MAX_PATH + 16];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    ::lstrcatA(path, "\\rstrtmgr.dll");
    m_module = ::LoadLibraryA(path);
    if (!m_module) return;
    m_start = reinterpret_cast<StartSession>(reinterpret_cast<void*>(::GetProcAddress(m_module, "RmStartSession")));
    m_register = reinterpret_cast<RegisterResources>(
        reinterpret_cast<void*>(::GetProcAddress(m_module, "RmRegisterResources")));
    m_list = reinterpret_cast<GetList>(reinterpret_cast<void*>(::GetProcAddress(m_module, "RmGetList")));
    m_end = reinterpret_cast<EndSession>(reinterpret_cast<void*>(::GetProcAddress(m_module, "RmEndSession")));
  }
  ~RestartManager() {
    if (m_module) ::FreeLibrary(m_module);
  }
  RestartManager(const RestartManager&) = delete;
  RestartManager& operator=(const RestartManager&) = delete;

  bool Usable() const { return m_start && m_register && m_list && m_end; }

  // The programs that hold any of the files, as the session lists them.
  std::vector<RM_PROCESS_INFO> Holders(const std::vector<std::wstring>& files) const {
    std::vector<RM_PROCESS_INFO> found;
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (m_start(&session, 0, key) != ERROR_SUCCESS) return found;
    std::vector<LPCWSTR> names;
    for (const std::wstring& file : files) names.push_back(file.c_str());
    if (m_register(session, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
      // The list may grow between the two calls; a few tries are enough.
      UINT needed = 0;
      for (int attempt = 0; attempt < 3; ++attempt) {
        found.resize(needed);
        UINT count = needed;
        DWORD reasons = 0;
        const DWORD result = m_list(session, &needed, &count, found.empty() ? nullptr : found.data(), &reasons);
        if (result == ERROR_SUCCESS) {
          found.resize(count);
          break;
        }
        found.clear();
        if (result != ERROR_MORE_DATA) break;
      }
    }
    m_end(session);
    return found;
  }

 private:
  HMODULE m_module = nullptr;
  StartSession m_start = nullptr;
  RegisterResources m_register = nullptr;
  GetList m_list = nullptr;
  EndSession m_end = nullptr;
};

// The full path in UTF-16, which the Restart Manager takes; empty when it
// cannot be made.
std::wstring WideFullPath(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return std::wstring();
  const int wide = ::MultiByteToWideChar(CP_ACP, 0, full, -1, nullptr, 0);
  if (wide <= 0) return std::wstring();
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, full, -1, &text[0], wide);
  text.resize(static_cast<std::size_t>(wide - 1));
  return text;
}

std::string Narrow(const WCHAR* text) {
  char narrow[CCH_RM_MAX_APP_NAME * 2 + 1];
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return length > 0 ? std::string(narrow) : std::string();
}

}  // namespace

std::string ProgramsHolding(const std::vector<std::string>& paths) {
  RestartManager manager;
  if (!manager.Usable()) return std::string();
  std::vector<std::wstring> files;
  for (const std::string& path : paths) {
    std::wstring wide = WideFullPath(path);
    if (!wide.empty()) files.push_back(std::move(wide));
  }
  if (files.empty()) return std::string();
  const std::vector<RM_PROCESS_INFO> holders = manager.Holders(files);
  std::string text;
  for (std::size_t i = 0; i < holders.size() && i < kMostNamed; ++i) {
    std::string name = Narrow(holders[i].strAppName);
    if (name.empty()) name = "a program";
    if (!text.empty()) text += ", ";
    text += name + " (process " + std::to_string(holders[i].Process.dwProcessId) + ")";
  }
  if (holders.size() > kMostNamed) text += " and " + std::to_string(holders.size() - kMostNamed) + " more";
  return text;
}

}  // namespace plat
