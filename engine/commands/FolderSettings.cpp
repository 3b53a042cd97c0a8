#include "commands/FolderSettings.h"

#include "install/Folders.h"
#include "run/InstallContext.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Result.h"

namespace engine {

namespace {

struct FolderField {
  const FolderKind kind;
  const char* const profileKey;
  const char* const markerFile;
  const char* const browserTitle;
  const char* const wrongFolderText;
};

constexpr FolderField kFsField = {
    FolderKind::Fs, kFsProfileKey, kFsMarker, "Please select the FS2002 Main-Directory",
    "This is not the correct FS 2002 directory !\n\nPlease try again !"};
constexpr FolderField kSquawkBoxField = {
    FolderKind::SquawkBox, kSquawkBoxProfileKey, kSquawkBoxMarker, "Please select the SquawkBox Main-Directory",
    "This is not the correct SquawkBox directory !\n\nPlease try again !"};

// `failed` is the write that failed.
std::string NotRememberedText(const plat::Result& failed) {
  const std::string why = failed.Because();
  const std::string file = plat::DisplayPath(plat::ProfileLocation(kProfileName).c_str());
  return Printf("Quorvane cannot remember the folders you choose: it could not write them to the file\n%s%s.\n\n"
                "Quorvane goes on with the folders in its fields; the next time you start it, please choose them "
                "again.\nThis message is not shown again while Quorvane runs.",
                file.c_str(), why.c_str());
}

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
  const plat::Result written = plat::WriteProfileValue(kProfileSection, field.profileKey, chosen.c_str(), kProfileName);
  if (written) return;
  if (host.toldFoldersNotRemembered) return;
  host.toldFoldersNotRemembered = true;
  host.ShowWrongFolder(NotRememberedText(written).c_str());
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
