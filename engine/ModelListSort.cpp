#include "ModelListSort.h"

#include <algorithm>

#include "FileReplacement.h"
#include "FileRewrite.h"
#include "InstallRun.h"
#include "LineTable.h"
#include "RunReport.h"
#include "Text.h"

namespace engine {

int CompareModelLines(const char* a, const char* b) {
  for (std::size_t i = 0; i < kSlotSize; ++i) {
    unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
    unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

void WriteModelList(InstallRun& run) {
  std::sort(run.ModelList.begin(), run.ModelList.end(),
            [](const LineSlot& a, const LineSlot& b) { return CompareModelLines(a.text, b.text) < 0; });

  RunReport& report = run.report;
  const char* path = run.context.modelListPath;
  if (!BackUpOnce(path, &report.modelListBackup, report)) return;
  plat::FileReplacement out;
  bool ok = out.Begin(path);
  if (ok) {
    for (const LineSlot& slot : run.ModelList) {
      if (slot.text[0]) out.Write(slot.text);
    }
    ok = out.Commit();
  }
  if (!ok) report.Fail(Printf("%s could not be written; it was left unchanged", path));
}

void SortModelList(InstallRun& run) {
  RunReport& report = run.report;
  const char* path = run.context.modelListPath;
  LoadResult loaded = LoadModelList(run.ModelList, path);
  switch (loaded.status) {
    case LoadStatus::Loaded:
      WriteModelList(run);
      return;
    case LoadStatus::CannotOpen:
    case LoadStatus::ReadFailed:
      report.Fail(Printf("%s could not be read again, so it was not sorted", path));
      return;
    case LoadStatus::TooManyLines:
      report.Fail(Printf("%s now has more than %zu lines, so it was left unsorted", path, kModelListSlots));
      return;
    case LoadStatus::LineTooLong:
      report.Fail(Printf("line %zu of %s is longer than %zu characters, so the file was left unsorted",
                         loaded.badLine, path, kLongestModelLine));
      return;
    case LoadStatus::HasZeroByte:
      report.Fail(Printf("line %zu of %s holds a zero byte, so the file was left unsorted", loaded.badLine, path));
      return;
  }
}

}  // namespace engine
