#include "FolderSettings.h"

#include "FileSystem.h"
#include "InstallHost.h"
#include "Profile.h"
#include "TextFile.h"

namespace {

constexpr std::size_t kFolderSize = 300;

struct FolderField {
  int fieldId;
  const char* profileKey;
  const char* markerFile;
  const char* browserTitle;
  const char* wrongFolderText;
};

constexpr FolderField kFsField = {
    kFsFolderFieldId, kFsProfileKey, "FS2002.exe", "Please select the FS2002 Main-Directory",
    "This is not the correct FS 2002 directory !\n\nPlease try again !"};
constexpr FolderField kSquawkBoxField = {
    kSquawkBoxFolderFieldId, kSquawkBoxProfileKey, "CSL_ICAO.csv", "Please select the SquawkBox Main-Directory",
    "This is not the correct SquawkBox directory !\n\nPlease try again !"};

// A folder is the right one exactly when its marker file opens for reading.
bool HoldsMarker(const char* folder, const char* markerFile) {
  if (!plat::SetCurrentFolder(folder)) return false;
  plat::TextFile marker;
  return marker.Open(markerFile, plat::TextFile::Mode::Read);
}

void BrowseFolder(InstallHost& host, const FolderField& field) {
  char current[kFolderSize];
  host.GetFolderText(field.fieldId, current, sizeof current);
  char chosen[kFolderSize] = {};
  // A cancelled or failed browse must not erase the remembered folder.
  if (!host.BrowseForFolder(field.browserTitle, current, chosen, sizeof chosen)) return;

  if (HoldsMarker(chosen, field.markerFile)) {
    host.SetFolderText(field.fieldId, chosen);
  } else {
    host.ShowMessage(MessageKind::Failure, field.wrongFolderText, nullptr);
  }
  // A rejected folder is remembered too: the next start shows it.
  plat::WriteProfileValue(kProfileSection, field.profileKey, chosen, kProfileName);
}

void LoadField(InstallHost& host, const FolderField& field) {
  char value[kFolderSize];
  plat::ReadProfileValue(kProfileSection, field.profileKey, "", value, sizeof value, kProfileName);
  host.SetFolderText(field.fieldId, value);
}

}  // namespace

void LoadFolderFields(InstallHost& host) {
  LoadField(host, kFsField);
  LoadField(host, kSquawkBoxField);
}

void OnBrowseFsFolder(InstallHost& host) { BrowseFolder(host, kFsField); }

void OnBrowseSquawkBoxFolder(InstallHost& host) { BrowseFolder(host, kSquawkBoxField); }
