#include "checks/FileCheck.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>

#include "backups/Backups.h"
#include "removal/RemovalPass.h"
#include "text/LineTable.h"
#include "text/SectionNumbers.h"
#include "text/Text.h"
#include "text/TitleScan.h"
#include "platform/FileSystem.h"
#include "platform/Result.h"
#include "platform/TextFile.h"

namespace engine {
namespace {

// The field of a model line that names the aircraft's title:
// "Label,ICAO,airline,title".
constexpr std::size_t kTitleField = 3;
constexpr std::size_t kShownLength = 60;

// A file's lines as text mode reads them (ForEachTextModeLine), each
// known by the byte it starts at: four bytes a line, so that a file of
// millions of short lines is looked at in little memory.
class FileLines {
 public:
  explicit FileLines(std::string_view stored) : m_stored(stored) {
    if (!m_stored.empty() && m_stored.back() == '\x1a') m_stored.remove_suffix(1);
    ForEachTextModeLine(m_stored, [this](std::string_view, std::size_t offset) {
      m_starts.push_back(static_cast<std::uint32_t>(offset));
      return true;
    });
    m_starts.push_back(static_cast<std::uint32_t>(m_stored.size()));
  }
  std::size_t size() const { return m_starts.size() - 1; }
  std::string_view operator[](std::size_t i) const {
    std::string_view line = m_stored.substr(m_starts[i], m_starts[i + 1] - m_starts[i]);
    if (!line.empty() && line.back() == '\n') {
      line.remove_suffix(1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    }
    return line;
  }
  std::size_t Offset(std::size_t i) const { return m_starts[i]; }

 private:
  std::string_view m_stored;
  std::vector<std::uint32_t> m_starts;
};

// A problem found at a line of a file, to be listed in file and line order.
struct Found {
  std::string file;
  std::size_t line;
  std::string text;
};
// The problems found, in file and line order; of each kind only the first
// kMostOfAKind are listed and the rest counted, so that a file of a million
// odd lines is looked at in little memory and its report can be read.
constexpr std::size_t kMostOfAKind = 100;
constexpr std::size_t kMostEarlierEntries = 1000;

class Findings {
 public:
  // Whether a problem of the kind is to be listed (Add it then); false
  // when only counted.
  bool Lists(const char* kind) {
    Count& count = m_counts[kind];
    if (count.listed < kMostOfAKind) {
      ++count.listed;
      return true;
    }
    ++count.more;
    return false;
  }
  void Add(Found found) { m_found.push_back(std::move(found)); }

  // The problems, the listed ones first in file and line order (`first`
  // before the other file), then how many more of each kind there are.
  std::vector<std::string> Problems(const std::string& first) {
    std::stable_sort(m_found.begin(), m_found.end(), [&first](const Found& a, const Found& b) {
      if (a.file != b.file) return a.file == first;
      return a.line < b.line;
    });
    std::vector<std::string> problems;
    for (const Found& f : m_found) problems.push_back(Printf("%s line %zu: %s", f.file.c_str(), f.line, f.text.c_str()));
    for (const auto& [kind, count] : m_counts) {
      if (count.more) problems.push_back(Printf("... and %zu more %s", count.more, kind.c_str()));
    }
    return problems;
  }

