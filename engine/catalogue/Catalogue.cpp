#include "catalogue/Catalogue.h"

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"

namespace engine {

namespace {


// A catalogue that cannot be read has no sections; false when it is there
// but could not be read.
bool LoadCatalogue(const std::string& folder, plat::ProfileFile* catalogue) {
  char path[kPathSize];
  if (!GetCataloguePath(folder, path, sizeof path)) return true;
  return catalogue->Load(path) || plat::GetPathKind(path) != plat::PathKind::File;
}

// A key's value as the text that a profile read leaves in a buffer: up to
// a zero byte, if the file holds one; missing keys read as empty.
std::optional<std::string_view> TextOf(const plat::ProfileFile& catalogue, int section, const char* key) {
  std::optional<std::string_view> value = catalogue.FindInSection(static_cast<std::size_t>(section), key);
  if (value) value = value->substr(0, value->find('\0'));
  return value;
}

// The same, read into a buffer of `capacity` bytes: cut to capacity - 1.
std::string_view ValueCut(const plat::ProfileFile& catalogue, int section, const char* key, std::size_t capacity) {
  return TextOf(catalogue, section, key).value_or(std::string_view()).substr(0, capacity - 1);
}

}  // namespace

const std::array<RecordKey, kRecordKeyCount> kRecordKeys = {{
    {"SQ1", &AirlineRecord::SQ1},
    {"Folder", &AirlineRecord::Folder},
    {"Data", &AirlineRecord::Data},
    {"Title", &AirlineRecord::Title},
    {"Sim", &AirlineRecord::Sim},
    {"Panel", &AirlineRecord::Panel},
    {"Sound", &AirlineRecord::Sound},
    {"Model", &AirlineRecord::Model},
}};

ParsedCatalogue::ParsedCatalogue(plat::ProfileFile parsed) : profile(std::move(parsed)), sections(profile) {
  for (int i = 0; i < kCatalogueSections; ++i) {
    if (!sections.Has(i)) continue;
    const std::string_view descr = DescrAsLookedUp(profile, sections[i]);
    if (!descr.empty()) m_lastWithDescr[descr] = i;  // a higher number replaces a lower
  }
}

int ParsedCatalogue::LastWithDescr(std::string_view description) const {
  if (description.empty()) return -1;
  const auto found = m_lastWithDescr.find(description);
  return found == m_lastWithDescr.end() ? -1 : found->second;
}

std::string_view DescrAsLookedUp(const plat::ProfileFile& catalogue, int section) {
  return ValueCut(catalogue, section, "Descr", kLookupDescrSize);
}

CatalogueSections::CatalogueSections(const plat::ProfileFile& catalogue) {
  m_sections.fill(kNoSection);
  // Asking for "Airline.<n>" by name finds the first section of that name;
  // one walk in file order that keeps the first of each number finds the
  // same sections without asking 1024 times.
  for (std::size_t i = 0; i < catalogue.SectionCount(); ++i) {
    int number = 0;
    if (CatalogueSectionNumber(catalogue.SectionName(i), &number) && m_sections[number] == kNoSection) {
      m_sections[number] = static_cast<int>(i);
    }
  }
}

bool CatalogueSectionNumber(std::string_view name, int* number) {
  constexpr std::string_view kPrefix = "airline.";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 4) return false;
  for (std::size_t i = 0; i < kPrefix.size(); ++i) {
    if (plat::FoldAscii(name[i]) != kPrefix[i]) return false;
  }
  const std::string_view digits = name.substr(kPrefix.size());
  if (digits.size() > 1 && digits[0] == '0') return false;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value >= kCatalogueSections) return false;
  *number = value;
  return true;
}

bool GetCataloguePath(const std::string& catalogueFolder, char* buf, std::size_t cap) {
  return FormatText(buf, cap, "%sAirlines.dat", catalogueFolder.c_str());
}

void FillAirlineList(const std::string& catalogueFolder, std::vector<std::string>* list) {
  // The catalogue is parsed once per call, not once per section, and never
  // kept: an edit made while the program runs is seen by the next call.
  plat::ProfileFile catalogue;
  LoadCatalogue(catalogueFolder, &catalogue);
  const CatalogueSections sections(catalogue);
  list->clear();
  for (int i = 0; i < kCatalogueSections; ++i) {
    if (!sections.Has(i)) continue;
    const std::string_view descr = ValueCut(catalogue, sections[i], "Descr", kListDescrSize);
    if (!descr.empty()) list->emplace_back(descr);
  }
}

LookupResult LookupAirlineIn(const ParsedCatalogue& parsed, const char* description) {
  LookupResult result;
  AirlineRecord& record = result.record;
  const plat::ProfileFile& catalogue = parsed.profile;
  const CatalogueSections& sections = parsed.sections;

  // The record holds the values of the last matching section.
  const int number = parsed.LastWithDescr(description);
  if (number < 0) return result;
  result.found = true;
  for (const RecordKey& key : kRecordKeys) {
    char* field = record.*key.field;
    const std::optional<std::string_view> value = TextOf(catalogue, sections[number], key.name);
    if (!value || value->size() >= kFieldSize) {
      if (value && !result.tooLongKey) result.tooLongKey = key.name;
      field[0] = '\0';
      continue;
    }
    std::memcpy(field, value->data(), value->size());
    field[value->size()] = '\0';
  }
  return result;
}

}  // namespace engine
