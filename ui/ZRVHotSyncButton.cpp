#include "ZRVHotSyncButton.h"

#include "StripLabel.h"
#include "framework/Afx.h"
#include "framework/Dc.h"

namespace ui {

ZRVHotSyncButton::~ZRVHotSyncButton() {
  // The tooltip belongs to this button's window: destroy it first, then the
  // window itself (the base destructor).
  m_tooltip.DestroyWindow();
  DestroyWindow();
}

void ZRVHotSyncButton::CreateButton(LPCSTR moduleName, LPCSTR caption, LPCSTR tooltip, UINT id,
                                    const CRect& placement, CWnd* parent, UINT stripId,
                                    UINT frameWidth) {
  m_pParent = parent;
  m_nID = id;
  m_nFrameWidth = frameWidth;
  m_crText = m_crTextFrame2 = 0;
  m_nTextOffsetX = m_nTextOffsetY = 0;
  m_press = PressState();

  CreateEx(WS_EX_TRANSPARENT, "Button", caption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, placement,
           parent, id);
  MoveWindow(placement.left, placement.top, placement.right, placement.bottom, TRUE);

  // The strip comes from the named module; afterwards resources are read
  // from the running executable again.
  AfxSetResourceHandle(::GetModuleHandleA(moduleName));
  m_pStrip = std::make_unique<CBitmap>();
  m_pStrip->LoadBitmap(MAKEINTRESOURCEA(LOWORD(stripId)));
  char self[255];
  ::GetModuleFileNameA(nullptr, self, 254);
  AfxSetResourceHandle(::GetModuleHandleA(self));

  if (tooltip) {
    m_tooltip.Create(this);
    m_tooltip.Activate(TRUE);
    m_tooltip.AddTool(this, tooltip);
    m_tooltip.SetMaxTipWidth(200);
  }

  m_font.CreatePointFont(80, "MS Sans Serif");
  SetFont(&m_font, TRUE);
}

void ZRVHotSyncButton::CreateFromItem(LPCSTR moduleName, LPCSTR caption, LPCSTR tooltip,
                                      UINT id, CWnd* parent, UINT stripId, UINT frameWidth) {
  HWND item = parent->GetDlgItem(static_cast<int>(id));
  if (!item) return;
  CRect r;
  ::GetWindowRect(item, &r);
  ::MapWindowPoints(nullptr, parent->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
  r.right -= r.left;
  r.bottom -= r.top;
  ::DestroyWindow(item);
  CreateButton(moduleName, caption, tooltip, id, r, parent, stripId, frameWidth);
}

int ZRVHotSyncButton::OnCreate(LPCREATESTRUCTA) { return 1; }

void ZRVHotSyncButton::OnDestroy() {
  KillTimer(kLeaveTimer);
  m_pStrip.reset();
  m_font.DeleteObject();
  CButton::OnDestroy();
}

BOOL ZRVHotSyncButton::OnEraseBkgnd(CDC*) { return TRUE; }

void ZRVHotSyncButton::OnLButtonDown(UINT, CPoint) {
  m_press.Press();
  Invalidate(TRUE);
  // Paint now: the command goes with the first pressed frame, and a quick
  // click whose release is already queued would otherwise be released
  // before any paint, and so never send its command.
  UpdateWindow();
}

// A quick second click is another press (the system's button would take it
// as a double click and capture the mouse).
void ZRVHotSyncButton::OnLButtonDblClk(UINT flags, CPoint point) { OnLButtonDown(flags, point); }

void ZRVHotSyncButton::OnLButtonUp(UINT, CPoint) {
  m_press.Release();
  Invalidate(TRUE);
}

void ZRVHotSyncButton::OnTimer(UINT_PTR) {
  POINT cursor;
  ::GetCursorPos(&cursor);
  CRect r;
  GetWindowRect(&r);
  if (!m_press.Tick(CursorOnButton({r.left, r.top, r.right, r.bottom}, cursor.x, cursor.y)))
    return;
  KillTimer(kLeaveTimer);
  Invalidate(TRUE);
}

void ZRVHotSyncButton::DrawItem(LPDRAWITEMSTRUCT) {
  CClientDC dc(this);
  CRect client;
  GetClientRect(&client);
  const PressState::Draw d = m_press.OnDraw(IsWindowEnabled());
  const bool drawable = client.right != 0 && client.bottom != 0;
  if (d.frame == kFramePressed) {
    if (drawable) DrawFrame(&dc, 0, 0, kKey, d.frame);
    SetTimer(kLeaveTimer, 200);
    // Synchronous: the parent's handler runs while the pressed frame shows.
    if (d.sendCommand) ::SendMessageA(m_pParent->m_hWnd, WM_COMMAND, m_nID, 0);
  } else {
    KillTimer(kLeaveTimer);
    if (drawable) DrawFrame(&dc, 0, 0, kKey, d.frame);
  }
}

void ZRVHotSyncButton::DrawFrame(CDC* dc, int x, int y, COLORREF transparent, int frame) {
  const COLORREF oldBk = dc->SetBkColor(RGB(255, 255, 255));
  const COLORREF oldText = dc->SetTextColor(RGB(0, 0, 0));

  BITMAP bm{};
  if (m_pStrip && m_pStrip->m_hObject) m_pStrip->GetBitmap(&bm);
  const int sw = bm.bmWidth;
  const int sh = bm.bmHeight;
  const int fw = static_cast<int>(m_nFrameWidth);
  const int sx = frame * fw;
  if (sw > 0 && sh > 0) {
    CDC image, mask, work;
    image.CreateCompatibleDC(dc);
    mask.CreateCompatibleDC(dc);
    work.CreateCompatibleDC(dc);
    CBitmap maskBits, workBits;
    maskBits.CreateBitmap(sw, sh, 1, 1, nullptr);
    workBits.CreateBitmap(sw, sh, 1, static_cast<UINT>(dc->GetDeviceCaps(BITSPIXEL)), nullptr);
    ScopedSelect holdImage(image, *m_pStrip);
    ScopedSelect holdMask(mask, maskBits);
    ScopedSelect holdWork(work, workBits);

    // What lies under the button shows through the key pixels.
    work.BitBlt(0, 0, fw, sh, dc, 0, 0, SRCCOPY);
    // Key pixels become 1 in the mask, all others 0.
    image.SetBkColor(transparent);
    mask.BitBlt(0, 0, sw, sh, &image, 0, 0, SRCCOPY);
    // background ^ frame, masked to the key pixels, ^ frame: the frame where
    // it is not the key, the background where it is.
    work.BitBlt(0, 0, fw, sh, &image, sx, 0, SRCINVERT);
    work.BitBlt(0, 0, fw, sh, &mask, sx, 0, SRCAND);
    work.BitBlt(0, 0, fw, sh, &image, sx, 0, SRCINVERT);
    dc->BitBlt(x, y, fw, sh, &work, 0, 0, SRCCOPY);
  }

  char text[200];
  const int len = GetWindowText(text, sizeof text);
  if (len > 0) {
    ScopedSelect holdFont(*dc, m_font);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(frame == kFrameSecondColour ? m_crTextFrame2 : m_crText);
    const CSize extent = dc->GetTextExtent(text, len);
    TEXTMETRICA tm{};
    dc->GetTextMetrics(&tm);
    const LabelPoint at =
        LabelOrigin(fw, sh, extent.cx, tm.tmHeight, m_nTextOffsetX, m_nTextOffsetY);
    LabelPass passes[2];
    const int n = LabelPasses(frame, passes);
    for (int i = 0; i < n; ++i) {
      if (passes[i].colour == LabelPass::Highlight)
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
      else if (passes[i].colour == LabelPass::Shadow)
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
      dc->TextOut(at.x + passes[i].dx, at.y + passes[i].dy, text, len);
    }
  }

  dc->SetBkColor(oldBk);
  dc->SetTextColor(oldText);
}

BOOL ZRVHotSyncButton::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_MOUSEMOVE && m_tooltip.m_hWnd) m_tooltip.RelayEvent(msg);
  return CButton::PreTranslateMessage(msg);
}

}  // namespace ui
