#include "checks/CatalogueCheck.h"

#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "catalogue/Catalogue.h"
#include "install/AirlineInstall.h"
#include "text/Text.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Result.h"
#include "platform/TextFile.h"

namespace engine {

namespace {

constexpr std::size_t kLongestValue = kFieldSize - 1;
constexpr std::size_t kLongestListedDescr = kListDescrSize - 1;

std::string ValueOf(const plat::ProfileFile& catalogue, int section, const char* key) {
  const std::optional<std::string_view> value = catalogue.FindInSection(static_cast<std::size_t>(section), key);
  return value ? std::string(*value) : std::string();
}

}  // namespace

std::string CatalogueFileProblem(const std::string& catalogueFolder) {
  char path[kPathSize];
  if (!GetCataloguePath(catalogueFolder, path, sizeof path)) return "The catalogue folder's name is too long";
  const std::string shown = plat::DisplayPath(path);
  if (plat::GetPathKind(path) != plat::PathKind::File) {
    return Printf("%s was not found: the airline list stays empty", shown.c_str());
  }
  plat::FileBytes bytes;
  if (const plat::Result read = plat::ReadWholeFile(path, &bytes); !read) {
    return Printf("%s cannot be read%s: the airline list stays empty", shown.c_str(), read.Because().c_str());
  }
  const std::string_view text = bytes.View();
  if (text.find_first_not_of(" \t\r\n\x1a") == std::string_view::npos) {
    return Printf("%s is empty: the airline list stays empty", shown.c_str());
  }
  const bool utf16 = text.size() >= 2 && text[0] == '\xff' && text[1] == '\xfe';
  if (!utf16 && text.find('\0') != std::string_view::npos) {
    return Printf("%s holds zero bytes: it is binary, or UTF-16 text without its byte-order mark, and cannot be "
                  "read as a catalogue",
                  shown.c_str());
  }
  plat::ProfileFile catalogue;
  catalogue.Load(path);
  const CatalogueSections sections(catalogue);
  for (int i = 0; i < kCatalogueSections; ++i) {
    if (sections.Has(i)) return std::string();
  }
  return Printf("%s has no section Airline.0 to Airline.1023: the airline list stays empty", shown.c_str());
}

namespace {

// Lines of the catalogue that look like headers but are not read as one,
// and a byte-order mark that hides the first header.
void CheckHeaderLines(std::string_view text, std::vector<std::string>* findings) {
  if (text.substr(0, 3) == "\xef\xbb\xbf") {
    const std::string_view first = text.substr(3, text.find_first_of("\r\n") - 3);
    findings->push_back(Printf("the file begins with a UTF-8 byte-order mark: Windows takes it for part of the first "
                               "line, so \"%s\" is no section header",
                               std::string(first.substr(0, 60)).c_str()));
  }
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size(); ++number) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] != '[' || line.find(']') != std::string_view::npos) continue;
    findings->push_back(Printf("line %zu: \"%s\" has no closing bracket, so it names no section and the keys below "
                               "it belong to the section before it",
                               number + 1, std::string(line.substr(0, 60)).c_str()));
  }
}

}  // namespace

std::vector<std::string> CheckCatalogue(const std::string& catalogueFolder) {
  std::vector<std::string> findings;
  const std::string problem = CatalogueFileProblem(catalogueFolder);
  if (!problem.empty()) {
    findings.push_back(problem);
    return findings;
  }
  char path[kPathSize];
  GetCataloguePath(catalogueFolder, path, sizeof path);
  plat::ProfileFile catalogue;
  catalogue.Load(path);
  const std::string& folder = catalogueFolder;
  plat::FileBytes bytes;
  if (plat::ReadWholeFile(path, &bytes) && !(bytes.View().substr(0, 2) == "\xff\xfe")) {
    CheckHeaderLines(bytes.View(), &findings);
  }

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
    if (ValueOf(catalogue, index, "Folder").empty()) {
      findings.push_back(Printf("[%s]: Folder is empty, so the texture would go to a folder named \"texture.\"", section));
    }
    if (ValueOf(catalogue, index, "Data").empty()) {
      findings.push_back(Printf("[%s]: Data is empty, so the texture would be read from \".dat\"", section));
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
