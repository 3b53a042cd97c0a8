#include "commands/Preview.h"

#include "backups/Backups.h"
#include "checks/FileCheck.h"
#include "run/InstallHost.h"
#include "run/Messages.h"
#include "text/UnifiedDiff.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace engine {

namespace {

std::string ReadBytes(const std::string& path) {
  plat::FileBytes bytes;
  plat::ReadWholeFile(path.c_str(), &bytes);  // what cannot be read shows as empty
  return std::string(bytes.View());
}

std::string DiffOf(const std::string& real, const std::string& after) {
  const std::string name = plat::NativePath(real.c_str());
  return UnifiedDiff(name, ReadBytes(real), name, after);
}

// Removes the scratch folder and the two copies in it when the preview
// ends, also by an exception; a rewrite leaves no temporary file behind,
// even when it fails.
class ScratchFolder {
 public:
  explicit ScratchFolder(const DryRun& dryRun) : m_dryRun(dryRun) {}
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    for (const std::string* path : {&m_dryRun.scratchConfigPath, &m_dryRun.scratchModelListPath}) {
      if (!path->empty()) plat::RemoveFile(path->c_str());
    }
    plat::RemoveFolder(m_dryRun.scratchFolder.c_str());
  }

 private:
  const DryRun& m_dryRun;
};

}  // namespace

Preview PreviewCommand(InstallRun& run, const InstallRequest& request, InstallHost& host,
                       PreviewedCommand command) {
  Preview preview;
  DryRun dryRun;
  if (!plat::CreateTempFolder(&dryRun.scratchFolder)) {
    host.ShowMessage(MessageKind::Failure, kNoScratchCopyText, nullptr);
    return preview;
  }
  const ScratchFolder scratch(dryRun);
  preview.outcome = command == PreviewedCommand::Install ? OnInstall(run, request, host, &dryRun)
                                                         : OnRemove(run, request, host, &dryRun);
  if (!dryRun.scratchConfigPath.empty()) {
    // The files the run would leave are its scratch copies after it.
    const std::string config = ReadBytes(dryRun.scratchConfigPath);
    const std::string models = ReadBytes(dryRun.scratchModelListPath);
    preview.diff = DiffOf(dryRun.configPath, config) + DiffOf(dryRun.modelListPath, models);
    preview.check = CheckFileContents(config, models, NameOf(dryRun.configPath), NameOf(dryRun.modelListPath));
  }
  for (TextureWrite& write : dryRun.textures) write.target = plat::NativePath(write.target.c_str());
  preview.textures = std::move(dryRun.textures);
  preview.configPath = dryRun.configPath;
  preview.modelListPath = dryRun.modelListPath;
  return preview;
}

std::string PreviewChanges(const Preview& preview) {
  std::string text = preview.diff;
  for (const TextureWrite& write : preview.textures) text += (write.replaces ? "replace " : "create ") + write.target + "\n";
  return text;
}

std::string PreviewCheck(const Preview& preview, PreviewedCommand) {
  if (preview.configPath.empty()) return std::string();
  return "\nCheck of " + plat::DisplayPath(preview.configPath.c_str()) + " and " +
         plat::DisplayPath(preview.modelListPath.c_str()) + " as this run would leave them:\n" +
         FileCheckReport(preview.check, /*earlierEntries=*/false);
}

}  // namespace engine
