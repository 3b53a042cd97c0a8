#pragma once

#include <cstddef>
#include <string>

#include "LineTable.h"

namespace engine {

class InstallHost;
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

// The steps of the pass over the run's ModelList and ConfigLines in memory.
void RemoveLegacyEntries(InstallRun& run);
void RemoveMarkedEntries(InstallRun& run);
// Drops configuration lines that are neither a header, a comment nor a
// key=value line.
void FilterConfigLines(ConfigLineTable& lines);

struct RemovalResult {
  bool refused = false;  // a file does not fit its table; nothing was changed
  std::string refusal;   // the message for the user
};

// Takes out of the configuration file and the model list every entry an
// earlier run installed, rewrites the configuration file (filtered, in
// lower case) and the model list (sorted), and closes the wait box. Files
// that cannot be read are left alone; everything that failed is reported.
// Failures go to the run's report.
RemovalResult RemoveEarlierEntries(InstallRun& run, InstallHost& host);

}  // namespace engine
