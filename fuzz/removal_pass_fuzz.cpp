// The removal pass over arbitrary configuration and model-list bytes:
// both line tables are loaded from files, earlier entries are taken out,
// and both files are written back.
//
// Input: the configuration file's bytes, the line "@@ models @@", then the
// model list's bytes. Without that line both files get the whole input.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "commands/RunSteps.h"
#include "removal/RemovalPass.h"
#include "run/InstallContext.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "FuzzSupport.h"
#include "TestSupport.h"

using namespace engine;

namespace {

constexpr char kSplit[] = "@@ models @@\n";

struct Files {
  std::string folder, config, models;
  Files() {
    folder = fuzz::ScratchFolder() + "/removal";
    MakeFolders(folder);
    config = folder + "/Aircraft.cfg";
    models = folder + "/CSL_ICAO.csv";
  }
};

// The first comma-separated field of a model line as the pass sees it: a
// line without a comma is its whole text, line feed included.
std::string FirstField(const std::string& line) {
  std::size_t comma = line.find(',');
  return comma == std::string::npos ? line + "\n" : line.substr(0, comma);
}

bool IsLegacyLabel(const std::string& field) {
  for (const LegacyAirline& row : LegacyAirlineTable) {
    if (row.label[0] && Folded(row.label) == Folded(field)) return true;
  }
  return false;
}

// Ascending order of the sort: ASCII letters folded, bytes unsigned, the
// line feed part of the text.
bool InOrder(const std::string& a, const std::string& b) { return Folded(a + "\n") <= Folded(b + "\n"); }

void CheckModelList(const std::vector<std::string>& input, const std::string& written) {
  std::map<std::string, int> expected;
  for (const std::string& line : input) {
    if (fuzz::ContainsFolded(line, "(quorvane)")) continue;
    if (IsLegacyLabel(FirstField(line))) continue;
    ++expected[line];  // a line the pass may not remove
  }
  const std::vector<std::string> output = SplitLines(fuzz::DecodeTextMode(written));
  fuzz::Check(written.empty() || (written.size() >= 2 && written.compare(written.size() - 2, 2, "\r\n") == 0),
              "the model list does not end in CR LF");
  std::map<std::string, int> got;
  for (std::size_t i = 0; i < output.size(); ++i) {
    ++got[output[i]];
    if (i > 0) fuzz::Check(InOrder(output[i - 1], output[i]), "the model list is not in ascending order", output[i]);
  }
  fuzz::Check(got == expected, "the model list is no permutation of the lines that had to stay");
}

// A numbered header as the simulator's numbering sees it (independently
// of the engine's reading): after blanks and tabs, "[fltsim." in any case,
// digits, "]". *number is -1 for a leading zero or more than nine digits.
bool HeaderNumber(const std::string& line, std::size_t* digitsAt, std::size_t* digitsEnd, long* number) {
  const std::size_t open = line.find_first_not_of(" \t");
  if (open == std::string::npos || Folded(line.substr(open, 8)) != "[fltsim.") return false;
  std::size_t end = open + 8;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
  if (end == open + 8 || end >= line.size() || line[end] != ']') return false;
  *digitsAt = open + 8;
  *digitsEnd = end;
  const std::string digits = line.substr(open + 8, end - open - 8);
  *number = digits.size() > 9 || (digits.size() > 1 && digits[0] == '0') ? -1 : std::stol(digits);
  return true;
}

// The line with a header's number taken out, to compare lines whatever
// their number.
std::string WithoutNumber(const std::string& line) {
  std::size_t at = 0, end = 0;
  long number = 0;
  return HeaderNumber(line, &at, &end, &number) ? line.substr(0, at) + "#" + line.substr(end) : line;
}

// A header written with blanks or tabs before its "[" loses them.
std::string WithoutIndent(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && first > 0 && line[first] == '[' ? line.substr(first) : line;
}

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

// The numbers of the numbered headers among the lines, in file order.
std::vector<long> NumbersOf(const std::vector<std::string>& lines) {
  std::vector<long> numbers;
  for (const std::string& line : lines) {
    std::size_t at = 0, end = 0;
    long number = 0;
    if (HeaderNumber(line, &at, &end, &number)) numbers.push_back(number);
  }
  return numbers;
}

// The section numbers of the written lines are 0 to K-1, each once; and
// unless they run 0, 1, 2, ... in file order (renumbered), each header
// kept the number it had: they are the input's numbers less those of the
// sections taken out.
void CheckNumbers(const std::vector<std::string>& output, const std::vector<std::string>& input) {
  const std::vector<long> numbers = NumbersOf(output);
  std::vector<long> sorted = numbers;
  std::sort(sorted.begin(), sorted.end());
  bool inFileOrder = true;
  for (std::size_t k = 0; k < sorted.size(); ++k) {
    fuzz::Check(sorted[k] == static_cast<long>(k), "the section numbers are not 0 to K-1, each once",
                std::to_string(sorted[k]) + " at " + std::to_string(k));
    inFileOrder = inFileOrder && numbers[k] == static_cast<long>(k);
  }
  if (inFileOrder) return;
  const std::vector<long> before = NumbersOf(input);
  std::size_t at = 0;
  for (long number : numbers) {
    while (at < before.size() && before[at] != number) ++at;
    fuzz::Check(at < before.size(), "a section was renumbered although the numbers were whole");
    ++at;
  }
}

// The lines as the rewrite leaves a file without entries: lower case, no
// indent before a header, no blank lines, and numbered whole.
std::vector<std::string> Rewritten(const std::vector<std::string>& lowered) {
  std::vector<std::string> kept;
  for (const std::string& line : lowered) {
    if (!IsBlank(line)) kept.push_back(line);
  }
  std::vector<std::size_t> headers;
  std::vector<long> numbers;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    std::size_t at = 0, end = 0;
    long number = 0;
    if (HeaderNumber(kept[i], &at, &end, &number)) headers.push_back(i), numbers.push_back(number);
  }
  std::vector<long> sorted = numbers;
  std::sort(sorted.begin(), sorted.end());
  bool whole = true;
  for (std::size_t k = 0; k < sorted.size(); ++k) whole = whole && sorted[k] == static_cast<long>(k);
  if (!whole) {
    for (std::size_t k = 0; k < headers.size(); ++k) {
      std::string& line = kept[headers[k]];
      std::size_t at = 0, end = 0;
      long number = 0;
      HeaderNumber(line, &at, &end, &number);
      line = line.substr(0, at) + std::to_string(k) + line.substr(end);
    }
  }
  return kept;
}

