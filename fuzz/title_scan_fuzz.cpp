// The title scan of InstallAirline over arbitrary configuration bytes,
// with a fixed catalogue: either the airline's title is found and neither
// file changes, or exactly one whole aircraft section, numbered with the
// file's smallest free section number, and one model line are appended;
// the texture is copied in both cases.
//
// Input: the configuration file's bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "commands/RunSteps.h"
#include "catalogue/KeptCatalogue.h"
#include "install/AirlineInstall.h"
#include "install/Folders.h"
#include "run/InstallContext.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "FuzzSupport.h"
#include "TestSupport.h"

using namespace engine;

namespace {

constexpr char kDescription[] = "Fuzz Air : B737-800";
constexpr char kTitle[] = "~FZA738";
constexpr char kSq1[] = "Fuzz Air (QUORVANE),B738,FZA";
constexpr char kModelsBefore[] = "Other : A320,A320,OTH";  // no line break at the end
constexpr char kTexture[] = "texture bytes\r\n\0and more";

struct Tree {
  std::string root, fs, csl, config, squawkBox, models, catalogue, textureSource, textureTarget;
  Tree() {
    root = fuzz::ScratchFolder() + "/title";
    fs = root + "/FS2002";
    csl = fs + "/aircraft/csl";
    config = csl + "/Aircraft.cfg";
    squawkBox = root + "/SquawkBox";
    models = squawkBox + "/CSL_ICAO.csv";
    catalogue = root + "/catalogue";
    textureSource = catalogue + "/fza738.dat";
    textureTarget = csl + "/texture.FZA738/csl.0af";
    MakeFolders(csl);
    MakeFolders(squawkBox);
    MakeFolders(catalogue);
    fuzz::WriteBytes(catalogue + "/Airlines.dat",
                     std::string("[Airline.0]\nDescr=Decoy\nTitle=~FZA738\n\n[Airline.7]\nDescr=") + kDescription +
                         "\nSQ1=" + kSq1 + "\nFolder=FZA738\nData=fza738\nTitle=" + kTitle +
                         "\nSim=b737\nPanel=\nSound=\nModel=b738\n");
    fuzz::WriteBytes(textureSource, std::string(kTexture, sizeof kTexture - 1));
  }
};

// What the title scan reads: pieces of at most 1999 characters, each up to
// and including its line feed, compared as C strings.
struct Scan {
  bool present = false;
  int headers = 0;
};

// The number a new section gets: the smallest that no numbered header of
// the file holds. A numbered header, in the file's text-mode lines: after
// blanks and tabs, "[fltsim." in any case, digits without a leading zero
// (at most nine), "]".
long NextFreeNumber(const std::string& text) {
  std::set<long> held;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    const std::size_t open = line.find_first_not_of(" \t");
    if (open == std::string::npos || Folded(line.substr(open, 8)) != "[fltsim.") continue;
    std::size_t close = open + 8;
    while (close < line.size() && line[close] >= '0' && line[close] <= '9') ++close;
    const std::string digits = line.substr(open + 8, close - open - 8);
    if (close >= line.size() || line[close] != ']' || digits.empty() || digits.size() > 9) continue;
    if (digits.size() > 1 && digits[0] == '0') continue;
    held.insert(std::stol(digits));
  }
  long free = 0;
  while (held.count(free)) ++free;
  return free;
}

Scan ExpectedScan(const std::string& text) {
  Scan scan;
  std::size_t pos = 0;
  auto next = [&](std::string* piece) {
    if (pos >= text.size()) return false;
    std::size_t end = text.find('\n', pos);
    std::size_t length = end == std::string::npos ? text.size() - pos : end - pos + 1;
    if (length > 1999) length = 1999;
    *piece = text.substr(pos, length);
    pos += length;
    piece->resize(std::strlen(piece->c_str()));  // a zero byte ends the text
    return true;
  };
  std::string line;
  for (int i = 0; i < 10000; ++i) {
    if (!next(&line)) break;
    if (line.compare(0, 8, "[fltsim.") != 0) continue;
    if (!next(&line)) {
      ++scan.headers;
      break;
    }
    if (!line.empty()) line.pop_back();
    if (line.size() >= 6 && line.compare(6, std::string::npos, kTitle) == 0) {
      scan.present = true;
      break;
    }
    ++scan.headers;
  }
  return scan;
}

std::string Section(long number) {
  return "[fltsim." + std::to_string(number) + "]\r\nTitle=" + kTitle +
         "\r\nSim=b737\r\nModel=b738\r\nPanel=\r\nSound=\r\nTexture=FZA738\r\nquorvane=" + kSq1 +
         "\r\nchecklists=\r\n\r\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Tree tree;
  const std::string config(reinterpret_cast<const char*>(data), size);
  fuzz::WriteBytes(tree.config, config);
  fuzz::WriteBytes(tree.models, kModelsBefore);
  std::remove(tree.textureTarget.c_str());

  static InstallRun run;
  run.context = InstallContext();
  run.report = RunReport();
  const RunReport& report = run.report;
  CopyText(run.context.fsFolder, tree.fs.c_str());
  CopyText(run.context.squawkBoxFolder, tree.squawkBox.c_str());
  CopyText(run.context.configPath, tree.config.c_str());
  CopyText(run.context.modelListPath, tree.models.c_str());
  run.SetCatalogueFolder(tree.catalogue.c_str());

  InstallAirline(run, kDescription);

  fuzz::Check(!report.HasFailures(), "installing into a readable file reported a failure",
              report.HasFailures() ? report.Failures()[0] : "");
  fuzz::Check(std::strcmp(LookupAirline(run.keptCatalogue, run.CatalogueFolder(), kDescription).record.Title, kTitle) == 0,
              "the last matching section was not used");
  fuzz::Check(fuzz::ReadBytes(tree.textureTarget) == std::string(kTexture, sizeof kTexture - 1),
              "the texture was not copied");

  const Scan scan = ExpectedScan(fuzz::DecodeTextMode(config));
  const std::string configAfter = fuzz::ReadBytes(tree.config);
  const std::string modelsAfter = fuzz::ReadBytes(tree.models);
  if (scan.present) {
    fuzz::Check(configAfter == config, "a present airline changed the configuration file");
    fuzz::Check(modelsAfter == kModelsBefore, "a present airline changed the model list");
    return 0;
  }
  const std::string joint = !config.empty() && config.back() != '\n' ? "\r\n" : "";
  std::string text = config;
  if (!text.empty() && text.back() == '\x1a') text.pop_back();
  const long number = NextFreeNumber(fuzz::DecodeTextMode(text));
  fuzz::Check(configAfter == config + joint + Section(number), "the appended section is not as expected",
              "expected header number " + std::to_string(number));
  fuzz::Check(modelsAfter == std::string(kModelsBefore) + "\r\n" + kSq1 + "\r\n", "the model line is not as expected");
  return 0;
}
