// A thread that runs a user interface of its own: InitInstance on the new
// thread, then a message loop while it returns TRUE; the loop ends when the
// thread's main window is destroyed. With m_bAutoDelete (the default) the
// object deletes itself when its thread ends.
#pragma once

#include <windows.h>

namespace ui {

class CWnd;

class CWinThread {
 public:
  CWinThread() = default;
  virtual ~CWinThread();
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Starts the thread (CreateThread with these arguments). With auto-delete
  // the object may be gone as soon as this returns.
  BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0,
                    LPSECURITY_ATTRIBUTES security = nullptr);

  virtual BOOL InitInstance() { return FALSE; }
  virtual int Run();
  virtual int ExitInstance() { return 0; }
  virtual BOOL PreTranslateMessage(MSG* msg);

  CWnd* m_pMainWnd = nullptr;
  BOOL m_bAutoDelete = TRUE;
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;

 protected:
  // Makes this object the calling thread's AfxGetThread().
  void MakeCurrent();

 private:
  static DWORD WINAPI ThreadEntry(LPVOID self);
};

}  // namespace ui
