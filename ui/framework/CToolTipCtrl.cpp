#include "CToolTipCtrl.h"

#include <commctrl.h>

namespace ui {

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | style, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->m_hWnd : nullptr,
                  nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text) {
  TOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = ::GetParent(wnd->m_hWnd);
  ti.uId = reinterpret_cast<UINT_PTR>(wnd->m_hWnd);
  ti.lpszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

}  // namespace ui
