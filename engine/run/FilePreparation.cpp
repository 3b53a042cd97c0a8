#include "run/FilePreparation.h"

#include "backups/Backups.h"
#include "run/DryRun.h"
#include "run/InstallContext.h"
#include "text/LineTable.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

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
  const plat::Result read = plat::ReadWholeFile(path, bytes);
  if (read) return true;
  *refusal = CannotProcess(path, Printf("It could not be read%s.", read.Because().c_str()));
  return false;
}

bool Replaceable(const char* path, std::string* refusal) {
  const plat::Result replaceable = plat::CanReplace(path);
  if (replaceable) return true;
  *refusal = CannotProcess(path, Printf("It cannot be written%s.", replaceable.Because().c_str()));
  return false;
}

}  // namespace

std::string CannotProcess(const char* path, const std::string& why) {
  return Printf("The file\n%s\ncannot be processed safely. %s\n\nNothing has been changed.",
                plat::DisplayPath(path).c_str(), why.c_str());
}

bool PrepareToChange(const InstallContext& context, ConfigLineTable& configLines, ModelListTable& modelList,
                     FoundFiles* found, std::string* refusal) {
  if (!Read(context.modelListPath, &found->models, refusal) || !Read(context.configPath, &found->config, refusal)) {
    return false;
  }
  const LoadResult models = FillModelList(modelList, found->models.View());
  const LoadResult config = FillConfigLines(configLines, found->config.View());
  if (models.status != LoadStatus::Loaded) {
    *refusal = CannotProcess(context.modelListPath, DescribeLoad(models));
  } else if (config.status != LoadStatus::Loaded) {
    *refusal = CannotProcess(context.configPath, DescribeLoad(config));
  }
  if (models.status != LoadStatus::Loaded || config.status != LoadStatus::Loaded ||
      !Replaceable(context.modelListPath, refusal) || !Replaceable(context.configPath, refusal)) {
    modelList.Clear();
    configLines.Clear();
    return false;
  }
  return true;
}

bool CopyForDryRun(const InstallContext& context, const FoundFiles& found, DryRun* dryRun, std::string* refusal) {
  dryRun->configPath = context.configPath;
  dryRun->modelListPath = context.modelListPath;
  dryRun->scratchConfigPath = dryRun->scratchFolder + "/" + NameOf(context.configPath);
  dryRun->scratchModelListPath = dryRun->scratchFolder + "/" + NameOf(context.modelListPath);
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  options.durable = false;
  options.links = plat::LinkPolicy::Replace;
  plat::Result copied = plat::ReplaceFile(dryRun->scratchConfigPath.c_str(), found.config.View(), options);
  if (copied) copied = plat::ReplaceFile(dryRun->scratchModelListPath.c_str(), found.models.View(), options);
  if (copied) return true;
  *refusal = "The files could not be copied for the preview" + copied.Because() + ".\n\nNothing has been changed.";
  return false;
}

}  // namespace engine