 private:
  struct Count {
    std::size_t listed = 0;
    std::size_t more = 0;
  };
  std::vector<Found> m_found;
  std::map<std::string, Count> m_counts;
};

std::string_view Trim(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string Shown(std::string_view text) {
  return text.size() <= kShownLength ? std::string(text) : std::string(text.substr(0, kShownLength)) + "...";
}

// The "[fltsim.N]" of a numbered header as written (ReadSectionHeader);
// empty for any other line.
std::string_view HeaderName(std::string_view line) {
  SectionHeader header;
  if (!ReadSectionHeader(line, &header)) return {};
  const std::size_t open = line.find('[');
  return line.substr(open, header.digitsEnd + 1 - open);
}

// One [fltsim.N] section as the simulator reads it; its texts are views
// into the file's bytes.
struct Section {
  std::size_t line;         // 1-based, of the header
  std::size_t offset;       // byte of the header
  long number;              // -1: written so that the simulator does not look for it
  std::string_view name;    // "[fltsim.N]" as written
  std::string_view title;   // the title key's value, blanks and quotes taken off
  std::string_view marker;  // the quorvane key's value: the model line this tool wrote for it
};

bool IsKey(std::string_view text, std::string_view key) {
  if (text.size() != key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (plat::FoldAscii(text[i]) != key[i]) return false;
  }
  return true;
}

std::string_view ValueOf(std::string_view line, std::string_view key) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || !IsKey(Trim(line.substr(0, equals)), key)) return {};
  std::string_view value = Trim(line.substr(equals + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

std::vector<Section> SectionsOf(const FileLines& lines) {
  std::vector<Section> sections;
  bool inSection = false;
  SectionHeader header;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i];
    if (ReadSectionHeader(text, &header)) {
      sections.push_back(Section{i + 1, lines.Offset(i), header.number, HeaderName(text), {}, {}});
      inSection = true;
      continue;
    }
    if (!Trim(text).empty() && Trim(text)[0] == '[') inSection = false;
    if (!inSection) continue;
    Section& section = sections.back();
    if (section.title.empty()) section.title = ValueOf(text, "title");
    if (section.marker.empty()) section.marker = ValueOf(text, "quorvane");
  }
  return sections;
}

constexpr const char kRenumbers[] = "the next install or remove numbers the sections anew";

void CheckNumbers(const std::vector<Section>& sections, const std::string& file, Findings* out) {
  std::map<long, std::size_t> firstLine;
  for (const Section& section : sections) {
    if (section.number < 0) {
      if (!out->Lists("sections numbered so that the simulator does not look for them")) continue;
      out->Add(Found{file, section.line,
                           Printf("%s is no number the simulator looks for (it reads [fltsim.0], [fltsim.1], ... "
                                  "written without leading zeros); %s",
                                  Shown(section.name).c_str(), kRenumbers)});
      continue;
    }
    const auto seen = firstLine.emplace(section.number, section.line);
    if (!seen.second && out->Lists("sections whose number repeats")) {
      out->Add(Found{file, section.line,
                           Printf("[fltsim.%ld] repeats the number of line %zu; the simulator takes only one of "
                                  "the two; %s",
                                  section.number, seen.first->second, kRenumbers)});
    }
  }
  long expected = 0;
  for (const auto& [number, line] : firstLine) {
    if (number > expected && out->Lists("gaps in the numbers")) {
      const std::string missing = number - 1 == expected
                                      ? Printf("[fltsim.%ld]", expected)
                                      : Printf("[fltsim.%ld] to [fltsim.%ld]", expected, number - 1);
      out->Add(Found{file, line,
                           Printf("the numbers jump to [fltsim.%ld]: there is no %s, and the simulator may miss "
                                  "the sections after the gap; %s",
                                  number, missing.c_str(), kRenumbers)});
    }
    expected = number + 1;
  }
}

// Sections that an install never compares with a title. Those this tool
// installed are left out: an install takes them out before it looks.
void CheckReach(const TitleIndex& scan, const std::vector<Section>& sections, const std::string& file,
                Findings* out) {
  if (scan.ReachesTheEnd()) return;
  std::vector<const Section*> past;
  for (const Section& section : sections) {
    if (section.offset >= scan.Reach() && section.marker.empty()) past.push_back(&section);
  }
  if (past.empty()) return;
  const std::string which =
      past.size() == 1 ? std::string("this section lies") : Printf("this section and the %zu after it lie", past.size() - 1);
  out->Add(Found{file, past.front()->line,
                       Printf("%s past the first 10000 lines, which an install looks through for an airline's "
                              "title: an install would add their airlines again",
                              which.c_str())});
}

void CheckTitles(const std::vector<Section>& sections, const std::string& file, Findings* out) {
  std::map<std::string, std::size_t> firstLine;
  for (const Section& section : sections) {
    if (section.title.empty()) continue;
    const auto seen = firstLine.emplace(plat::FoldCase(section.title), section.line);
    if (!seen.second && out->Lists("titles of two sections")) {
      out->Add(Found{file, section.line,
                           Printf("the title \"%s\" is also the title of the section at line %zu; the simulator "
                                  "and SquawkBox find only one of them",
                                  Shown(section.title).c_str(), seen.first->second)});
    }
  }
}

// Both ways between the two files: a model line's title that no section
// has, and a section that no model line names.
void CheckModelLines(const std::vector<Section>& sections, const FileLines& models, const std::string& config,
                     const std::string& modelList, Findings* out) {
  std::set<std::string> titles;
  for (const Section& section : sections) titles.insert(plat::FoldCase(section.title));
  std::set<std::string> named;  // titles model lines name, and whole model lines (for our own sections)
  for (std::size_t i = 0; i < models.size(); ++i) {
    const std::string_view line = models[i];
    named.insert(plat::FoldCase(Trim(line)));
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
      const std::size_t comma = line.find(',', start);
      fields.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    if (fields.size() <= kTitleField || Trim(fields[kTitleField]).empty()) continue;
    const std::string title = plat::FoldCase(Trim(fields[kTitleField]));
    named.insert(title);
    if (!titles.count(title) && out->Lists("model lines whose title no section has")) {
      out->Add(Found{modelList, i + 1,
                           Printf("the title \"%s\" is no section's title in %s; SquawkBox cannot show this model",
                                  Shown(Trim(fields[kTitleField])).c_str(), config.c_str())});
    }
  }
  for (const Section& section : sections) {
    if (named.count(plat::FoldCase(section.title)) || (!section.marker.empty() && named.count(plat::FoldCase(section.marker)))) {
      continue;
    }
    if (!out->Lists("sections that no model line names")) continue;
    out->Add(Found{config, section.line,
                         Printf("no line of %s names %s (title \"%s\"); SquawkBox will not use it",
                                modelList.c_str(), Shown(section.name).c_str(), Shown(section.title).c_str())});
  }
}

// Lines the simulator reads nothing from, which an install keeps as they
// are, and headers written with blanks before them, which it writes
// without.
void CheckOddLines(const FileLines& lines, const std::string& file, Findings* out) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i];
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty() || text.find('=') != std::string_view::npos || text[0] == ';' || text[0] == '[') continue;
    if (trimmed[0] == '[' && WithoutHeaderIndent(text).size() != text.size()) {
      if (!out->Lists("headers with blanks before them")) continue;
      out->Add(Found{file, i + 1,
                           Printf("\"%s\" is a header with blanks before it; an install writes it without them",
                                  Shown(text).c_str())});
      continue;
    }
    if (!out->Lists("lines the simulator reads nothing from")) continue;
    out->Add(Found{file, i + 1,
                         Printf("\"%s\" is no header, comment or key=value line: the simulator reads nothing from "
                                "it (an install keeps it as it is)",
                                Shown(text).c_str())});
  }
}

