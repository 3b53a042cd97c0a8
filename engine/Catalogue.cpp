#include "Catalogue.h"

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

void SectionName(char (&name)[32], int number) { FormatText(name, sizeof name, "Airline.%d", number); }

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
    char section[32];
    SectionName(section, i);
    char descr[kListDescrSize];
    if (catalogue.GetString(section, "Descr", "", descr, sizeof descr) != 0) host.AddListEntry(descr);
  }
}

LookupResult LookupAirline(const char* description) {
  AirlineRecord& record = CurrentInstall.record;
  std::memset(&record, 0, sizeof record);
  plat::ProfileFile catalogue;
  LoadCatalogue(&catalogue);

  LookupResult result;
  for (int i = 0; i < kCatalogueSections; ++i) {
    char section[32];
    SectionName(section, i);
    char descr[kLookupDescrSize];
    if (catalogue.GetString(section, "Descr", "", descr, sizeof descr) == 0) continue;
    if (std::strcmp(descr, description) != 0) continue;

    // Every match reads all keys afresh: the last matching section wins.
    result.found = true;
    result.tooLongKey = nullptr;
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
