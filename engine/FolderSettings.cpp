#include "FolderSettings.h"

#include "Folders.h"
#include "InstallContext.h"
#include "Profile.h"
#include "Text.h"

namespace engine {

namespace {

struct FolderField {
  FolderKind kind;
  const char* profileKey;
  const char* markerFile;
  const char* browserTitle;
  const char* wrongFolderText;
};

constexpr FolderField kFsField = {
    FolderKind::Fs, kFsProfileKey, kFsMarker, "Please select the FS2002 Main-Directory",
    "This is not the correct FS 2002 directory !\n\nPlease try again !"};
constexpr FolderField kSquawkBoxField = {
    FolderKind::SquawkBox, kSquawkBoxProfileKey, kSquawkBoxMarker, "Please select the SquawkBox Main-Directory",
    "This is not the correct SquawkBox directory !\n\nPlease try again !"};

void BrowseFolder(FolderFieldHost& host, const FolderField& field) {
  char current[kPathSize];
  CopyText(current, host.FieldText(field.kind).c_str());
  std::string chosen;
  // A cancelled or failed browse must not erase the remembered folder.
  if (!host.BrowseForFolder(field.browserTitle, current, &chosen)) return;

  if (HoldsMarkerFile(chosen.c_str(), field.markerFile)) {
    host.SetFieldText(field.kind, chosen.c_str());
  } else {
    host.ShowWrongFolder(field.wrongFolderText);
  }
  // A rejected folder is remembered too: the next start shows it.
  plat::WriteProfileValue(kProfileSection, field.profileKey, chosen.c_str(), kProfileName);
}

std::string ProfileValue(const FolderField& field) {
  char value[kPathSize];
  plat::ReadProfileValue(kProfileSection, field.profileKey, "", value, sizeof value, kProfileName);
  return value;
}

}  // namespace

RememberedFolders LoadFolderFields() { return RememberedFolders{ProfileValue(kFsField), ProfileValue(kSquawkBoxField)}; }

void OnBrowseFsFolder(FolderFieldHost& host) { BrowseFolder(host, kFsField); }

void OnBrowseSquawkBoxFolder(FolderFieldHost& host) { BrowseFolder(host, kSquawkBoxField); }

}  // namespace engine
