#include "CDialog.h"

#include "Afx.h"

namespace ui {

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEA(templateId)), m_pParentWnd(parent) {}

CDialog::CDialog(LPCSTR templateName, CWnd* parent)
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

// Our window procedure handles every message first; the dialog manager's
// own procedure reaches this one only through Default(), which means "not
// handled here".
INT_PTR CALLBACK CDialog::DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND CDialog::CreateFromTemplate(LPCSTR templateName, HWND parent) {
  CreationHook hook(this);
  return ::CreateDialogParamA(AfxGetResourceHandle(), templateName, parent, &DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  return Create(MAKEINTRESOURCEA(templateId), parent);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* parent) {
  m_lpszTemplateName = templateName;
  m_pParentWnd = parent;
  return CreateFromTemplate(templateName, parent ? parent->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
  HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  m_bEndModal = false;
  m_nModalResult = -1;
  m_bInModalLoop = true;
  if (!CreateFromTemplate(m_lpszTemplateName, parent)) {
    m_bInModalLoop = false;
    return -1;
  }
  const bool reenable = parent && ::IsWindowEnabled(parent);
  if (reenable) ::EnableWindow(parent, FALSE);
  if (!m_bEndModal && m_hWnd && !::IsWindowVisible(m_hWnd)) ShowWindow(SW_SHOW);

  MSG msg;
  while (!m_bEndModal && m_hWnd) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {  // leave the quit request to the outer loop
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (AfxPreTranslateMessage(&msg)) continue;
    if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }

  if (reenable) {
    ::EnableWindow(parent, TRUE);
    ::SetActiveWindow(parent);
  }
  DestroyWindow();
  m_bInModalLoop = false;
  return m_nModalResult;
}

void CDialog::EndDialog(int result) {
  if (m_bInModalLoop) {
    m_nModalResult = result;
    m_bEndModal = true;
    if (m_hWnd) {
      ShowWindow(SW_HIDE);
      PostMessage(WM_NULL);  // wake the modal loop
    }
  } else if (m_hWnd) {
    ::EndDialog(m_hWnd, result);
  }
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_INITDIALOG) return CWnd::WindowProc(msg, wp, lp);
  CRect before;
  GetWindowRect(&before);
  BOOL result = OnInitDialog();
  // A top-level dialog that its initialisation left hidden and in place is
  // centred (its template position is usually 0, 0).
  const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
  if (!(style & (WS_CHILD | WS_VISIBLE))) {
    CRect after;
    GetWindowRect(&after);
    if (after.left == before.left && after.top == before.top) CenterWindow();
  }
  return result;
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM) {
  switch (LOWORD(wp)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
  }
}

}  // namespace ui
