// Base of our window classes. A CWnd owns its window: the destructor
// destroys a window that still exists. The window is attached to the
// object at its very first message (a creation hook subclasses it), so
// every message, WM_NCCREATE and WM_CREATE included, goes through
// WindowProc, whose single switch calls the OnXxx handlers; a handler that
// is not overridden passes the message on to the window class's own
// procedure (Default).
#pragma once

#include <windows.h>

#include "CRect.h"

namespace ui {

class CDC;
class CFont;

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // The object attached to a window by us, or null.
  static CWnd* FromHandlePermanent(HWND hwnd);

  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menuOrId,
                LPVOID param = nullptr);
  // rect holds left, top, right and bottom as usual.
  BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                const RECT& rect, CWnd* parent, UINT id, LPVOID param = nullptr);
  virtual BOOL DestroyWindow();

  // Thin forwards to the window functions.
  void GetClientRect(RECT* r) const { ::GetClientRect(m_hWnd, r); }
  void GetWindowRect(RECT* r) const { ::GetWindowRect(m_hWnd, r); }
  void MoveWindow(int x, int y, int w, int h, BOOL repaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, w, h, repaint);
  }
  BOOL SetWindowPos(HWND after, int x, int y, int w, int h, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, w, h, flags);
  }
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  void SetWindowText(LPCSTR text) { ::SetWindowTextA(m_hWnd, text); }
  int GetWindowText(LPSTR buf, int cap) const { return ::GetWindowTextA(m_hWnd, buf, cap); }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return ::SendMessageA(m_hWnd, msg, wp, lp);
  }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return ::PostMessageA(m_hWnd, msg, wp, lp);
  }
  HICON SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                                               reinterpret_cast<LPARAM>(icon)));
  }
  void SetFont(CFont* font, BOOL redraw = TRUE);
  // The window owns the region afterwards.
  int SetWindowRgn(HRGN rgn, BOOL redraw) { return ::SetWindowRgn(m_hWnd, rgn, redraw); }
  // Centres a child on its parent, an owned window on its visible owner, any
  // other window on the primary screen's work area.
  void CenterWindow();

  // Called by the message loops before a message is dispatched; TRUE means
  // the message is consumed.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Called after the window's last message; the object may delete itself.
  virtual void PostNcDestroy() {}
  // Owner drawing reflected from the parent's WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // The message being handled, passed on to the window class's procedure.
  LRESULT Default();

  // WM_COMMAND; TRUE when handled.
  virtual BOOL OnCommand(WPARAM wp, LPARAM lp);
  virtual int OnCreate(LPCREATESTRUCTA cs);
  virtual void OnDestroy();
  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  // nCtlColor is CTLCOLOR_MSGBOX ... CTLCOLOR_STATIC.
  virtual HBRUSH OnCtlColor(CDC* dc, HWND control, UINT nCtlColor);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnDrawItem(int id, LPDRAWITEMSTRUCT dis);
  virtual HCURSOR OnQueryDragIcon();
  // WM_CONTEXTMENU: window is where the user asked (the control that passed
  // the request up, or this window); point is in screen coordinates, or
  // (-1, -1) when the keyboard asked.
  virtual void OnContextMenu(HWND window, CPoint point);
  virtual void OnInitMenu(HMENU menu);
  virtual void OnInitMenuPopup(HMENU popup, UINT index, BOOL sysMenu);
  // WM_SYSCOMMAND; TRUE when handled. id has its four low bits cleared.
  virtual BOOL OnSysCommand(UINT id, LPARAM lp);
  virtual void OnSize(UINT type, int cx, int cy);
  virtual void OnGetMinMaxInfo(MINMAXINFO* info);
  // An exception that reached this window's procedure: it goes no further
  // (it would unwind through the system's code). Tells the user what
  // failed; the message is answered with 0.
  virtual void OnUncaughtException(const char* what);

  WNDPROC m_pfnSuper = nullptr;

 private:
  friend class CreationHook;
  friend class CDialog;
  void AttachAndSubclass(HWND hwnd);
  void DetachAtNcDestroy();
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT GuardedWindowProc(CWnd* wnd, UINT msg, WPARAM wp, LPARAM lp);
};

// While alive, the next window created on this thread is attached to wnd.
class CreationHook {
 public:
  explicit CreationHook(CWnd* wnd);
  ~CreationHook();
  CreationHook(const CreationHook&) = delete;
  CreationHook& operator=(const CreationHook&) = delete;

 private:
  HHOOK m_hook;
  static LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp);
};

}  // namespace ui
