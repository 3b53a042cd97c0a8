#include "run/Commit.h"

#include <vector>

#include "backups/Backups.h"
#include "run/RunReport.h"
#include "staging/FileSwap.h"
#include "staging/StagedFiles.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace engine {
namespace {

CommitResult Refused(std::string refusal, std::string failure = std::string()) {
  CommitResult result;
  result.refused = true;
  result.refusal = std::move(refusal);
  result.failure = std::move(failure);
  return result;
}

// A dry run's result goes to its scratch copies, which the preview reads.
CommitResult WriteScratchCopies(const StagedFiles& staged) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.durable = false;
  options.links = plat::LinkPolicy::Replace;
  for (const auto& [path, bytes] : {std::make_pair(&staged.ConfigPath(), &staged.Config()),
                                    std::make_pair(&staged.ModelListPath(), &staged.Models())}) {
    const plat::Result written = plat::ReplaceFile(path->c_str(), *bytes, options);
    if (written) continue;
    const std::string failure =
        Printf("%s could not be written%s", plat::DisplayPath(path->c_str()).c_str(), written.Because().c_str());
    return Refused(failure + ".\n\nNothing has been changed.", failure);
  }
  return CommitResult();
}

}  // namespace

CommitResult CommitStaged(StagedFiles& staged, RunReport& report, const char* command, bool dryRun,
                          KeepCopies copies) {
  if (dryRun) return WriteScratchCopies(staged);
  std::string refusal;
  if (!staged.FilesUnchanged(&refusal)) {
    DiscardTextures(staged.Textures());
    staged.TexturesHandled();
    return Refused(refusal, refusal);
  }
  const FoundFiles& found = staged.Found();
  const bool configChanges = staged.Config() != found.config.View();
  const bool modelsChanges = !staged.ModelsExisted() || staged.Models() != found.models.View();
  const RunStamp stamp = NewRunStamp();

  std::vector<PendingCopy> kept;
  if (copies == KeepCopies::Always || (copies == KeepCopies::WhenChanged && (configChanges || modelsChanges))) {
    std::string failure;
    const std::vector<FoundFile> files = {{staged.ConfigPath(), found.config.View()},
                                          {staged.ModelListPath(), found.models.View()}};
    if (!KeepBackups(files, stamp, &failure, &kept)) {
      DiscardTextures(staged.Textures());
      staged.TexturesHandled();
      return Refused(failure + "\n\nNothing has been changed.", failure);
    }
  }
  std::vector<FileChange> changes;
  if (configChanges) {
    changes.push_back(FileChange{staged.ConfigPath(), staged.Config(), true, found.config.View(),
                                 LastRunCopyOf(kept, staged.ConfigPath())});
  }
  if (modelsChanges) {
    changes.push_back(FileChange{staged.ModelListPath(), staged.Models(), staged.ModelsExisted(),
                                 found.models.View(), LastRunCopyOf(kept, staged.ModelListPath())});
  }
  std::vector<std::string> folders = {FolderOf(staged.ConfigPath())};
  const std::string modelFolder = FolderOf(staged.ModelListPath());
  if (!plat::IsSameFolder(folders[0].c_str(), modelFolder.c_str())) folders.push_back(modelFolder);

  // The copies just kept become the last run's once the files are
  // replaced; if they are not, the last run's stay.
  const SwapResult swapped = SwapIn(command, stamp, folders, changes, staged.Textures(), &staged.swapping,
                                    [&kept] { return SettleBackups(kept); }, kept);
  staged.TexturesHandled();
  switch (swapped.status) {
    case SwapStatus::Done:
      if (changes.empty()) {
        plat::Result settled = SettleBackups(kept);
        if (!settled) settled = SettleBackups(kept);
        if (!settled) {
          report.Fail("The copies of the files as this run found them could not be recorded as the last run's" +
                          settled.Because());
        }
      }
      if (swapped.unsettled) {
        report.Fail("The copies of the files as this run found them could not yet take the place of the last "
                        "run's" + swapped.unsettledReason + "; Quorvane does that when it starts next");
      }
      for (const std::string& failure : swapped.textureFailures) report.Fail(failure);
      return CommitResult();
    case SwapStatus::NothingChanged:
      DropBackups(kept);
      return Refused(swapped.message, swapped.failure);
    case SwapStatus::LeftForRepair:
      report.Fail(swapped.message);
      return CommitResult();
  }
  return CommitResult();
}

}  // namespace engine
