#include "removal/RemovalPass.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "backups/Backups.h"
#include "text/LineTable.h"
#include "text/SectionNumbers.h"
#include "text/Text.h"

namespace engine {

namespace {

// Slots below a header that the legacy title scan looks at, and that a
// marked section may reach at most: the reach of earlier releases' pass.
// An entry they wrote lies within it; a wider window could take out lines
// the user wrote below one.
constexpr std::size_t kTitleWindow = 8;
constexpr std::size_t kMarkedWindow = 40;

bool IsSectionHeader(const char* line) { return StartsWithIgnoringCase(line, "[fltsi"); }

// Every line whose first field is a row's label, ignoring case: each
// line's field taken once and compared with every label, which deletes
// what comparing each row with every line deletes.
void RemoveLegacyModelLines(ModelListTable& models) {
  std::vector<const char*> labels;
  for (const LegacyAirline& row : LegacyAirlineTable) {
    if (row.label[0]) labels.push_back(row.label);
  }
  for (std::size_t i = 0; i < models.Size(); ++i) {
    if (models.IsEmpty(i)) continue;  // its field, empty, is no label
    // The first field of a line is never longer than its slot's form: a
    // longer one cannot be one of the table's labels anyway.
    char field[kSlotSize];
    GetCsvField(models.Line(i), kSlotSize, field, sizeof field, 0, ',');
    for (const char* label : labels) {
      if (!EqualsIgnoringCase(field, label)) continue;
      models.Delete(i);
      break;
    }
  }
}

// The title value of the section at h: the text after the first six
// characters of the first window slot that mentions "title", taken by
// position; null when no slot does.
const char* SectionTitle(const ConfigLineTable& lines, std::size_t h) {
  for (std::size_t k = 0; k <= kTitleWindow; ++k) {
    const char* line = lines.Line(h + k);
    if (ContainsIgnoringCase(line, "title")) return std::strlen(line) > 6 ? line + 6 : "";
  }
  return nullptr;
}

// The section headers of the configuration file and their title values,
// for the legacy rows, which each look for the first section whose title is
// their code. A removed header no longer reads as one, so later rows find
// later sections.
class LegacySections {
 public:
  // Every slot is lower-cased here: each row's scan lower-cases the slots
  // it visits, a scan that finds nothing visits them all, and the marked
  // pass after this one lower-cases every slot anyway.
  explicit LegacySections(ConfigLineTable& lines) : m_lines(lines) {
    for (std::size_t h = 0; h < lines.Size(); ++h) {
      char* line = lines.MutableLine(h);
      LowerCaseInPlace(line);
      if (IsSectionHeader(line)) m_headers.push_back(h);
    }
    for (std::size_t h : m_headers) m_titles.push_back(TitleAt(h));
  }

  void RemoveFirstWithTitle(const char* code) {
    for (std::size_t k = 0; k < m_headers.size(); ++k) {
      const std::size_t h = m_headers[k];
      if (!IsSectionHeader(m_lines.Line(h)) || !m_titles[k] || !EqualsIgnoringCase(m_titles[k]->c_str(), code)) {
        continue;
      }
      m_lines.Store(h, " ");
      for (std::size_t j = 1; j <= kTitleWindow; ++j) m_lines.Delete(h + j);
      if (StartsWithIgnoringCase(m_lines.Line(h + 11), "DESCRIPTI")) m_lines.Delete(h + 9);
      Refresh(h);
      return;
    }
  }

 private:
  std::optional<std::string> TitleAt(std::size_t h) const {
    const char* title = SectionTitle(m_lines, h);
    return title ? std::optional<std::string>(title) : std::nullopt;
  }

  // Slots h to h + 9 changed: the title windows that reach them read anew.
  void Refresh(std::size_t h) {
    const std::size_t from = h > kTitleWindow ? h - kTitleWindow : 0;
    auto first = std::lower_bound(m_headers.begin(), m_headers.end(), from);
    for (auto it = first; it != m_headers.end() && *it <= h + 9; ++it) {
      m_titles[static_cast<std::size_t>(it - m_headers.begin())] = TitleAt(*it);
    }
  }

  ConfigLineTable& m_lines;
  std::vector<std::size_t> m_headers;
  std::vector<std::optional<std::string>> m_titles;
};

void RemoveMarkedSections(ConfigLineTable& lines) {
  for (std::size_t h = 0; h < lines.Size(); ++h) {
    char* header = lines.MutableLine(h);
    LowerCaseInPlace(header);
    if (!IsSectionHeader(header)) continue;

    // The section ends before the next "[" line, 40 slots below at most;
    // empty slots do not end it.
    std::size_t last = h;
    bool marked = ContainsIgnoringCase(header, "quorvane=");
    for (std::size_t k = h + 1; k <= h + kMarkedWindow && k < lines.Size(); ++k) {
      if (lines.Line(k)[0] == '[') break;
      last = k;
      if (ContainsIgnoringCase(lines.Line(k), "quorvane=")) marked = true;
    }
    if (!marked) continue;
    for (std::size_t k = h; k <= last; ++k) lines.Delete(k);
  }
}

}  // namespace

bool GetCsvField(const char* source, std::size_t sourceSize, char* result, std::size_t resultSize, int index,
                 char delimiter) {
  if (!source || !result || sourceSize == 0 || resultSize == 0) return false;
  result[0] = '\0';
  std::size_t start = 0;
  int field = 0;
  for (std::size_t i = 0; i < sourceSize; ++i) {
    const char c = source[i];
    if (c != delimiter && c != '\0') continue;
    std::size_t length = i - start;
    if (length > resultSize - 1) length = resultSize - 1;
    std::memcpy(result, source + start, length);
    result[length] = '\0';
    if (field == index) return true;
    if (c == '\0') break;
    ++field;
    start = i + 1;
  }
  result[0] = '\0';
  return false;
}

void RemoveLegacyEntries(ConfigLineTable& config, ModelListTable& models) {
  RemoveLegacyModelLines(models);
  LegacySections sections(config);
  for (const LegacyAirline& row : LegacyAirlineTable) {
    if (row.code[0]) sections.RemoveFirstWithTitle(row.code);
  }
}

void RemoveMarkedEntries(ConfigLineTable& config, ModelListTable& models) {
  for (std::size_t i = 0; i < models.Size(); ++i) {
    if (ContainsIgnoringCase(models.Line(i), "(QUORVANE)")) models.Delete(i);
  }
  RemoveMarkedSections(config);
}

void FilterConfigLines(ConfigLineTable& lines) {
  for (std::size_t i = 0; i < lines.Size(); ++i) {
    const char* line = lines.Line(i);
    if (line[0] && line[std::strspn(line, " \t")] == '\0') lines.Delete(i);
  }
}

std::size_t TakeOutEarlierEntries(ConfigLineTable& config, ModelListTable& models) {
  RemoveLegacyEntries(config, models);
  RemoveMarkedEntries(config, models);
  FilterConfigLines(config);
  return NumberSectionsWhole(config);
}

std::string RenumberedNote(const char* configPath, std::size_t renumbered) {
  if (renumbered == 0) return std::string();
  return Printf("%s: %s renumbered so that the simulator finds every section, [fltsim.0] onwards "
                "without a gap or a repeat; titles and everything else in the sections are unchanged.",
                NameOf(configPath).c_str(),
                renumbered == 1 ? "1 section was" : Printf("%zu sections were", renumbered).c_str());
}

}  // namespace engine
