// The application object: one per process, made during static
// initialisation. The entry point runs InitInstance on the main thread; when
// it returns FALSE the message loop is skipped and the process ends.
#pragma once

#include <windows.h>

#include "CWinThread.h"

namespace ui {

class CWinApp : public CWinThread {
 public:
  // Without a name the application is named after the executable's file
  // name without its extension.
  explicit CWinApp(LPCSTR appName = nullptr);
  ~CWinApp() override;

  LPCSTR m_pszAppName;
  HINSTANCE m_hInstance;

  BOOL InitInstance() override { return TRUE; }

 private:
  char m_name[MAX_PATH];
};

// The entry point's work, for WinMain.
int AfxWinMain();

}  // namespace ui
