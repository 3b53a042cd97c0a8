#pragma once

#include "catalogue/AirlineRecord.h"
#include "text/Capacities.h"

namespace engine {

// The paths an Install command works on and the record of the airline
// being installed. Each path holds at most 299 characters.
struct InstallContext {
  char configPath[kPathSize];       // ...\aircraft\csl\Aircraft.cfg or Aircraft.csl
  char modelListPath[kPathSize];    // <SquawkBox>\CSL_ICAO.csv
  char fsFolder[kPathSize];         // one trailing backslash removed
  char squawkBoxFolder[kPathSize];  // as typed
  AirlineRecord record;
};

}  // namespace engine
