#include "CatalogueCheck.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "AirlineInstall.h"
#include "Catalogue.h"
#include "FileSystem.h"
#include "Folders.h"
#include "InstallContext.h"
#include "Profile.h"
#include "Text.h"

namespace {

constexpr std::size_t kLongestValue = AirlineRecord::kFieldSize - 1;
constexpr std::size_t kLongestListedDescr = 254;
constexpr const char* kValueKeys[] = {"SQ1", "Folder", "Data", "Title", "Sim", "Panel", "Sound", "Model"};

// The number of a section named "Airline.<n>" that the program reads.
bool ReadSectionNumber(const std::string& name, int* number) {
  std::string folded = plat::FoldCase(name);
  if (folded.compare(0, 8, "airline.") != 0 || folded.size() == 8) return false;
  const std::string digits = folded.substr(8);
  if (digits.find_first_not_of("0123456789") != std::string::npos) return false;
  if (digits.size() > 1 && digits[0] == '0') return false;
  if (digits.size() > 4) return false;
  *number = std::atoi(digits.c_str());
  return *number < kCatalogueSections;
}

std::string ValueOf(const plat::ProfileFile& catalogue, const char* section, const char* key) {
  const std::optional<std::string_view> value = catalogue.Find(section, key);
  return value ? std::string(*value) : std::string();
}

}  // namespace

std::vector<std::string> CheckCatalogue() {
  std::vector<std::string> findings;
  char path[300];
  plat::ProfileFile catalogue;
  if (!GetCataloguePath(path, sizeof path) || !catalogue.Load(path)) {
    findings.push_back(Printf("%s cannot be read", path));
    return findings;
  }
  char folder[300];
  GetCatalogueFolder(folder, sizeof folder);

  for (const std::string& name : catalogue.SectionNames()) {
    int number = 0;
    if (plat::FoldCase(name).compare(0, 8, "airline.") == 0 && !ReadSectionNumber(name, &number)) {
      findings.push_back(Printf("[%s]: not read; sections are Airline.0 to Airline.1023", name.c_str()));
    }
  }

  std::map<std::string, int> firstWithDescr;
  for (int i = 0; i < kCatalogueSections; ++i) {
    char section[32];
    FormatText(section, sizeof section, "Airline.%d", i);
    if (!catalogue.HasSection(section)) continue;
    const std::string descr = ValueOf(catalogue, section, "Descr");
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
    for (const char* key : kValueKeys) {
      if (ValueOf(catalogue, section, key).size() > kLongestValue) {
        findings.push_back(Printf("[%s]: %s is longer than %zu characters", section, key, kLongestValue));
      }
    }
    for (const char* key : {"SQ1", "Title"}) {
      if (ValueOf(catalogue, section, key).empty()) findings.push_back(Printf("[%s]: %s is empty", section, key));
    }
    for (const char* key : {"Folder", "Data"}) {
      const std::string value = ValueOf(catalogue, section, key);
      if (!IsSafeName(value.c_str())) {
        findings.push_back(Printf("[%s]: %s \"%s\" is not a plain name", section, key, value.c_str()));
      }
    }
    const std::string data = ValueOf(catalogue, section, "Data");
    if (IsSafeName(data.c_str())) {
      std::string dataFile = std::string(folder) + data + ".dat";
      if (plat::GetPathKind(dataFile.c_str()) != plat::PathKind::File) {
        findings.push_back(Printf("[%s]: %s not found", section, dataFile.c_str()));
      }
    }
  }
  return findings;
}