void CheckConfig(const std::vector<std::string>& input, const std::string& written) {
  const std::vector<std::string> output = SplitLines(fuzz::DecodeTextMode(written));
  fuzz::Check(written.empty() || (written.size() >= 2 && written.compare(written.size() - 2, 2, "\r\n") == 0),
              "the configuration file does not end in CR LF");
  std::vector<std::string> lowered;
  bool anyMarkOrTitle = false;
  std::size_t firstHeader = input.size();
  for (std::size_t i = 0; i < input.size(); ++i) {
    lowered.push_back(WithoutIndent(Folded(input[i])));
    if (lowered[i].find("quorvane=") != std::string::npos || lowered[i].find("title") != std::string::npos) {
      anyMarkOrTitle = true;
    }
    if (firstHeader == input.size() && lowered[i].compare(0, 6, "[fltsi") == 0) firstHeader = i;
  }

  std::size_t next = 0;  // where the next output line is looked for in the input
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < output.size(); ++i) {
    const std::string& line = output[i];
    for (char c : line) fuzz::Check(!(c >= 'A' && c <= 'Z'), "a capital letter is left", line);
    if (line.empty()) {
      fuzz::Check(i + 1 < output.size() && !output[i + 1].empty() && output[i + 1][0] == '[',
                  "a blank line that does not stand before a '[' line");
      continue;
    }
    fuzz::Check(!IsBlank(line), "a line of blanks is left", line);
    if (line[0] == '[') fuzz::Check(i > 0 && output[i - 1].empty(), "a '[' line without a blank line before it", line);
    while (next < lowered.size() && WithoutNumber(lowered[next]) != WithoutNumber(line)) ++next;
    fuzz::Check(next < lowered.size(), "a line that was not in the file, or out of order", line);
    if (next < firstHeader) kept.push_back(line);
    ++next;
  }
  CheckNumbers(output, lowered);
  // Nothing before the first section header can belong to an entry, and
  // every line the user wrote there stays.
  std::vector<std::string> mustStay;
  for (std::size_t i = 0; i < firstHeader; ++i) {
    if (!IsBlank(lowered[i])) mustStay.push_back(lowered[i]);
  }
  fuzz::Check(kept.size() == mustStay.size(), "a line before the first section header is gone");
  for (std::size_t i = 0; i < kept.size(); ++i) {
    fuzz::Check(WithoutNumber(kept[i]) == WithoutNumber(mustStay[i]), "a line before the first header changed",
                kept[i]);
  }

  // Without titles and marks nothing is removed: the file is only
  // rewritten.
  if (!anyMarkOrTitle) {
    std::string expected;
    for (const std::string& line : Rewritten(lowered)) {
      if (line[0] == '[') expected += "\r\n";
      expected += line + "\r\n";
    }
    fuzz::Check(written == expected, "a file without entries came back other than rewritten");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Files files;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string config = input;
  std::string models = input;
  std::size_t split = input.find(kSplit);
  if (split != std::string::npos) {
    config = input.substr(0, split);
    models = input.substr(split + sizeof kSplit - 1);
  }
  fuzz::WriteBytes(files.config, config);
  fuzz::WriteBytes(files.models, models);

  static InstallRun run;
  run.context = InstallContext();
  run.report = RunReport();
  const RunReport& report = run.report;
  CopyText(run.context.squawkBoxFolder, files.folder.c_str());
  CopyText(run.context.configPath, files.config.c_str());
  CopyText(run.context.modelListPath, files.models.c_str());

  const RemovalResult result = RemoveEarlierEntries(run);

  fuzz::Check(!fuzz::Exists(files.config + ".tmp") && !fuzz::Exists(files.models + ".tmp"),
              "a temporary file is left behind");

  const std::vector<std::string> configLines = SplitLines(fuzz::TextOf(config));
  const std::vector<std::string> modelLines = SplitLines(fuzz::TextOf(models));
  // Lines of any length and files of any length are taken.
  const bool sound = fuzz::ReadsSoundly(config) && fuzz::ReadsSoundly(models);
  fuzz::Check(result.refused == !sound, "the pass refused a file it can read soundly, or took one it cannot");

  const std::string configAfter = fuzz::ReadBytes(files.config);
  const std::string modelsAfter = fuzz::ReadBytes(files.models);
  if (result.refused) {
    fuzz::Check(configAfter == config && modelsAfter == models, "a refused pass changed a file");
    fuzz::Check(!result.refusal.empty(), "a refusal without a message");
    return 0;
  }
  fuzz::Check(!report.HasFailures(), "a pass over writable files reported a failure");
  fuzz::Check(fuzz::ReadBytes(files.config + ".bak") == config, "the configuration backup is not the original");
  fuzz::Check(fuzz::ReadBytes(files.models + ".bak") == models, "the model-list backup is not the original");
  CheckModelList(modelLines, modelsAfter);
  CheckConfig(configLines, configAfter);
  return 0;
}
