#include "SafetyMenu.h"

namespace ui {

using engine::FolderChoices;
using engine::KeptCopies;

namespace {

struct SafetyItem {
  UINT id;
  const char* text;  // with its shortcut after a tab
  BYTE modifiers;    // FCONTROL, FSHIFT
  WORD key;
  bool separatorBefore;
};

// The mnemonics (P, F, U, B, A, O) are none of the system menu's own
// (Restore, Move, Size, Minimize, Maximize, Close), so one press chooses.
const SafetyItem kItems[] = {
    {kPreviewCommand, "&Preview the install...\tCtrl+P", FCONTROL, 'P', false},
    {kCheckCommand, "Check my &files...\tCtrl+K", FCONTROL, 'K', false},
    {kUndoCommand, "&Undo the last install...\tCtrl+Z", FCONTROL, 'Z', true},
    {kOriginalCommand, "&Back to the files from before Quorvane...\tCtrl+Shift+Z", FCONTROL | FSHIFT, 'Z', false},
    {kRemoveCommand, "Remove &all Quorvane entries...\tCtrl+R", FCONTROL, 'R', false},
    {kOpenBackupsCommand, "&Open the backup folder\tCtrl+B", FCONTROL, 'B', true},
};

bool CanPutBack(KeptCopies copies) { return copies == KeptCopies::Restorable || copies == KeptCopies::Refused; }

void AppendItems(HMENU menu) {
  for (const SafetyItem& item : kItems) {
    if (item.separatorBefore) ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, item.id, item.text);
  }
}

}  // namespace

bool IsSafetyCommand(UINT id) {
  for (const SafetyItem& item : kItems) {
    if (item.id == id) return true;
  }
  return false;
}

bool CanApply(UINT id, const FolderChoices& choices) {
  switch (id) {
    case kPreviewCommand:
    case kCheckCommand:
    case kRemoveCommand: return choices.foldersValid;
    case kUndoCommand: return CanPutBack(choices.lastRun);
    case kOriginalCommand: return CanPutBack(choices.original);
    case kOpenBackupsCommand: return !choices.backupFolders.empty();
    default: return false;
  }
}

BOOL CreateSafetyMenu(CMenu* menu, const FolderChoices& choices) {
  if (!menu->CreatePopupMenu()) return FALSE;
  AppendItems(*menu);
  EnableSafetyItems(*menu, choices);
  return TRUE;
}

void AppendSafetyItems(HMENU systemMenu) {
  if (!systemMenu || ::GetMenuState(systemMenu, kItems[0].id, MF_BYCOMMAND) != static_cast<UINT>(-1)) return;
  ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendItems(systemMenu);
}

void EnableSafetyItems(HMENU menu, const FolderChoices& choices) {
  for (const SafetyItem& item : kItems) {
    ::EnableMenuItem(menu, item.id, MF_BYCOMMAND | (CanApply(item.id, choices) ? MF_ENABLED : MF_GRAYED));
  }
}

BOOL CreateSafetyAccelerators(CAcceleratorTable* table) {
  ACCEL keys[sizeof kItems / sizeof kItems[0]];
  int count = 0;
  for (const SafetyItem& item : kItems) {
    keys[count++] = ACCEL{static_cast<BYTE>(FVIRTKEY | item.modifiers), item.key, static_cast<WORD>(item.id)};
  }
  return table->Create(keys, count);
}

}  // namespace ui
