#include "Preview.h"

#include "FileCheck.h"
#include "FileSystem.h"
#include "InstallHost.h"
#include "Messages.h"
#include "TextFile.h"
#include "UnifiedDiff.h"

namespace engine {

namespace {

std::string ReadBytes(const std::string& path) {
  plat::FileBytes bytes;
  plat::ReadWholeFile(path.c_str(), &bytes);  // what cannot be read shows as empty
  return std::string(bytes.View());
}

std::string DiffOf(const std::string& real, const std::string& scratch) {
  const std::string name = plat::NativePath(real.c_str());
  return UnifiedDiff(name, ReadBytes(real), name, ReadBytes(scratch));
}

// Removes the scratch folder and the two copies in it; a rewrite leaves no
// temporary file behind, even when it fails.
void RemoveScratch(const DryRun& dryRun) {
  for (const std::string& path : {dryRun.scratchConfigPath, dryRun.scratchModelListPath}) {
    if (!path.empty()) plat::RemoveFile(path.c_str());
  }
  plat::RemoveFolder(dryRun.scratchFolder.c_str());
}

}  // namespace

Preview PreviewCommand(InstallRun& run, InstallHost& host, PreviewedCommand command) {
  Preview preview;
  DryRun dryRun;
  if (!plat::CreateTempFolder(&dryRun.scratchFolder)) {
    host.ShowMessage(MessageKind::Failure, kNoScratchCopyText, nullptr);
    return preview;
  }
  preview.outcome = command == PreviewedCommand::Install ? OnInstall(run, host, &dryRun) : OnRemove(run, host, &dryRun);
  if (!dryRun.scratchConfigPath.empty()) {
    preview.diff = DiffOf(dryRun.configPath, dryRun.scratchConfigPath) +
                   DiffOf(dryRun.modelListPath, dryRun.scratchModelListPath);
  }
  for (TextureWrite& write : dryRun.textures) write.target = plat::NativePath(write.target.c_str());
  preview.textures = std::move(dryRun.textures);
  preview.configPath = dryRun.configPath;
  preview.modelListPath = dryRun.modelListPath;
  RemoveScratch(dryRun);
  return preview;
}

std::string PreviewChanges(const Preview& preview) {
  std::string text = preview.diff;
  for (const TextureWrite& write : preview.textures) text += (write.replaces ? "replace " : "create ") + write.target + "\n";
  return text;
}

std::string PreviewCheck(const Preview& preview, PreviewedCommand command) {
  if (command != PreviewedCommand::Install || preview.configPath.empty()) return std::string();
  return "\nCheck of " + plat::DisplayPath(preview.configPath.c_str()) + " and " +
         plat::DisplayPath(preview.modelListPath.c_str()) + " as they are now:\n" +
         FileCheckReport(CheckUserFiles(preview.configPath.c_str(), preview.modelListPath.c_str()));
}

}  // namespace engine
