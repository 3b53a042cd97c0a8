#include "staging/RunLocks.h"

#include "backups/Backups.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace engine {
namespace {

std::string HeldMessage(const std::string& folder, const std::string& heldBy) {
  return Printf("Another Quorvane run is working on the folder\n%s\n(%s).\n\n"
                "Please wait until it has finished, then try again. Nothing has been changed.",
                plat::DisplayPath(folder.c_str()).c_str(), heldBy.c_str());
}

std::string CannotLockMessage(const std::string& folder, const plat::Result& failure) {
  return Printf("The folder\n%s\ncannot be locked for this run%s.\n\nNothing has been changed.",
                plat::DisplayPath(folder.c_str()).c_str(), failure.Because().c_str());
}

// What a dry run can tell of the lock it would take, without taking it.
bool CouldTake(const std::string& folder, std::string* refusal) {
  std::string heldBy;
  if (plat::FolderLock::IsHeld(folder.c_str(), &heldBy)) {
    *refusal = HeldMessage(folder, heldBy);
    return false;
  }
  const std::string lockFile = folder + "\\" + plat::FolderLock::kFileName;
  if (const plat::Result replaceable = plat::CanReplace(lockFile.c_str()); !replaceable) {
    *refusal = CannotLockMessage(folder, replaceable);
    return false;
  }
  return true;
}

RunLocks::Got Take(plat::FolderLock& lock, const std::string& folder, const std::string& holder, bool sweep,
                   std::string* refusal) {
  std::string heldBy;
  plat::Result failure;
  switch (lock.Take(folder.c_str(), holder, &heldBy, &failure)) {
    case plat::FolderLock::Outcome::Taken:
      // A lock left behind means a run was killed here: what it was
      // copying may wait in the texture folders below as well.
      if (sweep) plat::RemoveLeftoverTemporaries(folder.c_str(), lock.TookOver());
      return RunLocks::Got::Taken;
    case plat::FolderLock::Outcome::HeldByAnother:
      *refusal = HeldMessage(folder, heldBy);
      return RunLocks::Got::Held;
    case plat::FolderLock::Outcome::Failed:
      *refusal = CannotLockMessage(folder, failure);
      return RunLocks::Got::Failed;
  }
  return RunLocks::Got::Failed;
}

}  // namespace

bool RunLocks::Take(const char* configPath, const char* modelListPath, const char* command, bool dryRun,
                    std::string* refusal) {
  return Take(FolderOf(configPath), FolderOf(modelListPath), command, dryRun, refusal,
              /*sweep=*/true) == Got::Taken;
}

RunLocks::Got RunLocks::Take(const std::string& configFolder, const std::string& modelListFolder,
                             const char* command, bool dryRun, std::string* refusal, bool sweep) {
  const bool oneFolder = plat::IsSameFolder(configFolder.c_str(), modelListFolder.c_str());
  if (dryRun) {
    return CouldTake(configFolder, refusal) && (oneFolder || CouldTake(modelListFolder, refusal)) ? Got::Taken
                                                                                                   : Got::Failed;
  }
  const std::string holder = Printf("Quorvane %s, started %s", command, NewRunStamp().when.c_str());
  const Got config = engine::Take(m_configFolder, configFolder, holder, sweep, refusal);
  if (config != Got::Taken) return config;
  if (oneFolder) return Got::Taken;
  const Got models = engine::Take(m_modelListFolder, modelListFolder, holder, sweep, refusal);
  if (models != Got::Taken) m_configFolder.Release();
  return models;
}

void RunLocks::Release() {
  m_modelListFolder.Release();
  m_configFolder.Release();
}

}  // namespace engine
