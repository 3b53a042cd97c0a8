// The splash: a bitmap in a borderless, topmost window that runs on a
// user-interface thread of its own, so it stays painted while the starting
// thread is blocked.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/CWinThread.h"
#include "framework/Gdi.h"

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

// The splash bitmap; replaced by each StartSplash, lives until the process ends.
extern CBitmap* SplashBitmap;
// The running splash thread, or null (before the first StartSplash, after
// hiding, or when the thread has ended).
extern CSplash* SplashThreadSlot;

// Loads bitmap bitmapId of the module moduleName as SplashBitmap and, on the
// first call in the process only, starts the splash thread with hide-on-
// input behaviour and the given timeout (-1: no timer).
void StartSplash(LPCSTR moduleName, UINT bitmapId, int timeout);
// Closes the splash window of thread (nothing when null) and clears its slot.
// Runs on the splash thread.
void HideSplash(CSplash* thread);
