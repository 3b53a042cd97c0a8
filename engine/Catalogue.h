#pragma once

#include <cstddef>

class InstallHost;

// Sections "Airline.0" to "Airline.1023" of Airlines.dat are the catalogue.
inline constexpr int kCatalogueSections = 1024;

// Empties the airline list and appends the Descr of every catalogue section
// that has one, in ascending section number.
void FillAirlineList(InstallHost& host);

struct LookupResult {
  bool found = false;                 // some section has this Descr
  const char* tooLongKey = nullptr;   // a value of the last match over 49 characters
};

// Loads the values of the last section whose Descr equals the description
// exactly into CurrentInstall.record; every field is empty without a match.
// A value that does not fit its field leaves the field empty and is named
// in the result.
LookupResult LookupAirline(const char* description);

// Full path of Airlines.dat; false when it does not fit.
bool GetCataloguePath(char* buf, std::size_t cap);
