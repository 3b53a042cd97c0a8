// The realistic tree the fault tests run on: five airlines in the
// catalogue, six list entries (one airline listed twice, one not
// selected), an Aircraft.cfg with foreign sections, a section known by its
// legacy title and one an earlier run marked, and a CSL_ICAO.csv with
// foreign, legacy and marked lines; and what a sound run may leave of it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "commands/InstallCommand.h"
#include "commands/RunSteps.h"
#include "removal/RemovalPass.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "TestSupport.h"
#include "platform/FaultInjection.h"

namespace scenario {

using namespace engine;

struct Airline {
  int section;
  const char* descr;
  const char* code;
};

// Bravo is listed twice: its second install finds the section its first
// one appended, and only copies the texture again. Delta is not selected.
const Airline kAirlines[] = {
    {0, "Alpha", "ALP1"}, {1, "Bravo", "BRV2"}, {2, "Charlie", "CHL3"}, {3, "Delta", "DLT4"}, {4, "Echo", "ECH5"},
};
const std::vector<std::string> kEntries = {"Alpha", "Bravo", "Charlie", "Bravo", "Delta", "Echo"};
const std::vector<bool> kSelected = {true, true, true, true, false, true};
const char* const kInstalled[] = {"ALP1", "BRV2", "CHL3", "ECH5"};

// A configuration file with foreign sections, a section of an earlier
// release (known by its legacy title) and one an earlier run marked.
const char kConfigBefore[] =
    "[General]\r\n"
    "Version=2\r\n"
    "\r\n"
    "[fltsim.0]\r\n"
    "Title=Generic B737-800\r\n"
    "Sim=b737\r\n"
    "Model=\r\n"
    "Texture=generic\r\n"
    "\r\n"
    "[fltsim.1]\r\n"
    "title=~KST146\r\n"
    "sim=bae146\r\n"
    "model=\r\n"
    "panel=\r\n"
    "sound=\r\n"
    "texture=KST146\r\n"
    "checklists=\r\n"
    "\r\n"
    "[fltsim.2]\r\n"
    "Title=~ALP1\r\n"
    "Sim=simALP1\r\n"
    "Model=mdlALP1\r\n"
    "Texture=ALP1\r\n"
    "quorvane=Alpha (QUORVANE),ALP1\r\n"
    "checklists=\r\n"
    "\r\n"
    "[fltsim.3]\r\n"
    "Title=Generic A320\r\n"
    "Sim=a320\r\n";

// Foreign lines, a legacy line and lines an earlier run marked.
const char kModelsBefore[] =
    "Generic : B737-800,B738,,Generic B737-800\r\n"
    "Kestrel Airways : BAe146,B461,KST,~KST146\r\n"
    "Alpha (QUORVANE),ALP1\r\n"
    "Generic : A320,A320,,Generic A320\r\n"
    "Old Airline (quorvane),OLD9\r\n";

inline std::string Texture(const std::string& code) { return "texture of " + code; }

// The section InstallAirline appends for an airline, without its header.
inline std::string SectionBody(const Airline& a) {
  const std::string code = a.code;
  return Crlf("Title=~" + code + "\nSim=sim" + code + "\nModel=mdl" + code + "\nPanel=\nSound=\nTexture=" + code +
              "\nquorvane=" + a.descr + " (QUORVANE)," + code + "\nchecklists=\n\n");
}

inline std::string ModelLine(const Airline& a) { return Crlf(std::string(a.descr) + " (QUORVANE)," + a.code + "\n"); }

inline bool Sorted(const std::vector<std::string>& lines) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (Folded(lines[i - 1] + "\n") > Folded(lines[i] + "\n")) return false;
  }
  return true;
}

// Whether `rest` is a run of whole appended sections, each of an installed
// airline and each at most once.
inline bool WholeSections(std::string rest) {
  std::map<std::string, bool> used;
  while (!rest.empty()) {
    if (rest.compare(0, 8, "[fltsim.") != 0) return false;
    std::size_t close = rest.find("]\r\n");
    if (close == std::string::npos || close == 8) return false;
    for (std::size_t i = 8; i < close; ++i) {
      if (rest[i] < '0' || rest[i] > '9') return false;
    }
    rest.erase(0, close + 3);
    bool found = false;
    for (const Airline& a : kAirlines) {
      const std::string body = SectionBody(a);
      if (rest.compare(0, body.size(), body) != 0) continue;
      if (used[a.code]) return false;
      used[a.code] = found = true;
      rest.erase(0, body.size());
      break;
    }
    if (!found) return false;
  }
  return true;
}

