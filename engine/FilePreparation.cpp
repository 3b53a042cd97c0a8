#include "FilePreparation.h"

#include "Backups.h"
#include "DryRun.h"
#include "FileReplacement.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "LineTable.h"
#include "SystemError.h"
#include "Text.h"

namespace engine {
namespace {

std::string DescribeLoad(const LoadResult& loaded) {
  switch (loaded.status) {
    case LoadStatus::TooLarge:
      return Printf("It holds more than %llu MiB with each line end as CR LF.",
                    static_cast<unsigned long long>(kLargestTextFile >> 20));
    case LoadStatus::HasCtrlZ:
      return Printf("Line %zu holds an end-of-file mark (Ctrl-Z): everything after it would be lost.",
                    loaded.badLine);
    default: return Printf("Line %zu holds a zero byte (binary data).", loaded.badLine);
  }
}

bool Read(const char* path, plat::FileBytes* bytes, std::string* refusal) {
  if (plat::InspectPath(path).size > kLargestTextFile + 1) {  // + an end-of-file mark
    LoadResult tooLarge;
    tooLarge.status = LoadStatus::TooLarge;
    *refusal = CannotProcess(path, DescribeLoad(tooLarge));
    return false;
  }
  if (plat::ReadWholeFile(path, bytes)) return true;
  *refusal = CannotProcess(path, Printf("It could not be read%s.", plat::Because().c_str()));
  return false;
}

bool Replaceable(const char* path, std::string* refusal) {
  if (plat::CanReplace(path)) return true;
  *refusal = CannotProcess(path, Printf("It cannot be written%s.", plat::Because().c_str()));
  return false;
}

// Copies both files, as found, into the dry run's scratch folder, and
// points the run at the copies.
bool UseScratchCopies(InstallContext& context, const FoundFiles& found, DryRun* dryRun, std::string* refusal) {
  dryRun->configPath = context.configPath;
  dryRun->modelListPath = context.modelListPath;
  dryRun->scratchConfigPath = dryRun->scratchFolder + "/" + NameOf(context.configPath);
  dryRun->scratchModelListPath = dryRun->scratchFolder + "/" + NameOf(context.modelListPath);
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.durable = false;
  options.links = plat::LinkPolicy::Replace;
  if (!plat::ReplaceFile(dryRun->scratchConfigPath.c_str(), found.config.View(), options) ||
      !plat::ReplaceFile(dryRun->scratchModelListPath.c_str(), found.models.View(), options) ||
      !CopyText(context.configPath, dryRun->scratchConfigPath.c_str()) ||
      !CopyText(context.modelListPath, dryRun->scratchModelListPath.c_str())) {
    *refusal = "The files could not be copied for the preview" + plat::Because() + ".\n\nNothing has been changed.";
    return false;
  }
  return true;
}

}  // namespace

bool PutBack(const char* path, const plat::FileBytes& found) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  return plat::ReplaceFile(path, found.View(), options);
}

std::string CannotProcess(const char* path, const std::string& why) {
  return Printf("The file\n%s\ncannot be processed safely. %s\n\nNothing has been changed.",
                plat::DisplayPath(path).c_str(), why.c_str());
}

bool PrepareToChange(InstallRun& run, DryRun* dryRun, FoundFiles* found, std::string* refusal) {
  InstallContext& context = run.context;
  if (!Read(context.modelListPath, &found->models, refusal) || !Read(context.configPath, &found->config, refusal)) {
    return false;
  }
  const LoadResult models = FillModelList(run.ModelList, found->models.View());
  const LoadResult config = FillConfigLines(run.ConfigLines, found->config.View());
  if (models.status != LoadStatus::Loaded) {
    *refusal = CannotProcess(context.modelListPath, DescribeLoad(models));
  } else if (config.status != LoadStatus::Loaded) {
    *refusal = CannotProcess(context.configPath, DescribeLoad(config));
  }
  if (models.status != LoadStatus::Loaded || config.status != LoadStatus::Loaded ||
      !Replaceable(context.modelListPath, refusal) || !Replaceable(context.configPath, refusal)) {
    run.ModelList.Clear();
    run.ConfigLines.Clear();
    return false;
  }

  if (dryRun) return UseScratchCopies(context, *found, dryRun, refusal);
  return true;
}

}  // namespace engine
