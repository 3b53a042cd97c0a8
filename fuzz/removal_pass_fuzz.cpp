// The removal pass over arbitrary configuration and model-list bytes:
// both line tables are loaded from files, earlier entries are taken out,
// and both files are written back.
//
// Input: the configuration file's bytes, the line "@@ models @@", then the
// model list's bytes. Without that line both files get the whole input.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "InstallContext.h"
#include "RemovalPass.h"
#include "InstallRun.h"
#include "RunReport.h"
#include "TestSupport.h"
#include "Text.h"

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

void CheckConfig(const std::vector<std::string>& input, const std::string& written) {
  const std::vector<std::string> output = SplitLines(fuzz::DecodeTextMode(written));
  fuzz::Check(written.empty() || (written.size() >= 2 && written.compare(written.size() - 2, 2, "\r\n") == 0),
              "the configuration file does not end in CR LF");
  std::vector<std::string> lowered;
  bool anyMarkOrTitle = false;
  std::size_t firstHeader = input.size();
  for (std::size_t i = 0; i < input.size(); ++i) {
    lowered.push_back(Folded(input[i]));
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
    if (line[0] == '[') fuzz::Check(i > 0 && output[i - 1].empty(), "a '[' line without a blank line before it", line);
    fuzz::Check(line.find('=') != std::string::npos || line[0] == ';' || line[0] == '[',
                "a line that the filter drops is left", line);
    while (next < lowered.size() && lowered[next] != line) ++next;
    fuzz::Check(next < lowered.size(), "a line that was not in the file, or out of order", line);
    if (next < firstHeader) kept.push_back(line);
    ++next;
  }
  // Nothing before the first section header can belong to an entry.
  std::vector<std::string> mustStay;
  for (std::size_t i = 0; i < firstHeader; ++i) {
    const std::string& line = lowered[i];
    if (!line.empty() && (line.find('=') != std::string::npos || line[0] == ';' || line[0] == '[')) {
      mustStay.push_back(line);
    }
  }
  fuzz::Check(kept == mustStay, "a line before the first section header is gone");

  // Without titles and marks nothing is removed: the file is only filtered.
  if (!anyMarkOrTitle) {
    std::string expected;
    for (const std::string& line : lowered) {
      if (line.empty() || (line.find('=') == std::string::npos && line[0] != ';' && line[0] != '[')) continue;
      if (line[0] == '[') expected += "\r\n";
      expected += line + "\r\n";
    }
    fuzz::Check(written == expected, "a file without entries came back other than filtered");
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

  FakeHost host;
  const RemovalResult result = RemoveEarlierEntries(run, host);

  fuzz::Check(!host.waitBoxTexts.empty() && host.waitBoxTexts.back() == "<close>", "the wait box was not closed");
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