// Configuration file: as before, or as the removal pass leaves it, each
// possibly followed by whole appended sections (a complete run is the
// second with all of them).
inline bool AcceptableConfig(const std::string& config, const std::string& afterPass) {
  for (const std::string& start : {std::string(kConfigBefore), afterPass}) {
    if (config.compare(0, start.size(), start) == 0 && WholeSections(config.substr(start.size()))) return true;
  }
  return false;
}

// Model list: as before or as the removal pass leaves it, either followed
// by whole appended lines or, once sorted again, holding those lines in
// ascending order. Every appended line comes at most once.
inline bool AcceptableModels(const std::string& models, const std::string& afterPass) {
  for (const std::string& start : {std::string(kModelsBefore), afterPass}) {
    const std::vector<std::string> base = SplitLines(start, "\r\n");
    const std::vector<std::string> lines = SplitLines(models, "\r\n");
    if (models.size() >= 2 && models.compare(models.size() - 2, 2, "\r\n") != 0) continue;

    std::map<std::string, int> extra;
    for (const std::string& line : lines) ++extra[line];
    bool contains = true;
    for (const std::string& line : base) contains = contains && extra[line]-- > 0;
    if (!contains) continue;
    bool onlyAppendedLines = true;
    for (const auto& [line, count] : extra) {
      if (count == 0) continue;
      bool appended = false;
      for (const Airline& a : kAirlines) appended = appended || line + "\r\n" == ModelLine(a);
      onlyAppendedLines = onlyAppendedLines && appended && count == 1;
    }
    if (!onlyAppendedLines) continue;
    if (models.compare(0, start.size(), start) == 0 || Sorted(lines)) return true;
  }
  return false;
}

inline std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      found.push_back(name);
    }
  }
  return found;
}

class InstallUnderFaults : public ::testing::Test {
 protected:
  // A fresh realistic tree; the host answers OK and selects the airlines.
  struct Setup {
    InstallTree tree;
    InstallRun run;
    FakeHost host;
    Setup() {
      for (const Airline& a : kAirlines) tree.AddAirline(a.section, a.descr, a.code);
      tree.UseCatalogue(run);
      WriteFile(tree.config(), kConfigBefore);
      WriteFile(tree.models(), kModelsBefore);
      host.fsFolder = tree.fs;
      host.squawkBoxFolder = tree.squawkBox;
      host.entries = kEntries;
      host.selected = kSelected;
    }
    InstallOutcome Install() { return OnInstall(run, host.Request(), host); }
    std::string Config() const { return ReadFile(tree.config()); }
    std::string Models() const { return ReadFile(tree.models()); }
    bool TexturesComplete() const {
      for (const char* code : kInstalled) {
        if (ReadFile(tree.csl + "/texture." + code + "/csl.0af") != Texture(code)) return false;
      }
      return true;
    }
  };

  // The files as a complete run leaves them, and as the removal pass alone
  // leaves them, each from a fault-free run on its own tree.
  void SetUp() override {
    {
      Setup complete;
      plat::FailNthOperation(0);
      ASSERT_EQ(complete.Install(), InstallOutcome::Completed);
      operations_ = plat::OperationCount();
      completeConfig_ = complete.Config();
      completeModels_ = complete.Models();
      completeText_ = complete.host.LastMessage()->text;
      ASSERT_TRUE(complete.TexturesComplete());
    }
    {
      Setup pass;
      pass.tree.UsePaths(pass.run);
      ASSERT_FALSE(RemoveEarlierEntries(pass.run).refused);
      ASSERT_FALSE(pass.run.report.HasFailures());
      passConfig_ = pass.Config();
      passModels_ = pass.Models();
    }
    // The walk below relies on these differing from the originals.
    ASSERT_NE(passConfig_, kConfigBefore);
    ASSERT_NE(passModels_, kModelsBefore);
  }

  void TearDown() override { plat::FailNthOperation(0); }

  long operations_ = 0;
  std::string completeConfig_, completeModels_, passConfig_, passModels_;
  // The success text, with the note of the sections the removal left to
  // renumber.
  std::string completeText_;
};

}  // namespace scenario
