#include "FileCheck.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string_view>

#include "Backups.h"
#include "FileSystem.h"
#include "InstallRun.h"
#include "LineTable.h"
#include "RemovalPass.h"
#include "SystemError.h"
#include "Text.h"
#include "TextFile.h"
#include "TitleScan.h"

namespace engine {
namespace {

// The field of a model line that names the aircraft's title:
// "Label,ICAO,airline,title".
constexpr std::size_t kTitleField = 3;
constexpr std::size_t kShownLength = 60;

// A file's lines as text mode reads them, each with the byte it starts at.
struct Line {
  std::string_view text;
  std::size_t offset;
};

// A problem found at a line of a file, to be listed in file and line order.
struct Found {
  std::string file;
  std::size_t line;
  std::string text;
};
using Findings = std::vector<Found>;

std::vector<Line> LinesOf(std::string_view stored) {
  std::vector<Line> lines;
  ForEachTextModeLine(stored, [&lines](std::string_view text, std::size_t offset) {
    lines.push_back(Line{text, offset});
    return true;
  });
  return lines;
}

std::string_view Trim(std::string_view text) {
  const std::size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

std::string Shown(std::string_view text) {
  return text.size() <= kShownLength ? std::string(text) : std::string(text.substr(0, kShownLength)) + "...";
}

// The number of a "[fltsim.N]" header, in any letter case; false for any
// other line.
bool FltsimNumber(std::string_view line, long* number) {
  line = Trim(line);
  constexpr std::string_view kPrefix = "[fltsim.";
  if (line.size() < kPrefix.size() + 2 || plat::FoldCase(line.substr(0, kPrefix.size())) != kPrefix) return false;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  const std::string digits(line.substr(kPrefix.size(), close - kPrefix.size()));
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) return false;
  *number = std::strtol(digits.c_str(), nullptr, 10);
  return true;
}

// One [fltsim.N] section as the simulator reads it.
struct Section {
  std::size_t line;        // 1-based, of the header
  std::size_t offset;      // byte of the header
  long number;
  std::string title;       // the title key's value, blanks and quotes taken off
  std::string marker;      // the quorvane key's value: the model line this tool wrote for it
};

std::string ValueOf(std::string_view line, std::string_view key) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos || plat::FoldCase(Trim(line.substr(0, equals))) != key) return std::string();
  std::string_view value = Trim(line.substr(equals + 1));
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

std::vector<Section> SectionsOf(const std::vector<Line>& lines) {
  std::vector<Section> sections;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    long number = 0;
    if (FltsimNumber(text, &number)) {
      sections.push_back(Section{i + 1, lines[i].offset, number, {}, {}});
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

void CheckNumbers(const std::vector<Section>& sections, const std::string& file, Findings* out) {
  std::map<long, std::size_t> firstLine;
  for (const Section& section : sections) {
    const auto seen = firstLine.emplace(section.number, section.line);
    if (!seen.second) {
      out->push_back(Found{file, section.line,
                           Printf("[fltsim.%ld] repeats the number of line %zu; the simulator takes only one of "
                                  "the two",
                                  section.number, seen.first->second)});
    }
  }
  long expected = 0;
  for (const auto& [number, line] : firstLine) {
    if (number > expected) {
      const std::string missing = number - 1 == expected
                                      ? Printf("[fltsim.%ld]", expected)
                                      : Printf("[fltsim.%ld] to [fltsim.%ld]", expected, number - 1);
      out->push_back(Found{file, line,
                           Printf("the numbers jump to [fltsim.%ld]: there is no %s, and the simulator may miss "
                                  "the sections after the gap",
                                  number, missing.c_str())});
    }
    expected = number + 1;
  }
}

void CheckReach(const TitleIndex& scan, const std::vector<Section>& sections, const std::string& file,
                Findings* out) {
  if (scan.ReachesTheEnd()) return;
  const auto first = std::find_if(sections.begin(), sections.end(),
                                  [&scan](const Section& s) { return s.offset >= scan.Reach(); });
  if (first == sections.end()) return;
  const std::size_t after = static_cast<std::size_t>(sections.end() - first - 1);
  out->push_back(Found{file, first->line,
                       Printf("this section and the %zu after it lie past the first 10000 lines, which an install "
                              "looks through for an airline's title: an install would add their airlines again",
                              after)});
}

void CheckTitles(const std::vector<Section>& sections, const std::string& file, Findings* out) {
  std::map<std::string, std::size_t> firstLine;
  for (const Section& section : sections) {
    if (section.title.empty()) continue;
    const auto seen = firstLine.emplace(plat::FoldCase(section.title), section.line);
    if (!seen.second) {
      out->push_back(Found{file, section.line,
                           Printf("the title \"%s\" is also the title of the section at line %zu; the simulator "
                                  "and SquawkBox find only one of them",
                                  Shown(section.title).c_str(), seen.first->second)});
    }
  }
}

// Both ways between the two files: a model line's title that no section
// has, and a section that no model line names.
void CheckModelLines(const std::vector<Section>& sections, const std::vector<Line>& models, const std::string& config,
                     const std::string& modelList, Findings* out) {
  std::set<std::string> titles;
  for (const Section& section : sections) titles.insert(plat::FoldCase(section.title));
  std::set<std::string> named;  // titles model lines name, and whole model lines (for our own sections)
  for (std::size_t i = 0; i < models.size(); ++i) {
    const std::string_view line = models[i].text;
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
    if (!titles.count(title)) {
      out->push_back(Found{modelList, i + 1,
                           Printf("the title \"%s\" is no section's title in %s; SquawkBox cannot show this model",
                                  Shown(Trim(fields[kTitleField])).c_str(), config.c_str())});
    }
  }
  for (const Section& section : sections) {
    if (named.count(plat::FoldCase(section.title)) || (!section.marker.empty() && named.count(plat::FoldCase(section.marker)))) {
      continue;
    }
    out->push_back(Found{config, section.line,
                         Printf("no line of %s names [fltsim.%ld] (title \"%s\"); SquawkBox will not use it",
                                modelList.c_str(), section.number, Shown(section.title).c_str())});
  }
}

void CheckDroppedLines(const std::vector<Line>& lines, const std::string& file, Findings* out) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    if (Trim(text).empty() || text.find('=') != std::string_view::npos || text[0] == ';' || text[0] == '[') continue;
    out->push_back(Found{file, i + 1,
                         Printf("\"%s\" is no header, comment or key=value line; the next install drops it",
                                Shown(text).c_str())});
  }
}

// The removal pass in memory, on tables of the check's own: what it takes
// out of each file.
void ListEarlierEntries(std::string_view config, std::string_view models, const std::vector<Line>& configLines,
                        const std::string& configName, const std::string& modelName, FileCheck* check) {
  InstallRun pass;
  if (FillConfigLines(pass.ConfigLines, config).status != LoadStatus::Loaded ||
      FillModelList(pass.ModelList, models).status != LoadStatus::Loaded) {
    return;  // named as a problem already
  }
  std::vector<bool> hadConfig(pass.ConfigLines.Size()), hadModel(pass.ModelList.Size());
  std::vector<std::string> modelText(pass.ModelList.Size());
  for (std::size_t i = 0; i < hadConfig.size(); ++i) hadConfig[i] = !pass.ConfigLines.IsEmpty(i);
  for (std::size_t i = 0; i < hadModel.size(); ++i) {
    hadModel[i] = !pass.ModelList.IsEmpty(i);
    modelText[i] = pass.ModelList.Line(i);
  }
  RemoveLegacyEntries(pass);
  RemoveMarkedEntries(pass);
  for (std::size_t i = 0; i < hadConfig.size(); ++i) {
    const std::string_view now = pass.ConfigLines.Line(i);
    long number = 0;
    // A section taken out loses its header (a legacy one keeps a blank).
    if (hadConfig[i] && (now.empty() || now == " ") && i < configLines.size() && FltsimNumber(configLines[i].text, &number)) {
      check->earlierEntries.push_back(Printf("%s line %zu: [fltsim.%ld] and its lines", configName.c_str(), i + 1, number));
    }
  }
  for (std::size_t i = 0; i < hadModel.size(); ++i) {
    if (!hadModel[i] || !pass.ModelList.IsEmpty(i)) continue;
    std::string_view text = modelText[i];
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    check->earlierEntries.push_back(Printf("%s line %zu: %s", modelName.c_str(), i + 1, Shown(text).c_str()));
  }
}

bool ReadFor(const char* path, plat::FileBytes* bytes, std::vector<std::string>* problems) {
  if (plat::ReadWholeFile(path, bytes)) return true;
  problems->push_back(Printf("%s could not be read%s", plat::DisplayPath(path).c_str(), plat::Because().c_str()));
  return false;
}

// A file the install refuses: named as the install would name it.
void CheckLoadable(const char* path, std::string_view bytes, bool modelList, std::vector<std::string>* problems) {
  InstallRun probe;
  const LoadResult loaded =
      modelList ? FillModelList(probe.ModelList, bytes) : FillConfigLines(probe.ConfigLines, bytes);
  if (loaded.status == LoadStatus::Loaded) return;
  const char* why = loaded.status == LoadStatus::TooLarge   ? "it is too large"
                    : loaded.status == LoadStatus::HasCtrlZ ? "an end-of-file mark (Ctrl-Z) stands before its end"
                                                             : "it holds a zero byte (binary data)";
  problems->push_back(Printf("%s line %zu: an install refuses this file: %s", NameOf(path).c_str(), loaded.badLine,
                             why));
}

}  // namespace

