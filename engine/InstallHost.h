#pragma once

#include <cstddef>

// What the engine needs of the window that runs its commands. The dialog
// implements it on its real controls; the command-line front end and the
// tests implement it on plain data. The engine never sees a window type.

// Control ids of the main dialog that the engine addresses by number.
enum : int {
  kAirlineListId = 3000,
  kFsFolderFieldId = 4000,
  kSquawkBoxFolderFieldId = 5000,
  kAirlineProgressId = 8000,
  kOverallProgressId = 8001,
};

// Why a message is shown; the front end picks buttons, icon and caption
// from it (and a terminal front end the stream it prints to).
enum class MessageKind {
  Confirmation,   // OK and Cancel, exclamation icon, application name as caption
  Failure,        // OK, exclamation icon, application name as caption
  Success,        // OK, exclamation icon, application name as caption
  AskCreateFolder,// Yes and No, no icon, task-modal, the caption is given
  FolderFailure,  // OK, no icon, task-modal, the caption is given
};

enum class Answer { Ok, Cancel, Yes, No };

class InstallHost {
 public:
  virtual ~InstallHost() = default;

  // caption is null for the kinds that carry the application name.
  virtual Answer ShowMessage(MessageKind kind, const char* text, const char* caption) = 0;

  // Copies the text of folder field 4000 or 5000 into buf (at most cap - 1
  // characters and a terminator).
  virtual void GetFolderText(int fieldId, char* buf, std::size_t cap) = 0;
  virtual void SetFolderText(int fieldId, const char* text) = 0;

  // Shows the folder browser with the title, the initial selection (none
  // when empty) and the whole namespace as root. True when a file-system
  // folder was chosen; its full path is then in result.
  virtual bool BrowseForFolder(const char* title, const char* initialSelection, char* result, std::size_t cap) = 0;

  // The airline list (3000).
  virtual void ResetList() = 0;
  virtual void AddListEntry(const char* text) = 0;
  virtual int ListCount() = 0;
  virtual bool IsListEntrySelected(int index) = 0;
  // Copies entry `index` into buf, cut to cap - 1 characters.
  virtual void GetListEntry(int index, char* buf, std::size_t cap) = 0;

  // Progress bars 8000 and 8001.
  virtual void SetProgressRange(int barId, int lower, int upper) = 0;
  virtual void SetProgressPos(int barId, int pos) = 0;

  virtual void SetWaitCursor() = 0;
  virtual void Pause(unsigned milliseconds) = 0;
  virtual void ShowWaitBox(const char* text) = 0;
  virtual void CloseWaitBox() = 0;
};
