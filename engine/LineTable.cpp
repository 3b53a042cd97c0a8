#include "LineTable.h"

#include <cstring>
#include <string>

#include "FileSystem.h"

#include "TextFile.h"

namespace engine {

LineTable::LineTable(std::size_t baseSlots) : m_baseSlots(baseSlots) { Clear(); }

void LineTable::Clear() {
  m_slots.assign(m_baseSlots, LineSlot{});
  m_longAt.assign(m_baseSlots, 0);
  m_long.clear();
}

const char* LineTable::Line(std::size_t i) const {
  if (i >= m_slots.size()) return "";
  return m_longAt[i] ? m_long[m_longAt[i] - 1].c_str() : m_slots[i].text;
}

char* LineTable::MutableLine(std::size_t i) {
  if (i >= m_slots.size()) return nullptr;
  return m_longAt[i] ? &m_long[m_longAt[i] - 1][0] : m_slots[i].text;
}

void LineTable::Delete(std::size_t i) {
  if (i >= m_slots.size()) return;
  std::memset(m_slots[i].text, 0, kSlotSize);
  if (m_longAt[i]) {
    std::string().swap(m_long[m_longAt[i] - 1]);
    m_longAt[i] = 0;
  }
}

void LineTable::Store(std::size_t i, std::string_view text) {
  if (i >= m_slots.size()) {
    m_slots.resize(i + 1, LineSlot{});
    m_longAt.resize(i + 1, 0);
  }
  Delete(i);
  if (text.size() < kSlotSize) {
    if (!text.empty()) std::memcpy(m_slots[i].text, text.data(), text.size());
    return;
  }
  m_long.emplace_back(text);
  m_longAt[i] = static_cast<std::uint32_t>(m_long.size());
}

void LineTable::Reorder(const std::vector<std::uint32_t>& order) {
  std::vector<LineSlot> slots(order.size());
  std::vector<std::uint32_t> longAt(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    slots[k] = m_slots[order[k]];
    longAt[k] = m_longAt[order[k]];
  }
  m_slots.swap(slots);
  m_longAt.swap(longAt);
}

namespace {

// Fills a table from a file's bytes as stored, read as text mode reads
// them. keepLineFeed: the model list keeps it (and gains one on an
// unterminated last line); the configuration file loses it.
LoadResult Fill(LineTable& table, std::string_view stored, bool keepLineFeed) {
  table.Clear();
  LoadResult result;
  if (stored.size() > kLargestTextFile) {
    result.status = LoadStatus::TooLarge;
    return result;
  }
  std::string line;
  ForEachTextModeLine(stored, [&](std::string_view text, std::size_t) {
    ++result.lines;
    if (text.find('\0') != std::string_view::npos || text.find('\x1a') != std::string_view::npos) {
      result.status = text.find('\0') != std::string_view::npos ? LoadStatus::HasZeroByte : LoadStatus::HasCtrlZ;
      result.badLine = result.lines;
      return false;
    }
    if (keepLineFeed) {
      line.assign(text);
      line += '\n';
      table.Store(result.lines - 1, line);
    } else {
      table.Store(result.lines - 1, text);
    }
    return true;
  });
  if (result.badLine) {
    table.Clear();
    return result;
  }
  result.status = LoadStatus::Loaded;
  return result;
}

LoadResult Load(LineTable& table, const char* path, bool keepLineFeed) {
  table.Clear();
  if (plat::InspectPath(path).size > kLargestTextFile) {
    LoadResult result;
    result.status = LoadStatus::TooLarge;
    return result;
  }
  plat::FileBytes stored;
  if (!plat::ReadWholeFile(path, &stored)) {
    LoadResult result;
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
