#include "ModelListSort.h"

#include <algorithm>

#include "FileReplacement.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "SystemError.h"
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

bool WriteModelList(InstallRun& run) {
  std::sort(run.ModelList.begin(), run.ModelList.end(),
            [](const LineSlot& a, const LineSlot& b) { return CompareModelLines(a.text, b.text) < 0; });

  plat::FileReplacement out;
  if (!out.Begin(run.context.modelListPath)) return false;
  for (const LineSlot& slot : run.ModelList) {
    if (slot.text[0]) out.Write(slot.text);
  }
  return out.Commit();
}

void SortModelList(InstallRun& run) {
  RunReport& report = run.report;
  const char* path = run.context.modelListPath;
  const std::string shown = plat::DisplayPath(path);
  LoadResult loaded = LoadModelList(run.ModelList, path);
  switch (loaded.status) {
    case LoadStatus::Loaded:
      if (!WriteModelList(run)) {
        report.Fail(Printf("%s could not be sorted%s; it was left unsorted", shown.c_str(), plat::Because().c_str()));
      }
      return;
    case LoadStatus::CannotOpen:
    case LoadStatus::ReadFailed:
      report.Fail(Printf("%s could not be read again%s, so it was not sorted", shown.c_str(),
                         plat::Because().c_str()));
      return;
    case LoadStatus::TooManyLines:
      report.Fail(Printf("%s now has more than %zu lines, so it was left unsorted", shown.c_str(), kModelListSlots));
      return;
    case LoadStatus::LineTooLong:
      report.Fail(Printf("line %zu of %s is longer than %zu characters, so the file was left unsorted",
                         loaded.badLine, shown.c_str(), kLongestModelLine));
      return;
    case LoadStatus::HasZeroByte:
      report.Fail(Printf("line %zu of %s holds a zero byte, so the file was left unsorted", loaded.badLine,
                         shown.c_str()));
      return;
  }
}

}  // namespace engine
