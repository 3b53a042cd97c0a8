#pragma once

#include <string>

#include "platform/FolderLock.h"

namespace engine {


// The locks a command holds for its whole length on the two folders it
// changes (the configuration file's and the model list's), so that no
// second run of ours works there at the same time. Released when the
// object goes.
class RunLocks {
 public:
  // Takes the folders of both files. False, with the message for the user in *refusal, when
  // another run holds one or a lock cannot be made; nothing is then held.
  // A dry run takes nothing, but refuses exactly when the real run would.
  // A taken folder loses what killed runs of ours left of their temporary
  // files.
  bool Take(const char* configPath, const char* modelListPath, const char* command, bool dryRun,
            std::string* refusal);
  // The same by the two folders. Without `sweep` the temporary files that
  // killed runs left stay: a repair looks at them first.
  enum class Got { Taken, Held, Failed };
  Got Take(const std::string& configFolder, const std::string& modelListFolder, const char* command, bool dryRun,
           std::string* refusal, bool sweep);
  void Release();

 private:
  plat::FolderLock m_configFolder;
  plat::FolderLock m_modelListFolder;
};

}  // namespace engine
