#include "ModelListSort.h"


#include "FileReplacement.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "SystemError.h"
#include "LineTable.h"
#include "RunReport.h"
#include "Text.h"

namespace engine {

int CompareModelLines(const char* a, const char* b) {
  for (std::size_t i = 0;; ++i) {
    unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
    unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

bool WriteModelList(InstallRun& run) {
  ModelListTable& table = run.ModelList;
  // The slots are sorted as a whole: the same comparisons and moves as
  // sorting the table's first form, 200-byte slots, did.
  table.SortLines([](const char* a, const char* b) { return CompareModelLines(a, b) < 0; });

  plat::FileReplacement out;
  if (!out.Begin(run.context.modelListPath)) return false;
  for (std::size_t i = 0; i < table.Size(); ++i) {
    if (!table.IsEmpty(i)) out.Write(table.Line(i));
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
    case LoadStatus::TooLarge:
      report.Fail(Printf("%s now holds more than %llu MiB, so it was left unsorted", shown.c_str(),
                         static_cast<unsigned long long>(kLargestTextFile >> 20)));
      return;
    case LoadStatus::HasCtrlZ:
      report.Fail(Printf("line %zu of %s holds an end-of-file mark (Ctrl-Z), so the file was left unsorted",
                         loaded.badLine, shown.c_str()));
      return;
    case LoadStatus::HasZeroByte:
      report.Fail(Printf("line %zu of %s holds a zero byte, so the file was left unsorted", loaded.badLine,
                         shown.c_str()));
      return;
  }
}

}  // namespace engine
