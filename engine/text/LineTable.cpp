#include "text/LineTable.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/FileSystem.h"

#include "platform/TextFile.h"

namespace engine {

LineTable::LineTable(std::size_t baseSlots) : m_baseSlots(baseSlots) { Clear(); }

void LineTable::Clear() {
  std::vector<std::uint32_t>(m_baseSlots, 0).swap(m_at);
  std::vector<char>(1, '\0').swap(m_text);
  std::deque<std::string>().swap(m_stored);
  m_loaded = 0;
}

const char* LineTable::Line(std::size_t i) const {
  if (i >= m_at.size()) return "";
  return const_cast<LineTable*>(this)->TextAt(m_at[i]);
}

std::size_t LineTable::Length(std::size_t i) const { return std::strlen(Line(i)); }

char* LineTable::MutableLine(std::size_t i) {
  if (i >= m_at.size()) return nullptr;
  return TextAt(m_at[i]);
}

void LineTable::Delete(std::size_t i) {
  if (i >= m_at.size()) return;
  if (m_at[i] & kStoredBit) std::string().swap(m_stored[m_at[i] & ~kStoredBit]);
  m_at[i] = 0;
}

void LineTable::Store(std::size_t i, std::string_view text) {
  if (i >= m_at.size()) m_at.resize(i + 1, 0);
  // A line no longer than the one it replaces takes its place.
  char* at = TextAt(m_at[i]);
  if (!text.empty() && text.size() <= std::strlen(at)) {
    std::memcpy(at, text.data(), text.size());
    at[text.size()] = '\0';
    return;
  }
  Delete(i);
  if (text.empty()) return;
  m_stored.emplace_back(text);
  m_at[i] = kStoredBit | static_cast<std::uint32_t>(m_stored.size() - 1);
}

void LineTable::Reorder(const std::vector<std::uint32_t>& order) {
  std::vector<std::uint32_t> at(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) at[k] = m_at[order[k]];
  m_at.swap(at);
}

void LineTable::Reserve(std::size_t lines, std::size_t bytes) {
  if (lines > m_at.size()) m_at.resize(lines, 0);
  m_text.reserve(m_text.size() + bytes);
}

void LineTable::Append(std::string_view text, std::string_view suffix) {
  const std::size_t i = m_loaded++;
  if (i >= m_at.size()) m_at.resize(i + 1, 0);
  if (text.empty() && suffix.empty()) return;
  m_at[i] = static_cast<std::uint32_t>(m_text.size());
  m_text.insert(m_text.end(), text.begin(), text.end());
  m_text.insert(m_text.end(), suffix.begin(), suffix.end());
  m_text.push_back('\0');
}

std::uint64_t SizeAsWritten(std::string_view stored) {
  if (!stored.empty() && stored.back() == '\x1a') stored.remove_suffix(1);
  std::uint64_t size = stored.size();
  for (std::size_t at = stored.find('\n'); at != std::string_view::npos; at = stored.find('\n', at + 1)) {
    if (at == 0 || stored[at - 1] != '\r') ++size;
  }
  if (!stored.empty() && stored.back() != '\n') size += 2;
  return size;
}

std::string_view WithoutHeaderIndent(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == 0 || first == std::string_view::npos || line[first] != '[') return line;
  return line.substr(first);
}

namespace {

// The first line (1-based) of the bytes that holds a zero byte or a
// Ctrl-Z, which no line may hold, and which of the two; 0 when none does.
std::size_t FirstUnsoundLine(std::string_view stored, LoadStatus* status) {
  const char* data = stored.data();
  const void* zero = std::memchr(data, '\0', stored.size());
  const void* ctrlZ = std::memchr(data, '\x1a', stored.size());
  if (!zero && !ctrlZ) return 0;
  const char* first = static_cast<const char*>(!zero ? ctrlZ : !ctrlZ ? zero : std::min(zero, ctrlZ));
  // A line that holds both is named for its zero byte.
  const char* end = static_cast<const char*>(std::memchr(first, '\n', stored.size() - static_cast<std::size_t>(first - data)));
  if (!end) end = data + stored.size();
  *status = zero && static_cast<const char*>(zero) < end ? LoadStatus::HasZeroByte : LoadStatus::HasCtrlZ;
  return 1 + static_cast<std::size_t>(std::count(data, first, '\n'));
}

// Fills a table from a file's bytes as stored, read as text mode reads
// them. keepLineFeed: the model list keeps it (and gains one on an
// unterminated last line); the configuration file loses it, and its
// indented headers their indent.
LoadResult Fill(LineTable& table, std::string_view stored, bool keepLineFeed) {
  table.Clear();
  LoadResult result;
  if (SizeAsWritten(stored) > kLargestTextFile) {
    result.status = LoadStatus::TooLarge;
    return result;
  }
  if (!stored.empty() && stored.back() == '\x1a') stored.remove_suffix(1);
  if (const std::size_t bad = FirstUnsoundLine(stored, &result.status)) {
    result.badLine = bad;
    result.lines = bad;
    return result;
  }
  const std::size_t lineFeeds = static_cast<std::size_t>(std::count(stored.begin(), stored.end(), '\n'));
  const std::size_t lines = lineFeeds + (!stored.empty() && stored.back() != '\n' ? 1 : 0);
  // Each line's text, a line feed for the model list and a terminator.
  table.Reserve(lines, stored.size() + lines * (keepLineFeed ? 2 : 1));
  const std::string_view lineFeed = keepLineFeed ? "\n" : "";
  ForEachTextModeLine(stored, [&](std::string_view text, std::size_t) {
    table.Append(keepLineFeed ? text : WithoutHeaderIndent(text), lineFeed);
    return true;
  });
  result.lines = lines;
  result.status = LoadStatus::Loaded;
  return result;
}

LoadResult Load(LineTable& table, const char* path, bool keepLineFeed) {
  table.Clear();
  if (plat::InspectPath(path).size > kLargestTextFile + 1) {  // + an end-of-file mark
    LoadResult result;
    result.status = LoadStatus::TooLarge;
    return result;
  }
  plat::FileBytes stored;
  if (plat::Result read = plat::ReadWholeFile(path, &stored); !read) {
    LoadResult result;
    result.read = read;
    result.status =
        plat::GetPathKind(path) == plat::PathKind::File ? LoadStatus::ReadFailed : LoadStatus::CannotOpen;
    return result;
  }
  return Fill(table, stored.View(), keepLineFeed);
}

}  // namespace

LoadResult LoadModelList(ModelListTable& table, const char* path) { return Load(table, path, true); }

LoadResult FillModelList(ModelListTable& table, std::string_view stored) { return Fill(table, stored, true); }

LoadResult FillConfigLines(ConfigLineTable& table, std::string_view stored) { return Fill(table, stored, false); }

}  // namespace engine
