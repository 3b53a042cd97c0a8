// The safety net of the main window: preview, check, undo, the files from
// before Quorvane, remove, and the backup folder. One table gives each
// command its id, its text and its shortcut key, for the context menu, for
// the end of the system menu and for the accelerator table alike.
#pragma once

#include <windows.h>

#include "commands/InstallCommand.h"
#include "framework/Menu.h"

namespace ui {

// Ids of the commands. They reach the window as WM_COMMAND (context menu,
// keys) or as WM_SYSCOMMAND (system menu), whose four low bits the system
// keeps for itself: each id has them clear, and all lie below SC_SIZE.
enum SafetyCommand : UINT {
  kPreviewCommand = 0x7010,
  kCheckCommand = 0x7020,
  kUndoCommand = 0x7030,
  kOriginalCommand = 0x7040,
  kRemoveCommand = 0x7050,
  kOpenBackupsCommand = 0x7060,
};

bool IsSafetyCommand(UINT id);

// Whether the command can do anything for the folders as choices found
// them: preview, check and remove need valid folders, undo and the
// original copies of ours, the backup folder a folder with copies.
bool CanApply(UINT id, const engine::FolderChoices& choices);

// The context menu: every command, each greyed where it cannot apply.
BOOL CreateSafetyMenu(CMenu* menu, const engine::FolderChoices& choices);

// Appends a separator and every command to a window's system menu once;
// later calls find them there and add nothing.
void AppendSafetyItems(HMENU systemMenu);

// Greys or enables every command in a menu that holds them.
void EnableSafetyItems(HMENU menu, const engine::FolderChoices& choices);

// The shortcut keys of the commands.
BOOL CreateSafetyAccelerators(CAcceleratorTable* table);

}  // namespace ui