FileCheck CheckUserFiles(const char* configPath, const char* modelListPath) {
  FileCheck check;
  plat::FileBytes config, models;
  const bool configRead = ReadFor(configPath, &config, &check.problems);
  const bool modelsRead = ReadFor(modelListPath, &models, &check.problems);
  if (!configRead || !modelsRead) return check;
  const std::string configName = NameOf(configPath);
  const std::string modelName = NameOf(modelListPath);
  CheckLoadable(configPath, config.View(), false, &check.problems);
  CheckLoadable(modelListPath, models.View(), true, &check.problems);

  const std::vector<Line> configLines = LinesOf(config.View());
  const std::vector<Line> modelLines = LinesOf(models.View());
  const std::vector<Section> sections = SectionsOf(configLines);
  Findings found;
  CheckNumbers(sections, configName, &found);
  CheckReach(TitleIndex(config.View()), sections, configName, &found);
  CheckTitles(sections, configName, &found);
  CheckModelLines(sections, modelLines, configName, modelName, &found);
  CheckDroppedLines(configLines, configName, &found);
  std::stable_sort(found.begin(), found.end(), [&configName](const Found& a, const Found& b) {
    if (a.file != b.file) return a.file == configName;
    return a.line < b.line;
  });
  for (const Found& f : found) check.problems.push_back(Printf("%s line %zu: %s", f.file.c_str(), f.line, f.text.c_str()));
  ListEarlierEntries(config.View(), models.View(), configLines, configName, modelName, &check);
  return check;
}

std::string FileCheckReport(const FileCheck& check) {
  std::string text;
  for (const std::string& problem : check.problems) text += problem + "\n";
  if (!check.earlierEntries.empty()) {
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
