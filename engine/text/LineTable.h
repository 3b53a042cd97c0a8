#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace engine {

// A table of text lines: slot i holds line i of a file. Each line is kept
// at its own length, zero-terminated, in one block of text for the whole
// file; a slot costs four bytes besides its text, so a file of a million
// blank lines costs 4 MiB. A slot whose line is empty
// reads as empty; deleting a line empties its slot and moves nothing, so
// line numbers never shift while a pass works on the table.
//
// The table has at least its base number of slots and grows as a file
// needs; slots past the end read as empty and cannot be written, so a
// window below a header near the end stays inside the table.

// The width of a line in the table's first form, 200-byte slots: the
// legacy labels are compared on fields of at most that width, so that the
// lines earlier releases took out are the ones taken out now.
inline constexpr std::size_t kSlotSize = 200;

class LineTable {
 public:
  explicit LineTable(std::size_t baseSlots);
  LineTable(const LineTable&) = delete;
  LineTable& operator=(const LineTable&) = delete;

  // Every slot empty, the table back to its base size and its text given
  // back.
  void Clear();
  std::size_t Size() const { return m_at.size(); }

  // Valid until the slot is stored again or the table cleared; storing one
  // slot never moves another's text.
  const char* Line(std::size_t i) const;
  std::size_t Length(std::size_t i) const;
  // Null past the end. A line's bytes may be changed in place, not its
  // length.
  char* MutableLine(std::size_t i);
  bool IsEmpty(std::size_t i) const { return Line(i)[0] == '\0'; }
  void Delete(std::size_t i);
  // Puts a line without zero bytes into slot i, growing the table up to i.
  void Store(std::size_t i, std::string_view text);

  // Puts the slots in the order given: slot k gets what slot order[k] held.
  void Reorder(const std::vector<std::uint32_t>& order);
  // For loading a file: room for `lines` lines of `bytes` bytes in all,
  // then each line appended as the next slot. Only while nothing else uses
  // the table: an append may move the text of the lines before it.
  void Reserve(std::size_t lines, std::size_t bytes);
  void Append(std::string_view text, std::string_view suffix = {});

 private:
  // Where each slot's text is: an offset into m_text (0, the terminator
  // m_text begins with, for an empty slot), or, with kStoredBit, an index
  // into m_stored, for a line stored after loading that did not fit where
  // the slot's text was.
  static constexpr std::uint32_t kStoredBit = 0x80000000u;
  char* TextAt(std::uint32_t at) {
    return (at & kStoredBit) ? &m_stored[at & ~kStoredBit][0] : m_text.data() + at;
  }

  std::size_t m_baseSlots;
  std::size_t m_loaded = 0;  // slots filled by Append
  std::vector<std::uint32_t> m_at;
  std::vector<char> m_text;
  std::deque<std::string> m_stored;  // never moves its strings as it grows
};

// The tables' first sizes, those of earlier releases' fixed tables: files
// of the usual size fit without growing.
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
  plat::Result read;        // the failure of CannotOpen and ReadFailed
};

// The largest aircraft configuration file or model list taken, counted as
// this program writes it (each line end a CR LF, SizeAsWritten): 17 MiB,
// 16 for the user's file, some twenty times the largest that users keep
// (12,372 lines, under 1 MiB), and 1 more for what an install adds (a
// section and a model line for each of up to 1024 airlines), so that a
// file that a run leaves is one the next run takes. Every command's memory
// grows with a file's bytes and lines; at this size even a file of nothing
// but line ends (nine million lines) leaves a 32-bit process, with its
// 2 GB of addresses, more than two thirds of them free: a dry run of two
// such files, the heaviest command, stays under 400 MiB.
inline constexpr std::uint64_t kLargestTextFile = 17u << 20;

// The size of a file's bytes once written back: every line end a CR LF
// (a line feed alone gains its CR, a last line without one gains both),
// an end-of-file mark at the end left out.
std::uint64_t SizeAsWritten(std::string_view stored);

// Clears the table and reads the file into it, one line a slot, as text
// mode reads it: each CR LF is one line feed, and a Ctrl-Z that is the
// file's last byte is the old end-of-file mark and no part of it. A file
// that cannot be taken soundly (a zero byte, a Ctrl-Z before the end) is
// refused whole: the table is left empty. A model-list last line without a
// line feed gets one, so that it stays a line of its own when lines are
// reordered. A configuration line that is a header written with blanks or
// tabs before its "[" is loaded without them, so that every step sees it
// as the header it is.
LoadResult LoadModelList(ModelListTable& table, const char* path);
// The same from a file's bytes as stored.
LoadResult FillModelList(ModelListTable& table, std::string_view stored);
LoadResult FillConfigLines(ConfigLineTable& table, std::string_view stored);

// A header line with blanks or tabs before its "[", without them; any
// other line as it is.
std::string_view WithoutHeaderIndent(std::string_view line);

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
