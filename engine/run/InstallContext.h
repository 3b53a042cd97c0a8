#pragma once

#include "text/Capacities.h"

namespace engine {

// The folders and the paths a command works on. Each holds at most 299
// characters.
struct InstallContext {
  char configPath[kPathSize];       // ...\aircraft\csl\Aircraft.cfg or Aircraft.csl
  char modelListPath[kPathSize];    // <SquawkBox>\CSL_ICAO.csv
  char fsFolder[kPathSize];         // one trailing backslash removed
  char squawkBoxFolder[kPathSize];  // as typed
};

}  // namespace engine
