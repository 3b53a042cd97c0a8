#include "Folders.h"

#include <cstring>

#include "FileSystem.h"
#include "InstallContext.h"
#include "InstallHost.h"
#include "Messages.h"
#include "Text.h"

namespace {

constexpr std::size_t kModulePathLimit = 254;
constexpr std::size_t kFolderSize = 300;
// Room for "Airlines.dat" and "<Data>.dat" behind the folder.
constexpr std::size_t kLongestCatalogueFolder = kFolderSize - 1 - (AirlineRecord::kFieldSize - 1 + 4);

char g_catalogueFolder[kFolderSize];

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the walk of EnsureFolderPath starts testing folders.
std::size_t WalkStart(const char* path, std::size_t len) {
  if (len >= 2 && path[1] == '\\') {
    // \\server\share\...: the share itself is the first folder tested.
    std::size_t p = 2;
    while (p < len && path[p] != '\\') ++p;
    if (p >= len) return len;
    ++p;
    while (p < len && path[p] != '\\') ++p;
    return p;
  }
  if (len >= 2 && path[1] == ':') return 3;  // the drive root is never tested
  return 1;
}

}  // namespace

void GetModuleFolder(char* buf) {
  plat::ModuleFileName(buf, kModulePathLimit);
  char* cut = buf;
  for (char* p = buf; *p; ++p) {
    if (IsSeparator(*p)) cut = p + 1;
  }
  *cut = '\0';
}

void GetCatalogueFolder(char* buf, std::size_t cap) {
  if (g_catalogueFolder[0]) {
    CopyText(buf, cap, g_catalogueFolder);
    return;
  }
  char module[kFolderSize];
  GetModuleFolder(module);
  CopyText(buf, cap, module);
}

bool SetCatalogueFolder(const char* folder) {
  if (!folder || !*folder) {
    g_catalogueFolder[0] = '\0';
    return true;
  }
  std::size_t len = std::strlen(folder);
  if (len + 1 > kLongestCatalogueFolder) return false;
  CopyText(g_catalogueFolder, folder);
  if (!IsSeparator(folder[len - 1])) {
    g_catalogueFolder[len] = std::strchr(folder, '/') ? '/' : '\\';
    g_catalogueFolder[len + 1] = '\0';
  }
  return true;
}

int EnsureFolderPath(InstallHost& host, const char* path, int ask) {
  char work[260] = {};
  if (!CopyText(work, path)) return 0;
  std::size_t len = std::strlen(work);
  if (len > 0 && work[len - 1] == '\\') work[--len] = '\0';

  if (plat::SetCurrentFolder(work)) return 1;

  if (len == 0 || work[len - 1] != '\\') {
    if (len + 1 >= sizeof work) return 0;
    work[len++] = '\\';
    work[len] = '\0';
  }

  if (ask && host.ShowMessage(MessageKind::AskCreateFolder, kAskCreateFolderText, path) != Answer::Yes) {
    return 0;
  }

  for (std::size_t i = WalkStart(work, len); i < len; ++i) {
    if (!IsSeparator(work[i])) continue;
    const char separator = work[i];
    work[i] = '\0';
    if (plat::GetPathKind(work) == plat::PathKind::Missing && !plat::CreateFolder(work)) {
      host.ShowMessage(MessageKind::FolderFailure, kCannotCreateFolderText, work);
      return 0;
    }
    work[i] = separator;
  }
  return 1;
}
