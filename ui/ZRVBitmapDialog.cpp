#include "ZRVBitmapDialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "ShapeRuns.h"
#include "framework/Dc.h"

namespace ui {

ZRVBitmapDialog::ZRVBitmapDialog(LPCSTR templateName, CWnd* parent, LPCSTR bitmapName,
                                 UINT bitmapId, CBitmap* bitmap)
    : CDialog(templateName, parent) {
  Init(bitmapName, bitmapId, bitmap);
}

ZRVBitmapDialog::ZRVBitmapDialog(UINT templateId, CWnd* parent, LPCSTR bitmapName,
                                 UINT bitmapId, CBitmap* bitmap)
    : CDialog(templateId, parent) {
  Init(bitmapName, bitmapId, bitmap);
}

ZRVBitmapDialog::ZRVBitmapDialog(LPCSTR bitmapName, UINT bitmapId, CBitmap* bitmap) {
  Init(bitmapName, bitmapId, bitmap);
}

void ZRVBitmapDialog::Init(LPCSTR bitmapName, UINT bitmapId, CBitmap* bitmap) {
  m_hHollowBrush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  if (bitmapName) SetBitmap(bitmapName, nullptr);
  else if (bitmapId) SetBitmap(bitmapId);
  else if (bitmap) AttachBitmap(bitmap);
}

ZRVBitmapDialog::~ZRVBitmapDialog() { ReleaseBitmap(); }

BOOL ZRVBitmapDialog::SetBitmap(UINT id) { return SetBitmap(MAKEINTRESOURCEA(id), nullptr); }

BOOL ZRVBitmapDialog::SetBitmap(LPCSTR resourceName, LPCSTR fileName) {
  ReleaseBitmap();
  if (resourceName) {
    auto bitmap = std::make_unique<CBitmap>();
    if (!bitmap->LoadBitmap(resourceName)) return FALSE;
    m_ownedBitmap = std::move(bitmap);
    m_pBitmap = m_ownedBitmap.get();
    m_bOwnBitmap = TRUE;
    m_bHasBitmap = TRUE;
    UpdateShape();
    return TRUE;
  }
  CBitmap loaded;
  loaded.Attach(::LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0,
                             LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!loaded.m_hObject) return FALSE;
  return CopyBitmap(&loaded);  // `loaded` is released on return
}

BOOL ZRVBitmapDialog::CopyBitmap(CBitmap* source) {
  ReleaseBitmap();
  BITMAP bm{};
  source->GetBitmap(&bm);
  CDC a;
  a.CreateCompatibleDC(nullptr);
  auto copy = std::make_unique<CBitmap>();
  {
    ScopedSelect holdSource(a, *source);
    // Compatible with the DC that holds the source: the copy takes its format.
    if (!copy->CreateCompatibleBitmap(&a, bm.bmWidth, bm.bmHeight)) return FALSE;
    CDC b;
    b.CreateCompatibleDC(nullptr);
    ScopedSelect holdCopy(b, *copy);
    b.BitBlt(0, 0, bm.bmWidth, bm.bmHeight, &a, 0, 0, SRCCOPY);
  }
  m_ownedBitmap = std::move(copy);
  m_pBitmap = m_ownedBitmap.get();
  m_bOwnBitmap = TRUE;
  m_bHasBitmap = TRUE;
  UpdateShape();
  return TRUE;
}

void ZRVBitmapDialog::AttachBitmap(CBitmap* bitmap) {
  ReleaseBitmap();
  m_pBitmap = bitmap;
  m_bHasBitmap = TRUE;
  UpdateShape();
}

void ZRVBitmapDialog::ReleaseBitmap() {
  if (m_bOwnBitmap) {
    m_ownedBitmap.reset();
    m_bOwnBitmap = FALSE;
  }
  m_pBitmap = nullptr;
  m_bHasBitmap = FALSE;
}

void ZRVBitmapDialog::SetShaped(BOOL shaped) {
  m_bShaped = shaped;
  UpdateShape();
}

void ZRVBitmapDialog::SetColorKey(COLORREF key) {
  m_crColorKey = key;
  UpdateShape();
}

void ZRVBitmapDialog::ApplyRegion(HRGN rgn) {
  // The window owns the region from here on.
  if (SetWindowRgn(rgn, TRUE) == 0) ::DeleteObject(rgn);
}

void ZRVBitmapDialog::UpdateShape() {
  if (!m_hWnd) return;
  CRect window;
  GetWindowRect(&window);
  if (!m_bShaped || !m_bHasBitmap || !m_pBitmap) {
    // Shaping off (or nothing to shape by): the whole window.
    CRgn whole;
    whole.CreateRectRgn(0, 0, window.Width(), window.Height());
    ApplyRegion(static_cast<HRGN>(whole.Detach()));
    return;
  }
  CRect client;
  GetClientRect(&client);

  // Read the bitmap's pixels as 32-bit rows, a band of rows at a time into
  // one small buffer, and scan them in memory: far cheaper than one GetPixel
  // per pixel, and no large allocation per call. The bitmap must not be
  // selected into a device context meanwhile (GetDIBits).
  BITMAP bm{};
  m_pBitmap->GetBitmap(&bm);
  const int w = bm.bmWidth;
  const int h = std::min<int>(bm.bmHeight, client.Height());
  constexpr int kBand = 16;
  std::vector<std::uint32_t> band(static_cast<size_t>(std::max(w, 0)) * kBand);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = bm.bmHeight;  // bottom-up: scan line 0 is the bottom row
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  const ColorKey key(m_crColorKey);
  std::vector<RunRect> runs;
  {
    CClientDC screen(nullptr);
    for (int y0 = 0; y0 < h; y0 += kBand) {
      const int rows = std::min(kBand, h - y0);
      // Rows y0 .. y0 + rows - 1 from the top, stored bottom row first.
      const UINT firstScan = static_cast<UINT>(bm.bmHeight - (y0 + rows));
      if (::GetDIBits(screen, *m_pBitmap, firstScan, static_cast<UINT>(rows), band.data(), &bi,
                      DIB_RGB_COLORS) != rows)
        break;
      const PixelGrid grid{band.data() + static_cast<size_t>(rows - 1) * w, w, rows, -w};
      const std::vector<RunRect> part =
          BuildShapeRuns(grid, client.Width(), rows, key, client.left, client.top + y0);
      runs.insert(runs.end(), part.begin(), part.end());
    }
  }
  // Equal neighbouring rows are passed as one band: the same region, built
  // several times faster.
  runs = MergeEqualRows(runs);

  // One RECT per rectangle, in the banded order ExtCreateRegion expects.
  std::vector<RECT> rects(runs.size());
  for (size_t i = 0; i < runs.size(); ++i)
    rects[i] = RECT{runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
  CRgn shape;
  shape.CreateFromRects(rects.data(), static_cast<int>(rects.size()));
  ApplyRegion(static_cast<HRGN>(shape.Detach()));
}

BOOL ZRVBitmapDialog::OnInitDialog() {
  if (m_bShaped) UpdateShape();
  return TRUE;
}

BOOL ZRVBitmapDialog::OnEraseBkgnd(CDC* dc) {
  if (!m_bHasBitmap || !m_pBitmap) return CDialog::OnEraseBkgnd(dc);
  CRect client;
  GetClientRect(&client);
  CDC mem;
  mem.CreateCompatibleDC(dc);
  ScopedSelect hold(mem, *m_pBitmap);
  dc->BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
  return TRUE;
}

void ZRVBitmapDialog::OnLButtonDown(UINT flags, CPoint point) {
  CDialog::OnLButtonDown(flags, point);
  // The default window procedure takes a press on the caption as the start
  // of a move that follows the mouse until the button is released.
  if (m_bDragAnywhere) PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}

HBRUSH ZRVBitmapDialog::OnCtlColor(CDC* dc, HWND control, UINT nCtlColor) {
  HBRUSH base = CDialog::OnCtlColor(dc, control, nCtlColor);
  if (nCtlColor == CTLCOLOR_LISTBOX) {
    if (!m_listBoxBrush.m_hObject) m_listBoxBrush.CreateSolidBrush(RGB(214, 211, 206));
    return m_listBoxBrush;
  }
  if (m_bTransparentStatics && nCtlColor == CTLCOLOR_STATIC) {
    char cls[256];
    ::GetClassNameA(control, cls, 255);
    if (std::strcmp(cls, "msctls_trackbar32") == 0) return base;
    dc->SetBkMode(TRANSPARENT);
    return m_hHollowBrush;
  }
  return base;
}

}  // namespace ui
