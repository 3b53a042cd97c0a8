#include "run/InstallRun.h"

#include <cstring>

#include "run/RedirectedFiles.h"
#include "platform/FileSystem.h"

namespace engine {

namespace {

// Room for "Airlines.dat" and "<Data>.dat" behind the folder in a path.
constexpr std::size_t kLongestCatalogueFolder =
    kPathSize - 1 - (kFieldSize - 1 + 4);

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

void GetModuleFolder(char* buf) {
  plat::ModuleFileName(buf, kModulePathLimit);
  char* cut = buf;
  for (char* p = buf; *p; ++p) {
    if (IsSeparator(*p)) cut = p + 1;
  }
  *cut = '\0';
}

namespace {

std::string ModuleFolder() {
  char module[kPathSize];
  GetModuleFolder(module);
  return module;
}

}  // namespace

InstallRun::InstallRun() : redirection(&SystemFileRedirection()), m_catalogueFolder(ModuleFolder()) {}

void InstallRun::Begin() {
  report = RunReport();
  staged.End();
  locks.Release();
  keptCatalogue.Forget();
}

void InstallRun::End() {
  staged.End();
  locks.Release();
  modelList.Clear();
  configLines.Clear();
}

bool InstallRun::SetCatalogueFolder(const char* folder) {
  if (!folder || !*folder) {
    m_catalogueFolder = ModuleFolder();
    return true;
  }
  const std::size_t length = std::strlen(folder);
  if (length + 1 > kLongestCatalogueFolder) return false;
  m_catalogueFolder = folder;
  if (!IsSeparator(folder[length - 1])) m_catalogueFolder += std::strchr(folder, '/') ? '/' : '\\';
  return true;
}

}  // namespace engine
