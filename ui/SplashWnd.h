// The splash window: the splash bitmap, centred, topmost, without a frame.
#pragma once

#include <cstdint>

#include "framework/CWnd.h"

namespace ui {

class CSplash;

class CSplashWnd : public CWnd {
 public:
  explicit CSplashWnd(CSplash* thread) : m_pThread(thread) {}
  ~CSplashWnd() override = default;

  // Makes the window at the size of SplashBitmap; parent is not used.
  virtual BOOL CreateSplashWindow(CWnd* parent, int timeout, std::uint16_t flags);

  BOOL PreTranslateMessage(MSG* msg) override;
  // Deletes this object once its window is gone.
  void PostNcDestroy() override;

  CSplash* m_pThread;     // cleared on hiding
  int m_nTimeout = -1;
  std::uint16_t m_wFlags = 0;

 protected:
  int OnCreate(LPCREATESTRUCTA cs) override;
  void OnPaint() override;
  void OnTimer(UINT_PTR id) override;
};

}  // namespace ui
