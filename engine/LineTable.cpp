#include "LineTable.h"

#include <string>

#include "TextFile.h"

namespace engine {

namespace {

// Reads a whole file into a table. keepLineFeed: the model list keeps it
// (and gains one on an unterminated last line); the configuration file
// loses it.
template <std::size_t N>
LoadResult Load(LineTable<N>& table, const char* path, std::size_t longest, bool keepLineFeed) {
  table.Clear();
  LoadResult result;
  plat::TextFile file;
  if (!file.Open(path, plat::TextFile::Mode::Read)) return result;

  // Reads of more than a slot's worth tell an over-long line from a long one.
  char line[1024];
  std::size_t length = 0;
  std::size_t slot = 0;
  std::string piece;
  while (file.ReadLine(line, sizeof line, &length)) {
    piece.assign(line, length);
    while (piece.back() != '\n' && length + 1 == sizeof line && file.ReadLine(line, sizeof line, &length)) {
      piece.append(line, length);
    }
    ++result.lines;
    bool hasLineFeed = piece.back() == '\n';
    std::size_t textLength = piece.size() - (hasLineFeed ? 1 : 0);
    if (piece.find('\0') != std::string::npos) {
      result.status = LoadStatus::HasZeroByte;
    } else if (textLength > longest) {
      result.status = LoadStatus::LineTooLong;
    } else if (slot >= N) {
      result.status = LoadStatus::TooManyLines;
    } else {
      std::string stored = piece.substr(0, textLength);
      if (keepLineFeed) stored += '\n';
      std::memcpy(table.MutableLine(slot), stored.c_str(), stored.size() + 1);
      ++slot;
      continue;
    }
    result.badLine = result.lines;
    table.Clear();
    return result;
  }
  if (!file.Close()) {
    table.Clear();
    result.status = LoadStatus::ReadFailed;
    return result;
  }
  result.status = LoadStatus::Loaded;
  return result;
}

}  // namespace

LoadResult LoadModelList(ModelListTable& table, const char* path) {
  return Load(table, path, kLongestModelLine, true);
}

LoadResult LoadConfigLines(ConfigLineTable& table, const char* path) {
  return Load(table, path, kLongestConfigLine, false);
}

}  // namespace engine
