#include "Catalogue.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "Folders.h"
#include "InstallContext.h"
#include "InstallHost.h"
#include "Profile.h"
#include "Text.h"

namespace {

constexpr std::size_t kListDescrSize = 255;
constexpr std::size_t kLookupDescrSize = 300;

// The order in which a lookup reads the keys of a matching section.
constexpr const char* kRecordKeys[] = {"SQ1", "Folder", "Data", "Title", "Sim", "Panel", "Sound", "Model"};

char* FieldFor(AirlineRecord& record, std::size_t keyIndex) {
  switch (keyIndex) {
    case 0: return record.SQ1;
    case 1: return record.Folder;
    case 2: return record.Data;
    case 3: return record.Title;
    case 4: return record.Sim;
    case 5: return record.Panel;
    case 6: return record.Sound;
    default: return record.Model;
  }
}

void LoadCatalogue(plat::ProfileFile* catalogue) {
  char path[300];
  if (!GetCataloguePath(path, sizeof path) || !catalogue->Load(path)) catalogue->Parse(std::string());
}

// "Airline.0" to "Airline.1023", made once: a lookup asks for every one.
const char* SectionName(int number) {
  static const auto names = [] {
    std::array<std::array<char, 16>, kCatalogueSections> made{};
    for (int i = 0; i < kCatalogueSections; ++i) FormatText(made[i].data(), made[i].size(), "Airline.%d", i);
    return made;
  }();
  return names[static_cast<std::size_t>(number)].data();
}

}  // namespace

bool GetCataloguePath(char* buf, std::size_t cap) {
  char folder[300];
  GetCatalogueFolder(folder, sizeof folder);
  return FormatText(buf, cap, "%sAirlines.dat", folder);
}

void FillAirlineList(InstallHost& host) {
  // The catalogue is parsed once per call, not once per section, and never
  // kept: an edit made while the program runs is seen by the next call.
  plat::ProfileFile catalogue;
  LoadCatalogue(&catalogue);
  host.ResetList();
  for (int i = 0; i < kCatalogueSections; ++i) {
    const char* section = SectionName(i);
    char descr[kListDescrSize];
    if (catalogue.GetString(section, "Descr", "", descr, sizeof descr) != 0) host.AddListEntry(descr);
  }
}

LookupResult LookupAirline(const char* description) {
  AirlineRecord& record = CurrentInstall.record;
  std::memset(&record, 0, sizeof record);
  plat::ProfileFile catalogue;
  LoadCatalogue(&catalogue);

  // The record holds the values of the last matching section, so the
  // search runs from the highest number down and stops at the first match.
  LookupResult result;
  for (int i = kCatalogueSections - 1; i >= 0 && !result.found; --i) {
    const char* section = SectionName(i);
    char descr[kLookupDescrSize];
    if (catalogue.GetString(section, "Descr", "", descr, sizeof descr) == 0) continue;
    if (std::strcmp(descr, description) != 0) continue;

    result.found = true;
    for (std::size_t k = 0; k < sizeof kRecordKeys / sizeof kRecordKeys[0]; ++k) {
      char* field = FieldFor(record, k);
      const std::optional<std::string_view> value = catalogue.Find(section, kRecordKeys[k]);
      if (!value || !CopyText(field, AirlineRecord::kFieldSize, std::string(*value).c_str())) {
        if (value && !result.tooLongKey) result.tooLongKey = kRecordKeys[k];
        field[0] = '\0';
      }
    }
  }
  return result;
}
