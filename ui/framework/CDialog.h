// A dialog from a template of the resource module (AfxGetResourceHandle).
// DoModal runs our own modal loop, so PreTranslateMessage of the dialog and
// of its controls sees every message; EndDialog ends it. IDOK and IDCANCEL
// go to the virtual OnOK and OnCancel.
#pragma once

#include "CWnd.h"

namespace ui {

class CDialog : public CWnd {
 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr);

  virtual INT_PTR DoModal();
  // Modeless: the window stays until DestroyWindow (or the object goes).
  BOOL Create(UINT templateId, CWnd* parent = nullptr);
  BOOL Create(LPCSTR templateName, CWnd* parent = nullptr);
  void EndDialog(int result);

  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  BOOL OnCommand(WPARAM wp, LPARAM lp) override;

  LPCSTR m_lpszTemplateName = nullptr;
  CWnd* m_pParentWnd = nullptr;

 private:
  HWND CreateFromTemplate(LPCSTR templateName, HWND parent);
  static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);

  bool m_bInModalLoop = false;
  bool m_bEndModal = false;
  INT_PTR m_nModalResult = -1;
};

}  // namespace ui
