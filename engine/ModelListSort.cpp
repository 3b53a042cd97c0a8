#include "ModelListSort.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

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
  // The slots are sorted as a whole, through their numbers: the same
  // comparisons and moves as sorting the slots themselves, and a long line
  // moves with its slot.
  std::vector<std::uint32_t> order(table.Size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&table](std::uint32_t a, std::uint32_t b) {
    return CompareModelLines(table.Line(a), table.Line(b)) < 0;
  });
  table.Reorder(order);

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
      report.Fail(Printf("%s is now larger than %llu MiB, so it was left unsorted", shown.c_str(),
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
