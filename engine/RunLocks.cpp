#include "RunLocks.h"

#include "Backups.h"
#include "FileSystem.h"
#include "InstallContext.h"
#include "SystemError.h"
#include "Text.h"

namespace engine {
namespace {

std::string HeldMessage(const std::string& folder, const std::string& heldBy) {
  return Printf("Another Quorvane run is working on the folder\n%s\n(%s).\n\n"
                "Please wait until it has finished, then try again. Nothing has been changed.",
                plat::DisplayPath(folder.c_str()).c_str(), heldBy.c_str());
}

std::string CannotLockMessage(const std::string& folder) {
  return Printf("The folder\n%s\ncannot be locked for this run%s.\n\nNothing has been changed.",
                plat::DisplayPath(folder.c_str()).c_str(), plat::Because().c_str());
}

// What a dry run can tell of the lock it would take, without taking it.
bool CouldTake(const std::string& folder, std::string* refusal) {
  std::string heldBy;
  if (plat::FolderLock::IsHeld(folder.c_str(), &heldBy)) {
    *refusal = HeldMessage(folder, heldBy);
    return false;
  }
  const std::string lockFile = folder + "\\" + plat::FolderLock::kFileName;
  if (!plat::CanReplace(lockFile.c_str())) {
    *refusal = CannotLockMessage(folder);
    return false;
  }
  return true;
}

bool Take(plat::FolderLock& lock, const std::string& folder, const std::string& holder, std::string* refusal) {
  std::string heldBy;
  switch (lock.Take(folder.c_str(), holder, &heldBy)) {
    case plat::FolderLock::Result::Taken:
      plat::RemoveLeftoverTemporaries(folder.c_str());
      return true;
    case plat::FolderLock::Result::HeldByAnother:
      *refusal = HeldMessage(folder, heldBy);
      return false;
    case plat::FolderLock::Result::Failed:
      *refusal = CannotLockMessage(folder);
      return false;
  }
  return false;
}

}  // namespace

bool RunLocks::Take(const InstallContext& context, const char* command, bool dryRun, std::string* refusal) {
  const std::string configFolder = FolderOf(context.configPath);
  const std::string modelListFolder = FolderOf(context.modelListPath);
  const bool oneFolder = plat::IsSameFolder(configFolder.c_str(), modelListFolder.c_str());
  if (dryRun) return CouldTake(configFolder, refusal) && (oneFolder || CouldTake(modelListFolder, refusal));

  const std::string holder = Printf("Quorvane %s, started %s", command, NewRunStamp().when.c_str());
  if (!engine::Take(m_configFolder, configFolder, holder, refusal)) return false;
  if (oneFolder || engine::Take(m_modelListFolder, modelListFolder, holder, refusal)) return true;
  m_configFolder.Release();
  return false;
}

void RunLocks::Release() {
  m_modelListFolder.Release();
  m_configFolder.Release();
}

}  // namespace engine
