// Helpers of the Windows tests: message pumping with a deadline and a plain
// parent window that paints one colour and records the commands it gets.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Afx.h"
#include "framework/CWnd.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

using namespace ui;

namespace qvtest {

// Dispatches this thread's messages until done() holds or ms have passed;
// returns done(). The deadline only bounds a failure, it is not measured.
inline bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    if (done()) return true;
    if (::GetTickCount() - start > static_cast<DWORD>(ms)) return done();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

struct Command {
  WPARAM wp;
  LPARAM lp;
};

// A top-level window that paints itself in one colour and records commands.
class HostWindow : public CWnd {
 public:
  explicit HostWindow(COLORREF colour, int x = 100, int y = 100, int w = 300, int h = 200)
      : m_colour(colour) {
    LPCSTR cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    CreateEx(0, cls, "Quorvane test host", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr);
  }
  std::vector<Command> commands;

 protected:
  BOOL OnEraseBkgnd(CDC* dc) override {
    CRect r;
    GetClientRect(&r);
    CBrush b;
    b.CreateSolidBrush(m_colour);
    ::FillRect(*dc, &r, b);
    return TRUE;
  }
  BOOL OnCommand(WPARAM wp, LPARAM lp) override {
    commands.push_back({wp, lp});
    return TRUE;
  }

 private:
  COLORREF m_colour;
};

inline void ModuleName(char (&buf)[kModuleNameSize]) { AfxGetModuleName(buf, sizeof buf); }

}  // namespace qvtest
