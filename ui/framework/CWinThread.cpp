#include "CWinThread.h"

#include "Afx.h"
#include "AfxState.h"

namespace ui {

CWinThread::~CWinThread() {
  if (m_hThread) ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize,
                              LPSECURITY_ATTRIBUTES security) {
  // Started suspended so that the handle and id are stored before the
  // thread can run (and, with auto-delete, delete this object).
  DWORD id = 0;
  HANDLE h = ::CreateThread(security, stackSize, &ThreadEntry, this,
                            createFlags | CREATE_SUSPENDED, &id);
  if (!h) return FALSE;
  m_hThread = h;
  m_nThreadID = id;
  if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(h);
  return TRUE;
}

DWORD WINAPI CWinThread::ThreadEntry(LPVOID self) {
  auto* t = static_cast<CWinThread*>(self);
  t->MakeCurrent();
  int rc = t->InitInstance() ? t->Run() : t->ExitInstance();
  afx_state::SetCurrentThread(nullptr);
  if (t->m_bAutoDelete) delete t;
  return static_cast<DWORD>(rc);
}

void CWinThread::MakeCurrent() { afx_state::SetCurrentThread(this); }

int CWinThread::Run() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  return ExitInstance();
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) { return AfxPreTranslateMessage(msg); }

}  // namespace ui
