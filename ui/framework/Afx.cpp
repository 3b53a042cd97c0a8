#include "Afx.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "AfxState.h"
#include "CWinApp.h"
#include "CriticalSection.h"

namespace ui {

namespace {
CWinApp* g_app = nullptr;
thread_local CWinThread* t_thread = nullptr;
std::atomic<HINSTANCE> g_resource{nullptr};
std::atomic<BOOL> g_userCtrl{TRUE};
}  // namespace

namespace afx_state {
void SetCurrentThread(CWinThread* t) { t_thread = t; }
void SetApp(CWinApp* app) { g_app = app; }
}  // namespace afx_state

CWinApp* AfxGetApp() { return g_app; }

CWinThread* AfxGetThread() {
  if (t_thread) return t_thread;
  if (g_app && g_app->m_nThreadID == ::GetCurrentThreadId()) return g_app;
  return nullptr;
}

HINSTANCE AfxGetResourceHandle() {
  HINSTANCE h = g_resource.load();
  return h ? h : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) { g_resource.store(module); }

LPCSTR AfxGetAppName() {
  if (g_app) return g_app->m_pszAppName;
  // Made once, by the first caller; the static's guard holds other threads
  // until it is complete.
  struct ModuleBaseName {
    char text[MAX_PATH] = "";
    ModuleBaseName() {
      char path[MAX_PATH + 1] = "";
      const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
      path[n < MAX_PATH ? n : MAX_PATH] = '\0';  // older systems leave a full buffer unterminated
      const char* base = path;
      for (const char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/') base = p + 1;
      std::snprintf(text, sizeof text, "%s", base);
      if (char* dot = std::strrchr(text, '.')) *dot = '\0';
    }
  };
  static const ModuleBaseName name;
  return name.text;
}

void AfxGetModuleName(char* buf, std::size_t cap) {
  std::snprintf(buf, cap, "%s.exe", AfxGetAppName());
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
  // The name encodes the attributes, so equal requests share one class.
  static CCriticalSection lock;
  static char names[32][64];
  static int count = 0;
  char name[64];
  std::snprintf(name, sizeof name, "Qv:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                static_cast<void*>(background), static_cast<void*>(icon));
  ScopedLock guard(lock);
  for (int i = 0; i < count; ++i)
    if (std::strcmp(names[i], name) == 0) return names[i];
  if (count == 32) return nullptr;
  WNDCLASSA wc{};
  wc.style = classStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.hIcon = icon;
  std::strcpy(names[count], name);
  wc.lpszClassName = names[count];
  if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return names[count++];
}

BOOL AfxOleGetUserCtrl() { return g_userCtrl.load(); }
void AfxOleSetUserCtrl(BOOL userCtrl) { g_userCtrl.store(userCtrl); }

}  // namespace ui
