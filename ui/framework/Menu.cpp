#include "Menu.h"

#include "CWnd.h"

namespace ui {

BOOL CMenu::CreatePopupMenu() {
  DestroyMenu();
  m_hMenu = ::CreatePopupMenu();
  return m_hMenu != nullptr;
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu) return FALSE;
  const BOOL destroyed = ::DestroyMenu(m_hMenu);
  m_hMenu = nullptr;
  return destroyed;
}

HMENU CMenu::Detach() {
  HMENU menu = m_hMenu;
  m_hMenu = nullptr;
  return menu;
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) const {
  const BOOL chosen = ::TrackPopupMenu(m_hMenu, flags | TPM_RETURNCMD, x, y, 0, owner->m_hWnd, nullptr);
  return static_cast<UINT>(chosen);
}

BOOL CAcceleratorTable::Create(const ACCEL* keys, int count) {
  Destroy();
  m_hAccel = ::CreateAcceleratorTableA(const_cast<ACCEL*>(keys), count);
  return m_hAccel != nullptr;
}

void CAcceleratorTable::Destroy() {
  if (m_hAccel) ::DestroyAcceleratorTable(m_hAccel);
  m_hAccel = nullptr;
}

BOOL CAcceleratorTable::Translate(HWND window, MSG* msg) const {
  return m_hAccel && ::TranslateAcceleratorA(window, m_hAccel, msg);
}

}  // namespace ui
