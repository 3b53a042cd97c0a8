#include "LineTable.h"

#include <string>

#include "FileSystem.h"

#include "TextFile.h"

namespace engine {

namespace {

// Fills a table from a file's bytes as stored, read as text mode reads
// them: each CR LF is one line feed. keepLineFeed: the model list keeps it
// (and gains one on an unterminated last line); the configuration file
// loses it. A file that does not fit is refused whole: the table is left
// empty rather than holding lines cut in two.
template <std::size_t N>
LoadResult Fill(LineTable<N>& table, std::string_view stored, std::size_t longest, bool keepLineFeed) {
  table.Clear();
  LoadResult result;
  std::size_t slot = 0;
  for (std::size_t start = 0; start < stored.size();) {
    std::size_t end = stored.find('\n', start);
    const bool hasLineFeed = end != std::string_view::npos;
    if (!hasLineFeed) end = stored.size();
    std::string_view text = stored.substr(start, end - start);
    if (hasLineFeed && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    start = hasLineFeed ? end + 1 : end;
    ++result.lines;
    if (text.find('\0') != std::string_view::npos) {
      result.status = LoadStatus::HasZeroByte;
    } else if (text.size() > longest) {
      result.status = LoadStatus::LineTooLong;
    } else if (slot >= N) {
      result.status = LoadStatus::TooManyLines;
    } else {
      char* line = table.MutableLine(slot++);
      std::memcpy(line, text.data(), text.size());
      if (keepLineFeed) line[text.size()] = '\n';
      continue;
    }
    result.badLine = result.lines;
    table.Clear();
    return result;
  }
  result.status = LoadStatus::Loaded;
  return result;
}

template <std::size_t N>
LoadResult Load(LineTable<N>& table, const char* path, std::size_t longest, bool keepLineFeed) {
  table.Clear();
  plat::FileBytes stored;
  if (!plat::ReadWholeFile(path, &stored)) {
    LoadResult result;
    result.status =
        plat::GetPathKind(path) == plat::PathKind::File ? LoadStatus::ReadFailed : LoadStatus::CannotOpen;
    return result;
  }
  return Fill(table, stored.View(), longest, keepLineFeed);
}

}  // namespace

LoadResult LoadModelList(ModelListTable& table, const char* path) {
  return Load(table, path, kLongestModelLine, true);
}

LoadResult LoadConfigLines(ConfigLineTable& table, const char* path) {
  return Load(table, path, kLongestConfigLine, false);
}

LoadResult FillModelList(ModelListTable& table, std::string_view stored) {
  return Fill(table, stored, kLongestModelLine, true);
}

LoadResult FillConfigLines(ConfigLineTable& table, std::string_view stored) {
  return Fill(table, stored, kLongestConfigLine, false);
}

}  // namespace engine
