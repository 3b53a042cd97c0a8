#include "WaitBox.h"

#include <cstdio>

#include "framework/Afx.h"
#include "resource.h"

namespace ui {

HWND WaitBoxWindow = nullptr;
char WaitBoxText[kWaitBoxTextSize];

void ShowWaitBox(const char* text) {
  if (WaitBoxWindow) {
    ::SetDlgItemTextA(WaitBoxWindow, IDC_WAITBOX_TEXT, text);
    ::BringWindowToTop(WaitBoxWindow);
    return;
  }
  // The line break puts the creating text on the control's partly hidden
  // second line; a longer text is cut to fit the buffer.
  std::snprintf(WaitBoxText, sizeof WaitBoxText, "\n%s", text);
  char module[kModuleNameSize];
  AfxGetModuleName(module, sizeof module);
  WaitBoxWindow = ::CreateDialogParamA(::GetModuleHandleA(module), "WAITBOX", nullptr,
                                       &WaitBoxProc, 0);
}

void CloseWaitBox() { ::DestroyWindow(WaitBoxWindow); }

INT_PTR CALLBACK WaitBoxProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG:
      CenterOnScreen(hwnd);
      ::ShowWindow(hwnd, SW_SHOW);
      ::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
      ::UpdateWindow(hwnd);
      ::SetDlgItemTextA(hwnd, IDC_WAITBOX_TEXT, WaitBoxText);
      ::UpdateWindow(hwnd);
      ::BringWindowToTop(hwnd);
      break;
    case WM_DESTROY:
    case WM_NCDESTROY:
      ::EndDialog(hwnd, 1);
      WaitBoxWindow = nullptr;
      break;
  }
  return FALSE;
}

void CenterOnScreen(HWND window) {
  const int screenW = ::GetSystemMetrics(SM_CXSCREEN);
  const int screenH = ::GetSystemMetrics(SM_CYSCREEN);
  RECT r;
  ::GetWindowRect(window, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  ::MoveWindow(window, (screenW - w) / 2, (screenH - h) / 2, w, h, TRUE);
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
}

}  // namespace ui
