// The splash: a bitmap in a borderless, topmost window that runs on a
// user-interface thread of its own, so it stays painted while the starting
// thread is blocked.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/CWinThread.h"

namespace ui {

class CSplashWnd;

// The splash thread. Deletes itself when its thread ends.
class CSplash : public CWinThread {
 public:
  // Stores the arguments, points *ppSelf at the new object and starts the
  // thread. flags: see SplashRules.h. The object deletes itself when the
  // thread ends, so only the slot tells whether it still exists.
  CSplash(CWnd* parent, int timeout, std::uint16_t flags, CSplash** ppSelf);
  ~CSplash() override;

  BOOL InitInstance() override;
  // Makes the window object for this thread and its window; returns the
  // object even when the window could not be made.
  virtual CSplashWnd* CreateSplashWnd(CWnd* parent, int timeout, std::uint16_t flags);

  CSplash** m_ppSelf;     // the slot that points at this object; cleared on hiding
  CWnd* m_pParentWnd;
  int m_nTimeout;         // first timer period in ms; -1: no timer
  std::uint16_t m_wFlags;
};

}  // namespace ui
