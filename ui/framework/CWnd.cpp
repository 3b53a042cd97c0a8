#include "CWnd.h"

#include <windowsx.h>

#include <cstdio>
#include <exception>

#include "Afx.h"
#include "CWinThread.h"
#include "Dc.h"
#include "Gdi.h"

namespace ui {

namespace {

const char kObjectProp[] = "Quorvane.CWnd";

// The message being handled on this thread, for Default().
struct CurrentMessage {
  HWND hwnd;
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};
thread_local const CurrentMessage* t_current = nullptr;

// The object waiting for its window, and the hook that will attach it.
thread_local CWnd* t_pending = nullptr;
thread_local HHOOK t_hook = nullptr;

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd) ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  return hwnd ? static_cast<CWnd*>(::GetPropA(hwnd, kObjectProp)) : nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId, LPVOID param) {
  HWND hwnd;
  {
    CreationHook hook(this);
    hwnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent,
                             menuOrId, AfxGetResourceHandle(), param);
  }
  return hwnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                    const RECT& r, CWnd* parent, UINT id, LPVOID param) {
  return CreateEx(exStyle, className, windowName, style, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, parent ? parent->m_hWnd : nullptr,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::SetFont(CFont* font, BOOL redraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->m_hObject), redraw);
}

void CWnd::CenterWindow() {
  CRect me;
  GetWindowRect(&me);
  CRect area;
  const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
  HWND parent = ::GetParent(m_hWnd);
  if ((style & WS_CHILD) && parent) {
    ::GetClientRect(parent, &area);
    ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&area), 2);
  } else {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
      ::GetWindowRect(owner, &area);
    else
      ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  }
  int x = area.left + (area.Width() - me.Width()) / 2;
  int y = area.top + (area.Height() - me.Height()) / 2;
  if (style & WS_CHILD) {
    POINT p{x, y};
    ::ScreenToClient(parent, &p);
    x = p.x;
    y = p.y;
  }
  ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::AttachAndSubclass(HWND hwnd) {
  m_hWnd = hwnd;
  ::SetPropA(hwnd, kObjectProp, this);
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWndProc)));
}

void CWnd::DetachAtNcDestroy() {
  ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  ::RemovePropA(m_hWnd, kObjectProp);
  m_hWnd = nullptr;
  // The main window of a thread ends the thread's message loop.
  if (CWinThread* t = AfxGetThread(); t && t->m_pMainWnd == this) {
    t->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* wnd = FromHandlePermanent(hwnd);
  if (!wnd) return ::DefWindowProcA(hwnd, msg, wp, lp);
  const CurrentMessage current{hwnd, msg, wp, lp};
  const CurrentMessage* outer = t_current;
  t_current = &current;
  LRESULT result;
  if (msg == WM_NCDESTROY) {
    result = wnd->Default();
    wnd->DetachAtNcDestroy();
    t_current = outer;
    wnd->PostNcDestroy();  // may delete wnd
    return result;
  }
  result = GuardedWindowProc(wnd, msg, wp, lp);
  t_current = outer;
  return result;
}

// No exception unwinds through the system's code that called a window
// procedure: what a handler throws ends there.
LRESULT CWnd::GuardedWindowProc(CWnd* wnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    return wnd->WindowProc(msg, wp, lp);
  } catch (const std::exception& e) {
    wnd->OnUncaughtException(e.what());
  } catch (...) {
    wnd->OnUncaughtException("an unknown error");
  }
  return 0;
}

LRESULT CWnd::Default() {
  const CurrentMessage* m = t_current;
  if (!m) return 0;
  return m_pfnSuper ? ::CallWindowProcA(m_pfnSuper, m->hwnd, m->msg, m->wp, m->lp)
                    : ::DefWindowProcA(m->hwnd, m->msg, m->wp, m->lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      return OnCreate(reinterpret_cast<LPCREATESTRUCTA>(lp));
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND: {
      CDC dc(reinterpret_cast<HDC>(wp));
      return OnEraseBkgnd(&dc);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      CDC dc(reinterpret_cast<HDC>(wp));
      return reinterpret_cast<LRESULT>(
          OnCtlColor(&dc, reinterpret_cast<HWND>(lp), msg - WM_CTLCOLORMSGBOX));
    }
    case WM_LBUTTONDOWN:
      OnLButtonDown(static_cast<UINT>(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_LBUTTONDBLCLK:
      OnLButtonDblClk(static_cast<UINT>(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<UINT>(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_TIMER:
      OnTimer(wp);
      return 0;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lp);
      // Owner-drawn controls of ours draw themselves.
      if (dis->CtlType != ODT_MENU) {
        if (CWnd* control = FromHandlePermanent(dis->hwndItem)) {
          control->DrawItem(dis);
          return TRUE;
        }
      }
      OnDrawItem(static_cast<int>(wp), dis);
      return TRUE;
    }
    case WM_COMMAND:
      if (OnCommand(wp, lp)) return 0;
      return Default();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wp), CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
      return 0;
    case WM_INITMENU:
      OnInitMenu(reinterpret_cast<HMENU>(wp));
      return 0;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(reinterpret_cast<HMENU>(wp), LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_SYSCOMMAND:
      if (OnSysCommand(static_cast<UINT>(wp & 0xFFF0), lp)) return 0;
      return Default();
    case WM_SIZE:
      OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
      return 0;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lp));
      return 0;
    default:
      return Default();
  }
}

BOOL CWnd::OnCommand(WPARAM, LPARAM) { return FALSE; }
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, HWND, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnContextMenu(HWND, CPoint) { Default(); }
void CWnd::OnInitMenu(HMENU) { Default(); }
void CWnd::OnInitMenuPopup(HMENU, UINT, BOOL) { Default(); }
BOOL CWnd::OnSysCommand(UINT, LPARAM) { return FALSE; }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }

void CWnd::OnUncaughtException(const char* what) {
  // One box at a time: a handler that throws while the box repaints the
  // window must not stack boxes.
  static thread_local bool showing = false;
  if (showing) return;
  showing = true;
  char text[512];
  std::snprintf(text, sizeof text, "%s could not finish what it was doing: %s.", AfxGetAppName(), what);
  ::MessageBoxA(m_hWnd, text, AfxGetAppName(), MB_OK | MB_ICONSTOP);
  showing = false;
}

CreationHook::CreationHook(CWnd* wnd) {
  t_pending = wnd;
  m_hook = ::SetWindowsHookExA(WH_CBT, &CbtProc, nullptr, ::GetCurrentThreadId());
  t_hook = m_hook;
}

CreationHook::~CreationHook() {
  ::UnhookWindowsHookEx(m_hook);
  t_hook = nullptr;
  t_pending = nullptr;
}

LRESULT CALLBACK CreationHook::CbtProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && t_pending) {
    CWnd* wnd = t_pending;
    t_pending = nullptr;  // only the first window: a dialog's controls are not ours
    wnd->AttachAndSubclass(reinterpret_cast<HWND>(wp));
  }
  return ::CallNextHookEx(t_hook, code, wp, lp);
}

BOOL AfxPreTranslateMessage(MSG* msg) {
  for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
    if (CWnd* w = CWnd::FromHandlePermanent(h); w && w->PreTranslateMessage(msg)) return TRUE;
    if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return FALSE;
}

}  // namespace ui
