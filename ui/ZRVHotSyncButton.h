// A push button drawn from a horizontal strip of equal-width bitmap frames
// (0 normal, 3 pressed, 4 disabled) with magenta pixels transparent, and a
// centred label. It sends its command the moment it is pressed (when the
// pressed frame is first drawn), once per press; while it is held a 200 ms
// timer checks whether the mouse has left it, which cancels the press.
#pragma once

#include <memory>

#include "PressState.h"
#include "framework/CButton.h"
#include "framework/CToolTipCtrl.h"
#include "framework/Gdi.h"

namespace ui {

class ZRVHotSyncButton : public CButton {
 public:
  ZRVHotSyncButton() = default;
  ~ZRVHotSyncButton() override;

  // placement: left and top are the position in the parent's client area,
  // right and bottom the width and height. The strip is the bitmap resource
  // stripId of the module named moduleName; tooltip may be null.
  void CreateButton(LPCSTR moduleName, LPCSTR caption, LPCSTR tooltip, UINT id,
                    const CRect& placement, CWnd* parent, UINT stripId, UINT frameWidth);
  // Takes the place of the parent's control with this id (nothing happens
  // when there is none).
  void CreateFromItem(LPCSTR moduleName, LPCSTR caption, LPCSTR tooltip, UINT id,
                      CWnd* parent, UINT stripId, UINT frameWidth);

  void SetTextColors(COLORREF text, COLORREF textFrame2) {
    m_crText = text;
    m_crTextFrame2 = textFrame2;
  }
  void SetTextOffset(int dx, int dy) {
    m_nTextOffsetX = dx;
    m_nTextOffsetY = dy;
  }
  // 0 releases, 1 presses, other values change nothing; no redraw.
  void SetPressed(int state) { m_press.Set(state); }

  // Draws frame `frame` of the strip at (x, y) of dc, pixels of colour
  // `transparent` showing what dc already holds, and the label over it.
  void DrawFrame(CDC* dc, int x, int y, COLORREF transparent, int frame);

  BOOL PreTranslateMessage(MSG* msg) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  bool IsPressed() const { return m_press.Pressed(); }
  bool HasTooltip() const { return m_tooltip.m_hWnd != nullptr; }
  HWND TooltipWindow() const { return m_tooltip.m_hWnd; }

 protected:
  int OnCreate(LPCREATESTRUCTA cs) override;
  void OnDestroy() override;
  void OnTimer(UINT_PTR id) override;
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnLButtonUp(UINT flags, CPoint point) override;

 private:
  static constexpr UINT_PTR kLeaveTimer = 1;
  static constexpr COLORREF kKey = RGB(255, 0, 255);

  CWnd* m_pParent = nullptr;
  CFont m_font;
  COLORREF m_crText = 0;
  COLORREF m_crTextFrame2 = 0;
  CToolTipCtrl m_tooltip;
  std::unique_ptr<CBitmap> m_pStrip;
  PressState m_press;
  UINT m_nFrameWidth = 0;
  UINT m_nID = 0;
  int m_nTextOffsetX = 0;
  int m_nTextOffsetY = 0;
};

}  // namespace ui
