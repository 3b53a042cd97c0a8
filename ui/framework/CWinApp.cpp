#include "CWinApp.h"

#include <cstdio>

#include "Afx.h"
#include "AfxState.h"

namespace ui {

CWinApp::CWinApp(LPCSTR appName) : m_hInstance(::GetModuleHandleA(nullptr)) {
  std::snprintf(m_name, sizeof m_name, "%s", appName ? appName : AfxGetAppName());
  m_pszAppName = m_name;
  m_bAutoDelete = FALSE;
  m_nThreadID = ::GetCurrentThreadId();
  afx_state::SetApp(this);
}

CWinApp::~CWinApp() { afx_state::SetApp(nullptr); }

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}

}  // namespace ui
