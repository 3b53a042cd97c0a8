#pragma once

#include <cstddef>
#include <string>

#include "text/LineTable.h"

namespace engine {

// Entries that releases before the "(QUORVANE)" marker installed: a model
// line is known by its first comma-separated field (the label), an aircraft
// section by its title (the code). Empty rows match nothing.
struct LegacyAirline {
  char label[40];
  char code[40];
};
inline constexpr std::size_t kLegacyRows = 40;
extern const LegacyAirline LegacyAirlineTable[kLegacyRows];

// Copies field `index` (from 0) of the zero-terminated text in source (a
// buffer of sourceSize bytes) into result, cut to resultSize - 1
// characters. Empty fields count. False when the field does not exist.
bool GetCsvField(const char* source, std::size_t sourceSize, char* result, std::size_t resultSize, int index,
                 char delimiter);

// The steps of the pass over the two tables in memory.
void RemoveLegacyEntries(ConfigLineTable& config, ModelListTable& models);
void RemoveMarkedEntries(ConfigLineTable& config, ModelListTable& models);
// Drops the blank configuration lines (empty, or blanks and tabs only,
// such as the one a legacy section's header leaves): the rewrite writes
// one blank line before each header and no other. Every other line stays.
void FilterConfigLines(ConfigLineTable& lines);
// The whole pass over the two tables: the entries of earlier releases
// and of earlier runs out, the blank configuration lines out, and the
// sections numbered 0 to K-1 where the removal or the user's own file left
// a gap or a repeat. Gives back how many sections got a new number.
std::size_t TakeOutEarlierEntries(ConfigLineTable& config, ModelListTable& models);

// The report's note on sections that got a new number; empty for none.
std::string RenumberedNote(const char* configPath, std::size_t renumbered);

}  // namespace engine
