#pragma once

#include "Capacities.h"

namespace engine {

// The catalogue values of one airline. Each field holds at most 49
// characters; a longer catalogue value is refused, never cut.
struct AirlineRecord {
  char Data[kFieldSize];
  char Folder[kFieldSize];
  char Title[kFieldSize];
  char Sim[kFieldSize];
  char Panel[kFieldSize];
  char Sound[kFieldSize];
  char Model[kFieldSize];
  char SQ1[kFieldSize];
};

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