// A file the install refuses: named as the install would name it.
void NameRefusal(const std::string& name, const LoadResult& loaded, std::vector<std::string>* problems) {
  if (loaded.status == LoadStatus::TooLarge) {
    problems->push_back(Printf("%s: an install refuses this file: it holds more than %llu MiB with each line end "
                               "as CR LF",
                               name.c_str(), static_cast<unsigned long long>(kLargestTextFile >> 20)));
    return;
  }
  const char* why = loaded.status == LoadStatus::HasCtrlZ ? "an end-of-file mark (Ctrl-Z) stands before its end"
                                                          : "it holds a zero byte (binary data)";
  problems->push_back(Printf("%s line %zu: an install refuses this file: %s", name.c_str(), loaded.badLine, why));
}

// The removal pass in memory, on tables of the check's own: whether an
// install takes each file, and what it takes out of each.
void ListEarlierEntries(std::string_view config, std::string_view models, const FileLines& configLines,
                        const FileLines& modelLines, const std::string& configName, const std::string& modelName,
                        FileCheck* check) {
  ConfigLineTable passConfig;
  ModelListTable passModels;
  const LoadResult configLoad = FillConfigLines(passConfig, config);
  const LoadResult modelLoad = FillModelList(passModels, models);
  if (configLoad.status != LoadStatus::Loaded) NameRefusal(configName, configLoad, &check->problems);
  if (modelLoad.status != LoadStatus::Loaded) NameRefusal(modelName, modelLoad, &check->problems);
  if (configLoad.status != LoadStatus::Loaded || modelLoad.status != LoadStatus::Loaded) return;
  RemoveLegacyEntries(passConfig, passModels);
  RemoveMarkedEntries(passConfig, passModels);
  // Listed up to a thousand a file, the rest counted.
  std::size_t count = 0;
  const auto list = [&count, check](std::string entry) {
    if (++count <= kMostEarlierEntries) check->earlierEntries.push_back(std::move(entry));
  };
  const auto countMore = [&count, check]() {
    if (count > kMostEarlierEntries) check->earlierEntries.push_back(Printf("... and %zu more", count - kMostEarlierEntries));
    count = 0;
  };
  for (std::size_t i = 0; i < configLines.size(); ++i) {
    const std::string_view now = passConfig.Line(i);
    // A section taken out loses its header (a legacy one keeps a blank).
    if (now.empty() || now == " ") {
      const std::string_view name = HeaderName(configLines[i]);
      if (!name.empty()) list(Printf("%s line %zu: %s and its lines", configName.c_str(), i + 1, std::string(name).c_str()));
    }
  }
  countMore();
  for (std::size_t i = 0; i < modelLines.size(); ++i) {
    if (passModels.IsEmpty(i)) list(Printf("%s line %zu: %s", modelName.c_str(), i + 1, Shown(modelLines[i]).c_str()));
  }
  countMore();
}

