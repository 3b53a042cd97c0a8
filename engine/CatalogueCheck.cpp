#include "CatalogueCheck.h"

#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "AirlineInstall.h"
#include "Catalogue.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "Profile.h"
#include "Text.h"

namespace engine {

namespace {

constexpr std::size_t kLongestValue = kFieldSize - 1;
constexpr std::size_t kLongestListedDescr = kListDescrSize - 1;

std::string ValueOf(const plat::ProfileFile& catalogue, int section, const char* key) {
  const std::optional<std::string_view> value = catalogue.FindInSection(static_cast<std::size_t>(section), key);
  return value ? std::string(*value) : std::string();
}

}  // namespace

std::vector<std::string> CheckCatalogue(const InstallRun& run) {
  std::vector<std::string> findings;
  char path[kPathSize];
  plat::ProfileFile catalogue;
  if (!GetCataloguePath(run, path, sizeof path) || !catalogue.Load(path)) {
    findings.push_back(Printf("%s cannot be read", path));
    return findings;
  }
  const std::string& folder = run.CatalogueFolder();

  for (const std::string& name : catalogue.SectionNames()) {
    int number = 0;
    if (plat::FoldCase(name).compare(0, 8, "airline.") == 0 && !CatalogueSectionNumber(name, &number)) {
      findings.push_back(Printf("[%s]: not read; sections are Airline.0 to Airline.1023", name.c_str()));
    }
  }

  const CatalogueSections sections(catalogue);
  std::map<std::string, int> firstWithDescr;
  for (int i = 0; i < kCatalogueSections; ++i) {
    if (!sections.Has(i)) continue;
    char section[32];
    FormatText(section, sizeof section, "Airline.%d", i);
    const int index = sections[i];
    const std::string descr = ValueOf(catalogue, index, "Descr");
    if (descr.empty()) {
      findings.push_back(Printf("[%s]: no Descr, so it is not listed", section));
      continue;
    }
    if (descr.size() > kLongestListedDescr) {
      findings.push_back(Printf("[%s]: Descr is longer than %zu characters and cannot be looked up", section,
                                kLongestListedDescr));
    }
    auto first = firstWithDescr.emplace(descr, i);
    if (!first.second) {
      findings.push_back(Printf("[%s]: Descr \"%s\" is also the Descr of [Airline.%d]; only [%s] is installed",
                                section, descr.c_str(), first.first->second, section));
    }
    for (const RecordKey& key : kRecordKeys) {
      if (ValueOf(catalogue, index, key.name).size() > kLongestValue) {
        findings.push_back(Printf("[%s]: %s is longer than %zu characters", section, key.name, kLongestValue));
      }
    }
    for (const char* key : {"SQ1", "Title"}) {
      if (ValueOf(catalogue, index, key).empty()) findings.push_back(Printf("[%s]: %s is empty", section, key));
    }
    for (const char* key : {"Folder", "Data"}) {
      const std::string value = ValueOf(catalogue, index, key);
      if (!IsSafeName(value.c_str())) {
        findings.push_back(Printf("[%s]: %s \"%s\" is not a plain name", section, key, value.c_str()));
      }
    }
    const std::string data = ValueOf(catalogue, index, "Data");
    if (IsSafeName(data.c_str())) {
      std::string dataFile = folder + data + ".dat";
      if (plat::GetPathKind(dataFile.c_str()) != plat::PathKind::File) {
        findings.push_back(Printf("[%s]: %s not found", section, dataFile.c_str()));
      }
    }
  }
  return findings;
}

}  // namespace engine
