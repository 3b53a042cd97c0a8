#include "commands/RunSteps.h"

#include <utility>

#include "removal/FileRewrite.h"
#include "removal/ModelListSort.h"
#include "removal/RemovalPass.h"
#include "run/Commit.h"
#include "run/DryRun.h"
#include "run/FilePreparation.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "staging/StagedFiles.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace engine {

namespace {

// The files as they are, as a run on its own starts from them: the
// configuration file must be read; a model list that is not there starts
// empty. False, with the reason for the report.
bool StageFromFiles(InstallRun& run, std::string* failure) {
  const InstallContext& context = run.context;
  FoundFiles found;
  if (const plat::Result read = plat::ReadWholeFile(context.configPath, &found.config); !read) {
    *failure = Printf("%s could not be read%s", plat::DisplayPath(context.configPath).c_str(), read.Because().c_str());
    return false;
  }
  const bool modelsExist = plat::GetPathKind(context.modelListPath) != plat::PathKind::Missing;
  std::string modelsProblem;
  if (modelsExist) {
    if (const plat::Result read = plat::ReadWholeFile(context.modelListPath, &found.models); !read) {
      modelsProblem = read.Because();
    }
  }
  run.staged.Begin(context.configPath, context.modelListPath, std::move(found), modelsExist);
  if (modelsExist && !modelsProblem.empty()) run.staged.MarkModelsUnusable(modelsProblem);
  return true;
}

}  // namespace

RemovalResult StageRemoval(InstallRun& run, DryRun* dryRun) {
  const InstallContext& context = run.context;
  RemovalResult result;
  FoundFiles found;
  if (!PrepareToChange(context, run.configLines, run.modelList, &found, &result.refusal) ||
      (dryRun && !CopyForDryRun(context, found, dryRun, &result.refusal))) {
    run.configLines.Clear();
    run.modelList.Clear();
    result.refused = true;
    return result;
  }
  if (dryRun) {
    run.staged.Begin(dryRun->scratchConfigPath, dryRun->scratchModelListPath, std::move(found));
  } else {
    run.staged.Begin(context.configPath, context.modelListPath, std::move(found));
  }

  const std::size_t renumbered = TakeOutEarlierEntries(run.configLines, run.modelList);
  if (renumbered > 0) run.report.Note(RenumberedNote(context.configPath, renumbered));
  run.staged.SetConfig(ConfigLinesText(run.configLines));
  run.configLines.Clear();
  run.staged.SetModels(ModelListText(run.modelList));
  run.modelList.Clear();
  return result;
}

RemovalResult RemoveEarlierEntries(InstallRun& run, DryRun* dryRun) {
  RemovalResult result = StageRemoval(run, dryRun);
  if (result.refused) return result;
  const CommitResult committed =
      CommitStaged(run.staged, run.report, "remove", dryRun != nullptr, KeepCopies::Always);
  run.staged.End();
  if (committed.refused) {
    result.refused = true;
    result.refusal = committed.refusal;
  } else if (run.report.HasFailures()) {
    result.stopped = true;
  }
  return result;
}

AirlineWork AirlineWorkOf(InstallRun& run, std::vector<TextureWrite>* plannedTextures,
                          std::function<void(int)> scanProgress) {
  return AirlineWork{run.context.fsFolder, run.context.configPath, run.context.modelListPath,
                     run.CatalogueFolder(), run.keptCatalogue, run.staged, run.report, plannedTextures,
                     std::move(scanProgress), /*alone=*/false};
}

void InstallAirline(InstallRun& run, const char* description) {
  std::string failure;
  if (StageFromFiles(run, &failure)) {
    AirlineWork work = AirlineWorkOf(run, nullptr, nullptr);
    work.alone = true;
    AddAirline(work, description);
    const CommitResult committed =
        CommitStaged(run.staged, run.report, "install", /*dryRun=*/false, KeepCopies::Never);
    run.staged.End();
    if (!committed.refused) return;
    failure = committed.failure;
  }
  run.report.Fail(Printf("\"%s\": %s, not installed", description, failure.c_str()));
}

}  // namespace engine