// Reads a file for the check; one too large to be taken is named, not read.
bool ReadFor(const char* path, plat::FileBytes* bytes, std::vector<std::string>* problems) {
  if (plat::InspectPath(path).size > kLargestTextFile + 1) {  // + an end-of-file mark
    LoadResult tooLarge;
    tooLarge.status = LoadStatus::TooLarge;
    NameRefusal(NameOf(path), tooLarge, problems);
    return false;
  }
  const plat::Result read = plat::ReadWholeFile(path, bytes);
  if (read) return true;
  problems->push_back(Printf("%s could not be read%s", plat::DisplayPath(path).c_str(), read.Because().c_str()));
  return false;
}

}  // namespace

FileCheck CheckUserFiles(const char* configPath, const char* modelListPath) {
  FileCheck check;
  plat::FileBytes config, models;
  const bool configRead = ReadFor(configPath, &config, &check.problems);
  const bool modelsRead = ReadFor(modelListPath, &models, &check.problems);
  if (!configRead || !modelsRead) return check;
  return CheckFileContents(config.View(), models.View(), NameOf(configPath), NameOf(modelListPath));
}

FileCheck CheckFileContents(std::string_view config, std::string_view models, const std::string& configName,
                            const std::string& modelName) {
  FileCheck check;
  const bool configTooLarge = SizeAsWritten(config) > kLargestTextFile;
  const bool modelsTooLarge = SizeAsWritten(models) > kLargestTextFile;
  if (configTooLarge || modelsTooLarge) {
    // Too large to be taken by an install, and to be looked at here.
    LoadResult tooLarge;
    tooLarge.status = LoadStatus::TooLarge;
    if (configTooLarge) NameRefusal(configName, tooLarge, &check.problems);
    if (modelsTooLarge) NameRefusal(modelName, tooLarge, &check.problems);
    return check;
  }
  const FileLines configLines(config);
  const FileLines modelLines(models);
  ListEarlierEntries(config, models, configLines, modelLines, configName, modelName, &check);

  const std::vector<Section> sections = SectionsOf(configLines);
  Findings found;
  CheckNumbers(sections, configName, &found);
  CheckReach(TitleIndex(config), sections, configName, &found);
  CheckTitles(sections, configName, &found);
  CheckModelLines(sections, modelLines, configName, modelName, &found);
  CheckOddLines(configLines, configName, &found);
  for (std::string& problem : found.Problems(configName)) check.problems.push_back(std::move(problem));
  return check;
}

std::string FileCheckReport(const FileCheck& check, bool earlierEntries) {
  std::string text;
  for (const std::string& problem : check.problems) text += problem + "\n";
  if (earlierEntries && !check.earlierEntries.empty()) {
    text += "The next install takes out, as entries Quorvane or an earlier release installed:\n";
    for (const std::string& entry : check.earlierEntries) text += "  " + entry + "\n";
  }
  for (const std::string& note : check.notes) text += note + "\n";
  if (check.problems.empty()) text += "Nothing in these files keeps an aircraft from being seen.\n";
  return text;
}

std::string FilesCheckReport(const char* configPath, const char* modelListPath, const FileCheck& check) {
  return plat::DisplayPath(configPath) + " and " + plat::DisplayPath(modelListPath) + ":\n" + FileCheckReport(check);
}

}  // namespace engine
