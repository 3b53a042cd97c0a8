#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace engine {

// A fixed table of text lines: slot i holds line i of a file, zero
// terminated, at most 199 bytes. A slot whose first byte is zero is empty;
// deleting a line zeroes its slot and moves nothing, so line numbers never
// shift while a pass works on the table.
inline constexpr std::size_t kSlotSize = 200;

struct LineSlot {
  char text[kSlotSize];
};

// The slots live on the heap, allocated once with the table: the two
// tables of an install run are far too large for a stack.
template <std::size_t N>
class LineTable {
 public:
  static constexpr std::size_t kSlots = N;

  LineTable() : m_slots(new LineSlot[N]) { Clear(); }
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  void Clear() { std::memset(m_slots.get(), 0, N * sizeof(LineSlot)); }

  // Slots past the end of the table read as empty and cannot be written, so
  // a window below a header near the end stays inside the table.
  const char* Line(std::size_t i) const { return i < N ? m_slots[i].text : ""; }
  char* MutableLine(std::size_t i) { return i < N ? m_slots[i].text : nullptr; }
  bool IsEmpty(std::size_t i) const { return Line(i)[0] == '\0'; }
  void Delete(std::size_t i) {
    if (i < N) std::memset(m_slots[i].text, 0, kSlotSize);
  }

  LineSlot* begin() { return m_slots.get(); }
  LineSlot* end() { return m_slots.get() + N; }

 private:
  std::unique_ptr<LineSlot[]> m_slots;
};

inline constexpr std::size_t kModelListSlots = 4000;
inline constexpr std::size_t kConfigLineSlots = 20000;

using ModelListTable = LineTable<kModelListSlots>;
using ConfigLineTable = LineTable<kConfigLineSlots>;

enum class LoadStatus {
  Loaded,
  CannotOpen,    // missing or not openable; the table is empty
  ReadFailed,    // the file broke off while it was read; the table is empty
  TooManyLines,  // more lines than the table has slots
  LineTooLong,   // a line does not fit a slot
  HasZeroByte,   // binary content that a slot cannot hold
};

struct LoadResult {
  LoadStatus status = LoadStatus::CannotOpen;
  std::size_t lines = 0;       // lines loaded
  std::size_t badLine = 0;     // 1-based number of the offending line
};

// Longest line text that fits a slot, line feed not counted.
inline constexpr std::size_t kLongestModelLine = 198;
inline constexpr std::size_t kLongestConfigLine = 199;

// Clears the table and reads the file into it, one line a slot. A file that
// does not fit is refused whole: the table is left empty rather than
// holding lines cut in two. A model-list last line without a line feed gets
// one, so that it stays a line of its own when lines are reordered.
LoadResult LoadModelList(ModelListTable& table, const char* path);
LoadResult LoadConfigLines(ConfigLineTable& table, const char* path);
// The same from a file's bytes as stored.
LoadResult FillModelList(ModelListTable& table, std::string_view stored);
LoadResult FillConfigLines(ConfigLineTable& table, std::string_view stored);

}  // namespace engine
