#include "removal/ModelListSort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <vector>

#include "run/RunReport.h"
#include "staging/StagedFiles.h"
#include "text/LineTable.h"
#include "text/Text.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"

namespace engine {

int CompareModelLines(const char* a, const char* b) {
  for (std::size_t i = 0;; ++i) {
    unsigned char ca = FoldAscii(static_cast<unsigned char>(a[i]));
    unsigned char cb = FoldAscii(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

std::string ModelListText(ModelListTable& table) {
  // The slots are sorted as a whole, through their numbers: the same
  // comparisons and moves as sorting the table's first form, 200-byte
  // slots, did. Each comparison is one of folded copies of the lines,
  // which strcmp orders as CompareModelLines orders the lines (unsigned
  // bytes, the shorter text first), in a fraction of its time.
  std::vector<char> folded;
  std::vector<std::uint32_t> at(table.Size());
  for (std::size_t i = 0; i < table.Size(); ++i) {
    at[i] = static_cast<std::uint32_t>(folded.size());
    for (const char* p = table.Line(i); *p; ++p) folded.push_back(FoldAscii(*p));
    folded.push_back('\0');
  }
  std::vector<std::uint32_t> order(table.Size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&folded, &at](std::uint32_t a, std::uint32_t b) {
    return std::strcmp(&folded[at[a]], &folded[at[b]]) < 0;
  });
  std::vector<char>().swap(folded);
  table.Reorder(order);

  std::size_t size = 0;
  for (std::size_t i = 0; i < table.Size(); ++i) size += table.Length(i) + 1;
  std::string text;
  text.reserve(size);
  for (std::size_t i = 0; i < table.Size(); ++i) {
    if (!table.IsEmpty(i)) text += AsStored(table.Line(i));
  }
  return text;
}

plat::Result WriteModelList(const char* path, ModelListTable& table) {
  plat::FileReplacement::Options options;
  options.translation = plat::TextFile::Translation::Binary;
  return plat::ReplaceFile(path, ModelListText(table), options);
}

namespace {

// What the report says of a model list that was not sorted, or nothing.
void ReportNotSorted(const LoadResult& loaded, const std::string& shown, RunReport& report) {
  switch (loaded.status) {
    case LoadStatus::Loaded: return;
    case LoadStatus::CannotOpen:
    case LoadStatus::ReadFailed:
      report.Fail(Printf("%s could not be read again%s, so it was not sorted", shown.c_str(),
                         loaded.read.Because().c_str()));
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

}  // namespace

void SortModelList(ModelListTable& table, const char* path, RunReport& report) {
  const std::string shown = plat::DisplayPath(path);
  const LoadResult loaded = LoadModelList(table, path);
  if (loaded.status != LoadStatus::Loaded) {
    ReportNotSorted(loaded, shown, report);
  } else if (const plat::Result written = WriteModelList(path, table); !written) {
    report.Fail(Printf("%s could not be sorted%s; it was left unsorted", shown.c_str(), written.Because().c_str()));
  }
}

void SortStagedModelList(ModelListTable& table, StagedFiles& staged, RunReport& report) {
  const LoadResult loaded = FillModelList(table, staged.Models());
  if (loaded.status != LoadStatus::Loaded) {
    ReportNotSorted(loaded, plat::DisplayPath(staged.ModelListPath().c_str()), report);
    return;
  }
  staged.SetModels(ModelListText(table));
  table.Clear();
}

}  // namespace engine
