#pragma once

#include <string>

namespace engine {

// The two folders the user names, remembered in the profile "Quorvane.ini",
// section "PATH": "FLUSI" for the FS2002 folder, "SQUAWK" for SquawkBox.
inline constexpr const char kProfileName[] = "Quorvane.ini";
inline constexpr const char kProfileSection[] = "PATH";
inline constexpr const char kFsProfileKey[] = "FLUSI";
inline constexpr const char kSquawkBoxProfileKey[] = "SQUAWK";

enum class FolderKind { Fs, SquawkBox };

// What the profile holds for both folders, whatever it is, each cut to the
// 299 characters a field is filled with.
struct RememberedFolders {
  std::string fsFolder;
  std::string squawkBoxFolder;
};
RememberedFolders LoadFolderFields();

// What the "..." commands need of the dialog: its two folder fields, the
// folder browser, and the message box that rejects a folder.
class FolderFieldHost {
 public:
  virtual ~FolderFieldHost() = default;
  virtual std::string FieldText(FolderKind field) = 0;
  virtual void SetFieldText(FolderKind field, const char* text) = 0;
  // The browser with the title, the initial selection (none when empty) and
  // the whole namespace as root. True when a file-system folder was chosen;
  // its full path is then in *chosen.
  virtual bool BrowseForFolder(const char* title, const char* initialSelection, std::string* chosen) = 0;
  // OK, exclamation icon, the application name as caption.
  virtual void ShowWrongFolder(const char* text) = 0;

  // Whether the user was told that the folders could not be remembered:
  // that is said once in the life of the host (the dialog's is the
  // program's), not at every browse.
  bool toldFoldersNotRemembered = false;
};

// The "..." commands: browse for the folder, accept it into its field when
// it holds the folder's marker file (FS2002.exe, CSL_ICAO.csv), and
// remember the chosen folder. A cancelled browse changes nothing. When the
// profile cannot be written (a limited account on Windows XP may not
// write in the Windows folder), the user is told once, with the file and
// the reason, and the field keeps the folder for this session.
void OnBrowseFsFolder(FolderFieldHost& host);
void OnBrowseSquawkBoxFolder(FolderFieldHost& host);

}  // namespace engine
