#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalogue/AirlineRecord.h"
#include "platform/Profile.h"

namespace engine {


// Sections "Airline.0" to "Airline.1023" of Airlines.dat are the catalogue:
// the sections earlier releases asked for by name. A later one was never
// listed; catalogues are made for that range, so it stays.
inline constexpr int kCatalogueSections = 1024;

// The number of a section named "Airline.<n>" (any letter case, n from 0
// to 1023 without leading zeros): the names the readers ask for.
bool CatalogueSectionNumber(std::string_view name, int* number);

// Which section of a loaded catalogue each number reads: the first of its
// name in the file, as a read of "Airline.<n>" finds it.
class CatalogueSections {
 public:
  explicit CatalogueSections(const plat::ProfileFile& catalogue);
  bool Has(int number) const { return m_sections[static_cast<std::size_t>(number)] != kNoSection; }
  int operator[](int number) const { return m_sections[static_cast<std::size_t>(number)]; }

 private:
  static constexpr int kNoSection = -1;
  std::array<int, kCatalogueSections> m_sections;
};

// The keys of an airline's record, in the order a lookup reads them, with
// the field each fills.
struct RecordKey {
  const char* const name;
  char (AirlineRecord::*const field)[kFieldSize];
};
inline constexpr std::size_t kRecordKeyCount = 8;
extern const std::array<RecordKey, kRecordKeyCount> kRecordKeys;

// A section's Descr as a lookup reads it: cut at a zero byte and after 299
// characters; empty when it has none.
std::string_view DescrAsLookedUp(const plat::ProfileFile& catalogue, int section);

// Empties the airline list and appends the Descr of every catalogue section
// that has one, in ascending section number.
void FillAirlineList(const std::string& catalogueFolder, std::vector<std::string>* list);

struct LookupResult {
  bool found = false;                 // some section has this Descr
  const char* tooLongKey = nullptr;   // a value of the last match over 49 characters
  plat::Result read;                  // a failure when Airlines.dat is there but could not be read
  AirlineRecord record{};             // the values found
};

// Airlines.dat, parsed, with its sections by number.
struct ParsedCatalogue {
  explicit ParsedCatalogue(plat::ProfileFile parsed);
  ParsedCatalogue(const ParsedCatalogue&) = delete;
  ParsedCatalogue& operator=(const ParsedCatalogue&) = delete;

  // The highest section number whose Descr, as a lookup reads it, is the
  // description; -1 when there is none.
  int LastWithDescr(std::string_view description) const;

  plat::ProfileFile profile;
  CatalogueSections sections;

 private:
  // Views into the profile's text, which never moves.
  std::unordered_map<std::string_view, int> m_lastWithDescr;
};

// The values of the last section whose Descr equals the description
// exactly, in the result's record; every field is empty without a match.
// A value that does not fit its field leaves the field empty and is named
// in the result.
LookupResult LookupAirlineIn(const ParsedCatalogue& catalogue, const char* description);

// Full path of Airlines.dat in the catalogue folder (which ends in its
// separator); false when it does not fit.
bool GetCataloguePath(const std::string& catalogueFolder, char* buf, std::size_t cap);

}  // namespace engine
