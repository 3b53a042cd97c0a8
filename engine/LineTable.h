#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// A table of text lines: slot i holds line i of a file. A line of up to 199
// bytes lives in its slot's 200 bytes, zero-terminated; a longer one lives
// beside the table, whole, and its slot stays empty. A slot whose line is
// empty reads as empty; deleting a line empties its slot and moves
// nothing, so line numbers never shift while a pass works on the table.
//
// The table has at least its base number of slots (allocated once, with the
// table) and grows as a file needs; slots past the end read as empty and
// cannot be written, so a window below a header near the end stays inside
// the table.
inline constexpr std::size_t kSlotSize = 200;

struct LineSlot {
  char text[kSlotSize];
};

class LineTable {
 public:
  explicit LineTable(std::size_t baseSlots);
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  // Every slot empty, and the table back to its base size.
  void Clear();
  std::size_t Size() const { return m_slots.size(); }

  const char* Line(std::size_t i) const;
  // Null past the end. A long line's bytes may be changed in place, not
  // its length.
  char* MutableLine(std::size_t i);
  bool IsEmpty(std::size_t i) const { return Line(i)[0] == '\0'; }
  void Delete(std::size_t i);
  // Puts a line without zero bytes into slot i, growing the table up to i.
  void Store(std::size_t i, std::string_view text);

  // Puts the slots in the order given: slot k gets what slot order[k] held.
  void Reorder(const std::vector<std::uint32_t>& order);

 private:
  std::size_t m_baseSlots;
  std::vector<LineSlot> m_slots;
  // For each slot, 0, or 1 + the index in m_long of its long line.
  std::vector<std::uint32_t> m_longAt;
  std::vector<std::string> m_long;
};

inline constexpr std::size_t kModelListSlots = 4000;
inline constexpr std::size_t kConfigLineSlots = 20000;

// The lines of CSL_ICAO.csv (each keeps its line feed) and of the aircraft
// configuration file (line feed removed).
class ModelListTable : public LineTable {
 public:
  ModelListTable() : LineTable(kModelListSlots) {}
};
class ConfigLineTable : public LineTable {
 public:
  ConfigLineTable() : LineTable(kConfigLineSlots) {}
};

enum class LoadStatus {
  Loaded,
  CannotOpen,   // missing or not openable; the table is empty
  ReadFailed,   // the file broke off while it was read; the table is empty
  HasZeroByte,  // binary content that a line cannot hold
  HasCtrlZ,     // an end-of-file mark before the end, where text mode would lose the rest
  TooLarge,     // more than kLargestTextFile bytes
};

struct LoadResult {
  LoadStatus status = LoadStatus::CannotOpen;
  std::size_t lines = 0;    // lines loaded
  std::size_t badLine = 0;  // 1-based number of the offending line
};

// The largest aircraft configuration file or model list taken: far above
// any that users keep (the largest seen has 12,372 lines, under 1 MiB), and
// small enough that two copies of it in memory are no trouble.
inline constexpr std::uint64_t kLargestTextFile = 256u << 20;

// Clears the table and reads the file into it, one line a slot, as text
// mode reads it: each CR LF is one line feed, and a Ctrl-Z that is the
// file's last byte is the old end-of-file mark and no part of it. A file
// that cannot be taken soundly (a zero byte, a Ctrl-Z before the end) is
// refused whole: the table is left empty. A model-list last line without a
// line feed gets one, so that it stays a line of its own when lines are
// reordered.
LoadResult LoadModelList(ModelListTable& table, const char* path);
// The same from a file's bytes as stored.
LoadResult FillModelList(ModelListTable& table, std::string_view stored);
LoadResult FillConfigLines(ConfigLineTable& table, std::string_view stored);

// Calls visit(text, offset) for each line of a file's bytes as stored, as
// text mode reads them (see above): the text without its CR LF or LF, and
// the byte where the line begins. Stops early when visit returns false.
template <class Visit>
void ForEachTextModeLine(std::string_view stored, Visit visit) {
  if (!stored.empty() && stored.back() == '\x1a') stored.remove_suffix(1);
  for (std::size_t start = 0; start < stored.size();) {
    std::size_t end = stored.find('\n', start);
    const bool hasLineFeed = end != std::string_view::npos;
    if (!hasLineFeed) end = stored.size();
    std::string_view text = stored.substr(start, end - start);
    if (hasLineFeed && !text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (!visit(text, start)) return;
    start = hasLineFeed ? end + 1 : end;
  }
}

}  // namespace engine
