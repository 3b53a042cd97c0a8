// Owners of menus and accelerator tables. Each destroys its handle when it
// goes out of scope; Detach hands it over (a menu given to a window is the
// window's). A window's system menu belongs to the window and is never
// held here. Copying is not allowed.
#pragma once

#include <windows.h>

namespace ui {

class CWnd;

class CMenu {
 public:
  CMenu() = default;
  ~CMenu() { DestroyMenu(); }
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;
  operator HMENU() const { return m_hMenu; }

  BOOL CreatePopupMenu();
  BOOL DestroyMenu();
  HMENU Detach();

  // Shows the menu at (x, y) in screen coordinates, owned by owner, and
  // waits for the user: the chosen command id, or 0 when none was chosen.
  UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) const;
};

class CAcceleratorTable {
 public:
  CAcceleratorTable() = default;
  ~CAcceleratorTable() { Destroy(); }
  CAcceleratorTable(const CAcceleratorTable&) = delete;
  CAcceleratorTable& operator=(const CAcceleratorTable&) = delete;

  HACCEL m_hAccel = nullptr;

  BOOL Create(const ACCEL* keys, int count);
  void Destroy();
  // TranslateAccelerator for window: TRUE when msg was one of the keys and
  // has been sent to the window as a command.
  BOOL Translate(HWND window, MSG* msg) const;
};

}  // namespace ui
