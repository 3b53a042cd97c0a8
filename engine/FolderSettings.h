#pragma once

class InstallHost;

// The two folders the user names, remembered in the profile "Quorvane.ini",
// section "PATH": "FLUSI" for the FS2002 folder, "SQUAWK" for SquawkBox.
inline constexpr const char kProfileName[] = "Quorvane.ini";
inline constexpr const char kProfileSection[] = "PATH";
inline constexpr const char kFsProfileKey[] = "FLUSI";
inline constexpr const char kSquawkBoxProfileKey[] = "SQUAWK";

// Fills both folder fields from the profile, whatever it holds.
void LoadFolderFields(InstallHost& host);

// The "..." commands: browse for the folder, accept it into its field when
// it holds the folder's marker file (FS2002.exe, CSL_ICAO.csv), and
// remember the chosen folder. A cancelled browse changes nothing.
void OnBrowseFsFolder(InstallHost& host);
void OnBrowseSquawkBoxFolder(InstallHost& host);
