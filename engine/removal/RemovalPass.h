#pragma once

#include <cstddef>
#include <string>

#include "text/LineTable.h"

namespace engine {

class InstallHost;
struct DryRun;
struct InstallRun;

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
// Numbers the sections 0 to K-1 where the removal or the user's own file
// left a gap or a repeat, and notes in the run's report how many sections
// got a new number.
void NumberSections(InstallRun& run);

struct RemovalResult {
  // The command ends here with both files as they were; `refusal` says why.
  bool refused = false;
  std::string refusal;
  // The command ends here after a change it could not take back; what is
  // wrong is in the run's report.
  bool stopped = false;
};

// Takes out of the configuration file and the model list every entry an
// earlier run installed and rewrites both, the configuration file in
// lower case, without blank lines but one before each header, its
// sections numbered whole, the model list sorted; then closes the wait
// box. The result is built aside (run.staged), from both files read and
// checked (PrepareToChange); the command that runs the pass swaps it in
// at its end (CommitStaged).
RemovalResult StageRemoval(InstallRun& run, InstallHost& host, DryRun* dryRun = nullptr);

// The pass as a step of its own: StageRemoval, then both files backed up
// and swapped in together; they change together or not at all.
RemovalResult RemoveEarlierEntries(InstallRun& run, InstallHost& host, DryRun* dryRun = nullptr);

}  // namespace engine
