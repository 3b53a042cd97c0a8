// A dialog skinned with a bitmap: the bitmap is painted as the whole
// background, the window's outline can follow the bitmap's pixels that are
// not of a key colour, static controls can be drawn without a background,
// and the dialog can be dragged by any point of its surface.
#pragma once

#include <memory>

#include "framework/CDialog.h"
#include "framework/Gdi.h"

namespace ui {

class ZRVBitmapDialog : public CDialog {
 public:
  // Each constructor takes, after the base's arguments, up to three
  // background sources; the first one given is used: a resource name, a
  // resource id, or a bitmap that stays the caller's.
  ZRVBitmapDialog(LPCSTR templateName, CWnd* parent, LPCSTR bitmapName = nullptr,
                  UINT bitmapId = 0, CBitmap* bitmap = nullptr);
  ZRVBitmapDialog(UINT templateId, CWnd* parent, LPCSTR bitmapName = nullptr,
                  UINT bitmapId = 0, CBitmap* bitmap = nullptr);
  explicit ZRVBitmapDialog(LPCSTR bitmapName = nullptr, UINT bitmapId = 0,
                           CBitmap* bitmap = nullptr);
  ~ZRVBitmapDialog() override;

  // Loads an owned background from the resources (AfxGetResourceHandle).
  BOOL SetBitmap(UINT id);
  // From the resource name when given, else from the bitmap file.
  BOOL SetBitmap(LPCSTR resourceName, LPCSTR fileName);
  // An owned copy of source; source stays the caller's.
  BOOL CopyBitmap(CBitmap* source);
  // Uses the caller's bitmap, which must outlive its use here.
  void AttachBitmap(CBitmap* bitmap);
  // Drops the background (deleting it when owned); the shape stays.
  void ReleaseBitmap();

  void SetShaped(BOOL shaped);
  void SetColorKey(COLORREF key);
  void SetTransparentStatics(BOOL transparent) { m_bTransparentStatics = transparent; }
  void SetDragAnywhere(BOOL drag) { m_bDragAnywhere = drag; }

  // Builds the window region and applies it: the whole window when shaping
  // is off, else the runs of non-key pixels of the background over the part
  // of it that the client area covers. Before the window exists it does
  // nothing (OnInitDialog then applies a shape switched on earlier).
  void UpdateShape();

  BOOL OnInitDialog() override;

 protected:
  BOOL OnEraseBkgnd(CDC* dc) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  HBRUSH OnCtlColor(CDC* dc, HWND control, UINT nCtlColor) override;

 private:
  void Init(LPCSTR bitmapName, UINT bitmapId, CBitmap* bitmap);
  void ApplyRegion(HRGN rgn);

  BOOL m_bShaped = FALSE;
  BOOL m_bTransparentStatics = TRUE;
  HBRUSH m_hHollowBrush;  // stock object, never deleted
  COLORREF m_crColorKey = CLR_INVALID;  // matches no pixel until set
  BOOL m_bDragAnywhere = FALSE;
  BOOL m_bOwnBitmap = FALSE;
  BOOL m_bHasBitmap = FALSE;
  CBitmap* m_pBitmap = nullptr;
  std::unique_ptr<CBitmap> m_ownedBitmap;  // holds m_pBitmap while m_bOwnBitmap
  CBrush m_listBoxBrush;                   // made at the first list-box request
};

}  // namespace ui
